#include "core/text/CharText.h"

#include "tests/support/QtPrinters.h"

#include <QTextBoundaryFinder>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

qsizetype graphemeCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

struct CharTextRow {
    const char* name;
    QString text;
    qsizetype length;
    QString firstTwo;
    QString needle;
    qsizetype found;
};

TEST(CharText, CountsCutsAndFindsWholeCharacters) {
    const CharTextRow rows[] = {
        {"ascii", u"Track 01.mp3"_s, 12, u"Tr"_s, u"01"_s, 7},
        {"letters below the marks", u"Müller.mp3"_s, 10, u"Mü"_s, u"LLER"_s, 3},
        {"a mark joins its letter", u"Mu\u0308ller"_s, 6, u"Mu\u0308"_s, u"l"_s, 3},
        {"no match ends inside a character", u"e\u0301x"_s, 2, u"e\u0301x"_s, u"e"_s, 0},
        {"cr lf is one character", u"a\r\nb"_s, 3, u"a\r\n"_s, u"b"_s, 3},
        {"a lone cr is a character", u"a\rb"_s, 3, u"a\r"_s, u"b"_s, 3},
        {"a surrogate pair is one character", u"a\U0001F3B5b"_s, 3, u"a\U0001F3B5"_s, u"b"_s, 3},
        {"empty text", QString(), 0, QString(), QString(), 1},
        {"empty needle", u"ab"_s, 2, u"ab"_s, QString(), 1},
        {"needle longer than the text", u"ab"_s, 2, u"ab"_s, u"abc"_s, 0},
    };
    for (const CharTextRow& row : rows) {
        SCOPED_TRACE(row.name);
        const CharText text(row.text);
        EXPECT_EQ(text.length(), row.length);
        EXPECT_EQ(text.left(2), row.firstTwo);
        EXPECT_EQ(text.right(text.length()), row.text);
        EXPECT_EQ(text.find(row.needle), row.found);
    }
}

// Text below U+0300 skips the boundary search; each such unit, next to
// itself and to others, must count as the search would count it.
TEST(CharText, EveryUnitBelowTheMarksCountsAsTheBoundarySearchCountsIt) {
    for (char16_t unit = 0; unit < 0x300; ++unit) {
        const QString text = QString(QChar(unit)) + QChar(unit) + u"a\u00E9"_s + QChar(unit);
        ASSERT_EQ(CharText(text).length(), graphemeCount(text)) << int(unit);
    }
}

} // namespace
