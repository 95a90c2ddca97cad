#include "core/fs/NaturalOrder.h"

#include "core/fs/NameCodec.h"
#include "tests/support/QtPrinters.h"

#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace Qt::StringLiterals;

namespace {

struct OrderRow {
    const char* name;
    QString first;
    QString second;
};

class NaturalOrderPair : public testing::TestWithParam<OrderRow> {};

TEST_P(NaturalOrderPair, FirstComesBeforeSecond) {
    EXPECT_TRUE(naturallyBefore(GetParam().first, GetParam().second));
    EXPECT_FALSE(naturallyBefore(GetParam().second, GetParam().first));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NaturalOrderPair,
    testing::Values(OrderRow{"TrackTwoBeforeTrackTen", u"Track 2.mp3"_s, u"Track 10.mp3"_s},
                    OrderRow{"NumberValueBeatsCase", u"track 2.mp3"_s, u"TRACK 10.mp3"_s},
                    OrderRow{"LettersIgnoreCase", u"apple"_s, u"Banana"_s},
                    OrderRow{"UmlautsIgnoreCase", u"\u00E4b"_s, u"\u00C4c"_s},
                    OrderRow{"SameTextUpperBytesFirst", u"Abc"_s, u"abc"_s},
                    OrderRow{"LeadingZerosDoNotChangeValue", u"x007"_s, u"x8"_s},
                    OrderRow{"EqualValueFewerZerosFirst", u"x7"_s, u"x007"_s},
                    OrderRow{"LaterTextBeatsZerosTieBreak", u"x007a"_s, u"x7b"_s},
                    OrderRow{"DigitRunsBeyondSixtyFourBits", u"n99999999999999999999"_s,
                             u"n100000000000000000000"_s},
                    OrderRow{"PrefixFirst", u"Track"_s, u"Track 1"_s},
                    OrderRow{"SecondNumberDecides", u"CD1-Track9"_s, u"CD1-Track10"_s},
                    OrderRow{"FirstNumberDecides", u"CD2-Track1"_s, u"CD10-Track1"_s},
                    OrderRow{"BlankBeforeDigit", u"a b"_s, u"a1"_s},
                    OrderRow{"DigitBeforeLetter", u"a1"_s, u"ab"_s},
                    OrderRow{"EscapedByteAfterAscii", u"Cafe"_s, decodeFileName("Caf\xE9")},
                    OrderRow{"NulBeforeEverything", QString(u"a\0\u00C4"_s), u"a\u00C4"_s},
                    OrderRow{"DecomposedUmlautsIgnoreCase", u"A\u0308b"_s, u"a\u0308c"_s},
                    OrderRow{"GreekIgnoresCase", u"\u03C3b"_s, u"\u03A3c"_s},
                    OrderRow{"GreekAmongUmlautsIgnoresCase", u"\u00C4\u03C3b"_s,
                             u"\u00E4\u03A3c"_s},
                    OrderRow{"SharpSAfterAsciiLetters", u"Strat"_s, u"Stra\u00DFe"_s}),
    [](const testing::TestParamInfo<OrderRow>& info) { return std::string(info.param.name); });

QStringList trickyNames() {
    return {u"Track 10.mp3"_s,
            u"track 2.mp3"_s,
            u"Track 2.mp3"_s,
            u"TRACK 2.mp3"_s,
            u"Track 02.mp3"_s,
            u"Track 002.mp3"_s,
            u"Track 1.mp3"_s,
            u"Track.mp3"_s,
            u"a"_s,
            u"A"_s,
            u"a1"_s,
            u"a01"_s,
            u"a1b"_s,
            u"a01a"_s,
            u"10"_s,
            u"9"_s,
            u"09"_s,
            u""_s,
            u"\u00C4rger"_s,
            u"\u00E4rger"_s,
            u"Zebra"_s,
            decodeFileName("Caf\xE9"),
            decodeFileName("caf\xE9"),
            decodeFileName("Caf\xC3\xA9")};
}

TEST(NaturalOrder, IsATotalOrder) {
    const QStringList names = trickyNames();
    for (const QString& a : names) {
        EXPECT_FALSE(naturallyBefore(a, a)) << a.toStdString();
        for (const QString& b : names) {
            if (a != b) {
                EXPECT_NE(naturallyBefore(a, b), naturallyBefore(b, a))
                    << a.toStdString() << " / " << b.toStdString();
            }
            for (const QString& c : names) {
                if (naturallyBefore(a, b) && naturallyBefore(b, c)) {
                    EXPECT_TRUE(naturallyBefore(a, c))
                        << a.toStdString() << " < " << b.toStdString() << " < " << c.toStdString();
                }
            }
        }
    }
}

TEST(NaturalOrder, SortIsTheSameWhateverTheStartingOrder) {
    QStringList expected = trickyNames();
    sortNaturally(expected);
    for (qsizetype i = 1; i < expected.size(); ++i)
        EXPECT_TRUE(naturallyBefore(expected[i - 1], expected[i])) << i;
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        QStringList names = trickyNames();
        std::shuffle(names.begin(), names.end(), random);
        sortNaturally(names);
        EXPECT_EQ(names, expected);
    }
}

