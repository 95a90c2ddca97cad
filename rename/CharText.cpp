#include "rename/CharText.h"

#include <QTextBoundaryFinder>

#include <algorithm>

CharText::CharText(const QString& text) : text_(text) {
    boundaries_.append(0);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text_);
    while (finder.toNextBoundary() > 0)
        boundaries_.append(finder.position());
    if (boundaries_.last() != text_.size())
        boundaries_.append(text_.size());
}

QString CharText::chars(qsizetype from, qsizetype to) const {
    from = std::max<qsizetype>(from, 1);
    to = std::min(to, length());
    if (from > to)
        return {};
    const qsizetype begin = boundaries_[from - 1];
    return text_.mid(begin, boundaries_[to] - begin);
}

qsizetype CharText::find(const QString& needle) const {
    if (needle.isEmpty())
        return 1;
    // Qt's case folding keeps lengths, so a match spans needle.size() units.
    for (qsizetype index = 0; index < length(); ++index) {
        const qsizetype begin = boundaries_[index];
        const qsizetype end = begin + needle.size();
        if (end > text_.size())
            break;
        if (QStringView(text_).mid(begin, needle.size()).compare(needle, Qt::CaseInsensitive) ==
                0 &&
            std::binary_search(boundaries_.cbegin(), boundaries_.cend(), end))
            return index + 1;
    }
    return 0;
}
