#include "core/text/LogText.h"

#include <algorithm>
#include <cstring>

namespace {

// Whether one of the four code units packed in `word` is a CR, an LF or
// another unit below them: a run's log is scanned four units at a time.
bool mayHoldBreak(quint64 word) {
    constexpr quint64 ones = 0x0001000100010001u;
    constexpr quint64 highBits = 0x8000800080008000u;
    return ((word - ones * (u'\r' + 1)) & ~word & highBits) != 0;
}

// Calls `lineStarts` with the position behind every break whose first unit
// lies in [from, to). A break that begins before `to` may end behind it.
template <typename LineStarts>
void forEachBreak(const QString& text, qsizetype from, qsizetype to, LineStarts lineStarts) {
    const QChar* units = text.constData();
    const qsizetype size = text.size();
    for (qsizetype index = from; index < to; ++index) {
        if (quint64 word; index + 4 <= to) {
            std::memcpy(&word, units + index, sizeof word);
            if (!mayHoldBreak(word)) {
                index += 3;
                continue;
            }
        }
        const char16_t unit = units[index].unicode();
        if (unit == u'\n') {
            lineStarts(index + 1);
        } else if (unit == u'\r') {
            if (index + 1 < size && units[index + 1] == u'\n')
                ++index;
            lineStarts(index + 1);
        }
    }
}

} // namespace

LogText::LogText() : lowStarts_{0} {}

void LogText::setText(const QString& text) {
    text_ = text;
    keepLines(1);
    longestLine_ = 0;
    longestLineKnown_ = true;
    indexFrom(0, 0);
}

void LogText::append(QStringView text) {
    if (text.isEmpty())
        return;
    qsizetype scanFrom = size();
    // A CR at the end and an LF at the start of this text are one break.
    if (text_.endsWith(u'\r') && text.front() == u'\n') {
        keepLines(lineCount() - 1);
        --scanFrom;
    }
    const qsizetype lastLine = lineCount() - 1;
    text_.append(text);
    indexFrom(lastLine, scanFrom);
}

void LogText::indexFrom(qsizetype line, qsizetype scanFrom) {
    forEachBreak(text_, scanFrom, size(), [this](qsizetype start) { addLineStart(start); });
    if (!longestLineKnown_)
        return;
    for (qsizetype index = line; index < lineCount(); ++index)
        longestLine_ = std::max(longestLine_, lineLength(index));
}

void LogText::keepLines(qsizetype count) {
    lowStarts_.resize(size_t(count));
    while (!highParts_.empty() && highParts_.back().first >= count)
        highParts_.pop_back();
}

void LogText::replace(qsizetype from, qsizetype to, QStringView text) {
    from = std::clamp<qsizetype>(from, 0, size());
    to = std::clamp<qsizetype>(to, from, size());
    // Starts up to the unit before the edit keep their place: they depend
    // only on the units before them. Starts from two units behind the edit on
    // keep theirs too, shifted, since the break before each of them ends in
    // an unchanged unit. Only those between are found again.
    const qsizetype keptBefore = std::max<qsizetype>(0, from - 1);
    const qsizetype shift = text.size() - (to - from);
    std::vector<qsizetype> after;
    for (qsizetype line = lineAt(to + 1) + 1; line < lineCount(); ++line)
        after.push_back(lineStart(line) + shift);
    keepLines(lineAt(keptBefore) + 1);

    text_.replace(from, to - from, text.data(), text.size());
    const qsizetype editEnd = from + text.size();
    forEachBreak(text_, keptBefore, std::min(editEnd + 1, size()), [&](qsizetype start) {
        if (start <= editEnd + 1)
            addLineStart(start);
    });
    for (const qsizetype start : after)
        addLineStart(start);
    longestLineKnown_ = false;
}

void LogText::addLineStart(qsizetype position) {
    const qsizetype high = position >> 32;
    const qsizetype currentHigh = highParts_.empty() ? 0 : highParts_.back().second;
    if (high != currentHigh)
        highParts_.emplace_back(lineCount(), high);
    lowStarts_.push_back(quint32(position));
}

qsizetype LogText::highPartBefore(qsizetype line) const {
    if (highParts_.empty())
        return 0;
    const auto behind =
        std::upper_bound(highParts_.begin(), highParts_.end(), line,
                         [](qsizetype value, const std::pair<qsizetype, qsizetype>& part) {
                             return value < part.first;
                         });
    return behind == highParts_.begin() ? 0 : std::prev(behind)->second;
}

qsizetype LogText::lineStart(qsizetype line) const {
    return (highPartBefore(line) << 32) | qsizetype(lowStarts_[size_t(line)]);
}

qsizetype LogText::lineEnd(qsizetype line) const {
    if (line + 1 >= lineCount())
        return size();
    qsizetype end = lineStart(line + 1) - 1;
    if (end > 0 && text_.at(end) == u'\n' && text_.at(end - 1) == u'\r')
        --end;
    return end;
}

QStringView LogText::line(qsizetype line) const {
    const qsizetype start = lineStart(line);
    return QStringView(text_).sliced(start, lineEnd(line) - start);
}

qsizetype LogText::lineAt(qsizetype position) const {
    qsizetype low = 0;
    qsizetype high = lineCount() - 1;
    while (low < high) {
        const qsizetype middle = low + (high - low + 1) / 2;
        if (lineStart(middle) <= position)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

LinePosition LogText::linePosition(qsizetype position) const {
    position = std::clamp<qsizetype>(position, 0, size());
    const qsizetype line = lineAt(position);
    return {line, std::min(position, lineEnd(line)) - lineStart(line)};
}

qsizetype LogText::position(LinePosition place) const {
    const qsizetype line = std::clamp<qsizetype>(place.line, 0, lineCount() - 1);
    return lineStart(line) + std::clamp<qsizetype>(place.column, 0, lineLength(line));
}

qsizetype LogText::longestLineLength() const {
    if (!longestLineKnown_) {
        longestLine_ = 0;
        for (qsizetype line = 0; line < lineCount(); ++line)
            longestLine_ = std::max(longestLine_, lineLength(line));
        longestLineKnown_ = true;
    }
    return longestLine_;
}

qsizetype LogText::indexBytes() const {
    return qsizetype(lowStarts_.capacity() * sizeof(quint32) +
                     highParts_.capacity() * sizeof(highParts_.front()));
}