// The sort compares eight units at a time behind what all names share, and
// sorts many names in two parts split at a sampled head, whether it keys
// them all at once or a listing adds them one by one; generated names that
// share long beginnings, end within them or differ only behind them must
// still come out in the order of naturallyBefore.
TEST(NaturalOrder, SortAgreesWithThePairwiseOrderOnGeneratedNames) {
    const QStringList pieces = {u"Artist - Album - "_s,
                                u"0"_s,
                                u"00"_s,
                                u"7"_s,
                                u"12"_s,
                                u"007"_s,
                                u"a"_s,
                                u"A"_s,
                                u"\u00E4"_s,
                                u"\u00C4"_s,
                                u" "_s,
                                u"."_s,
                                u"mp3"_s,
                                u"x"_s,
                                u"99999"_s,
                                decodeFileName("\xE9")};
    std::mt19937 random(11);
    std::uniform_int_distribution<qsizetype> piece(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 6);
    // Each beginning gets its count of names, in turn: two beginnings make
    // the two halves, each alike within itself.
    for (const auto& [beginnings, perBeginning] :
         {std::pair{QStringList{QString()}, 400},
          std::pair{QStringList{u"Artist - Album - 0"_s}, 400}, std::pair{QStringList{u"x"_s}, 400},
          std::pair{QStringList{QString()}, 20001},
          std::pair{QStringList{u"Artist - Album - 0"_s, u"Artist - Album - 0"_s}, 10000},
          std::pair{QStringList{u"ab"_s, u"ac"_s}, 10000}}) {
        SCOPED_TRACE(beginnings.join(u'|').toStdString());
        QStringList names;
        QSet<QString> taken;
        for (const QString& beginning : beginnings) {
            for (int added = 0; added < perBeginning;) {
                QString name = beginning;
                for (int count = length(random); count > 0; --count)
                    name += pieces[piece(random)];
                if (!taken.contains(name)) {
                    taken.insert(name);
                    names.append(name);
                    ++added;
                }
            }
        }
        // A listing adds the names as it reads them, encoded.
        NaturalOrdering ordering;
        for (const QString& name : names)
            ordering.addEncoded(encodeFileName(name) + '\0');
        QStringList added;
        for (const qsizetype index : ordering.order())
            added.append(ordering.names()[index]);
        sortNaturally(names);
        for (qsizetype i = 1; i < names.size(); ++i)
            EXPECT_TRUE(naturallyBefore(names[i - 1], names[i]))
                << names[i - 1].toStdString() << " / " << names[i].toStdString();
        EXPECT_EQ(added, names);
    }
}

TEST(NaturalOrder, SortsAnAlbum) {
    QStringList names = {u"Track 10.mp3"_s, u"track 3.mp3"_s, u"Track 1.mp3"_s, u"Track 2.mp3"_s};
    sortNaturally(names);
    EXPECT_EQ(names, (QStringList{u"Track 1.mp3"_s, u"Track 2.mp3"_s, u"track 3.mp3"_s,
                                  u"Track 10.mp3"_s}));
}

} // namespace
