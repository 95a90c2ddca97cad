#include "core/text/CharText.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

// Below U+0300 (where the combining marks begin) every unit is a character
// of its own, except CR before LF. Most names are such text, and runs take
// every name apart, so they are spared the boundary search.
bool everyUnitIsACharacter(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.unicode() < 0x300 && c != u'\r'; });
}

} // namespace

CharText::CharText(const QString& text) : text_(text) {
    if (everyUnitIsACharacter(text_))
        return;
    boundaries_.append(0);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text_);
    while (finder.toNextBoundary() > 0)
        boundaries_.append(finder.position());
    if (boundaries_.last() != text_.size())
        boundaries_.append(text_.size());
}

qsizetype CharText::length() const {
    return boundaries_.isEmpty() ? text_.size() : boundaries_.size() - 1;
}

qsizetype CharText::boundary(qsizetype index) const {
    return boundaries_.isEmpty() ? index : boundaries_[index];
}

bool CharText::isBoundary(qsizetype offset) const {
    if (boundaries_.isEmpty())
        return offset >= 0 && offset <= text_.size();
    return std::binary_search(boundaries_.cbegin(), boundaries_.cend(), offset);
}

QString CharText::chars(qsizetype from, qsizetype to) const {
    from = std::max<qsizetype>(from, 1);
    to = std::min(to, length());
    if (from > to)
        return {};
    const qsizetype begin = boundary(from - 1);
    return text_.mid(begin, boundary(to) - begin);
}

qsizetype CharText::find(const QString& needle) const {
    if (needle.isEmpty())
        return 1;
    // Qt's case folding keeps lengths, so a match spans needle.size() units.
    for (qsizetype index = 0; index < length(); ++index) {
        const qsizetype begin = boundary(index);
        const qsizetype end = begin + needle.size();
        if (end > text_.size())
            break;
        if (QStringView(text_).mid(begin, needle.size()).compare(needle, Qt::CaseInsensitive) ==
                0 &&
            isBoundary(end))
            return index + 1;
    }
    return 0;
}
