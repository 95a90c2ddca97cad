#pragma once

#include <QList>
#include <QString>

// A text seen as a sequence of user-perceived characters (grapheme
// clusters), with positions counted from 1, so that no cut, count or match
// splits a surrogate pair or parts a letter from its combining marks.
class CharText {
public:
    explicit CharText(const QString& text);

    const QString& text() const { return text_; }
    qsizetype length() const;

    // Characters from..to (1-based, inclusive), clamped to the text; empty
    // when from > to.
    QString chars(qsizetype from, qsizetype to) const;
    QString left(qsizetype count) const { return chars(1, count); }
    QString right(qsizetype count) const { return chars(length() - count + 1, length()); }

    // Position of the first occurrence of `needle`, ignoring letter case,
    // that begins and ends on character boundaries; 0 when there is none.
    // An empty needle occurs at position 1.
    qsizetype find(const QString& needle) const;

    // Whether `needle` occurs anywhere, on character boundaries.
    bool contains(const QString& needle) const { return find(needle) != 0; }

private:
    // The UTF-16 offset where character `index` (0-based) begins.
    qsizetype boundary(qsizetype index) const;
    bool isBoundary(qsizetype offset) const;

    QString text_;
    // UTF-16 offsets of every boundary, 0 and size() included; empty when
    // every unit is a character of its own.
    QList<qsizetype> boundaries_;
};
