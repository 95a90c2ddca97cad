#include "core/text/UnitFolding.h"

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(UnitFolding, FoldsUnitByUnitAsQtFoldsTheWholeText) {
    // Every unit the table folds, one after the other: Qt must fold each
    // alike wherever it stands.
    const UnitFolding fold;
    QString text;
    QString folded;
    for (char32_t unit = 1; unit <= 0xFFFF; ++unit) {
        if (const char16_t one = fold(char16_t(unit)); one != 0) {
            text += QChar(char16_t(unit));
            folded += QChar(one);
        }
    }
    ASSERT_GT(text.size(), 700);
    EXPECT_EQ(folded, text.toCaseFolded());
}

TEST(UnitFolding, FoldsNamesThatAreNoUtf8AsQtDoes) {
    // Escaped bytes before, between and after letters that fold or not.
    const UnitFolding fold;
    const QString escaped(QChar(char16_t(0xDCE9)));
    const QString pieces[] = {escaped,     u"a"_s,      u"B"_s, u"\u00C4"_s,
                              u"\u00E4"_s, u"\u0308"_s, u" "_s};
    for (const QString& first : pieces)
        for (const QString& second : pieces)
            for (const QString& third : pieces)
                for (const QString& fourth : pieces) {
                    const QString text = first + second + third + fourth;
                    QString folded;
                    bool changed = false;
                    for (const QChar c : text)
                        folded += QChar(fold.inText(c.unicode(), changed));
                    ASSERT_EQ(folded, text.toCaseFolded()) << text.toStdString();
                }
}

TEST(UnitFolding, FoldsTheUnitsOfEuropeanNamesOnly) {
    const UnitFolding fold;
    const struct {
        const char* name;
        char16_t unit;
        char16_t folded; // 0: left to Qt's folding
    } rows[] = {
        {"ascii letter", u'A', u'a'},
        {"umlaut", u'\u00C4', u'\u00E4'},
        {"sharp s stays", u'\u00DF', u'\u00DF'},
        {"y with diaeresis beyond Latin-1", u'\u0178', u'\u00FF'},
        {"combining diaeresis of a decomposed name", u'\u0308', u'\u0308'},
        {"escaped byte of a Latin-1 name", char16_t(0xDCC4), 0},
        {"greek", u'\u03A3', 0},
        {"high surrogate", char16_t(0xD83D), 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(fold(row.unit), row.folded);
    }
}

} // namespace
