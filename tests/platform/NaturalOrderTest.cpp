#include "platform/NaturalOrder.h"

#include "platform/NameCodec.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

struct OrderRow {
    const char* name;
    QString first;
    QString second;
};

class NaturalOrderPair : public testing::TestWithParam<OrderRow> {};

TEST_P(NaturalOrderPair, FirstComesBeforeSecond)
{
    EXPECT_TRUE(naturallyBefore(GetParam().first, GetParam().second));
    EXPECT_FALSE(naturallyBefore(GetParam().second, GetParam().first));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NaturalOrderPair,
    testing::Values(
        OrderRow{"TrackTwoBeforeTrackTen", u"Track 2.mp3"_qs, u"Track 10.mp3"_qs},
        OrderRow{"NumberValueBeatsCase", u"track 2.mp3"_qs, u"TRACK 10.mp3"_qs},
        OrderRow{"LettersIgnoreCase", u"apple"_qs, u"Banana"_qs},
        OrderRow{"UmlautsIgnoreCase", u"\u00E4b"_qs, u"\u00C4c"_qs},
        OrderRow{"SameTextUpperBytesFirst", u"Abc"_qs, u"abc"_qs},
        OrderRow{"LeadingZerosDoNotChangeValue", u"x007"_qs, u"x8"_qs},
        OrderRow{"EqualValueFewerZerosFirst", u"x7"_qs, u"x007"_qs},
        OrderRow{"LaterTextBeatsZerosTieBreak", u"x007a"_qs, u"x7b"_qs},
        OrderRow{"DigitRunsBeyondSixtyFourBits", u"n99999999999999999999"_qs,
                 u"n100000000000000000000"_qs},
        OrderRow{"PrefixFirst", u"Track"_qs, u"Track 1"_qs},
        OrderRow{"SecondNumberDecides", u"CD1-Track9"_qs, u"CD1-Track10"_qs},
        OrderRow{"FirstNumberDecides", u"CD2-Track1"_qs, u"CD10-Track1"_qs},
        OrderRow{"BlankBeforeDigit", u"a b"_qs, u"a1"_qs},
        OrderRow{"DigitBeforeLetter", u"a1"_qs, u"ab"_qs},
        OrderRow{"EscapedByteAfterAscii", u"Cafe"_qs, decodeFileName("Caf\xE9")}),
    [](const testing::TestParamInfo<OrderRow>& info) { return std::string(info.param.name); });

QStringList trickyNames()
{
    return {u"Track 10.mp3"_qs, u"track 2.mp3"_qs, u"Track 2.mp3"_qs, u"TRACK 2.mp3"_qs,
            u"Track 02.mp3"_qs, u"Track 002.mp3"_qs, u"Track 1.mp3"_qs, u"Track.mp3"_qs,
            u"a"_qs, u"A"_qs, u"a1"_qs, u"a01"_qs, u"a1b"_qs, u"a01a"_qs, u"10"_qs, u"9"_qs,
            u"09"_qs, u""_qs, u"\u00C4rger"_qs, u"\u00E4rger"_qs, u"Zebra"_qs,
            decodeFileName("Caf\xE9"), decodeFileName("caf\xE9"), decodeFileName("Caf\xC3\xA9")};
}

TEST(NaturalOrder, IsATotalOrder)
{
    const QStringList names = trickyNames();
    for (const QString& a : names) {
        EXPECT_FALSE(naturallyBefore(a, a)) << a.toStdString();
        for (const QString& b : names) {
            if (a != b)
                EXPECT_NE(naturallyBefore(a, b), naturallyBefore(b, a))
                    << a.toStdString() << " / " << b.toStdString();
            for (const QString& c : names) {
                if (naturallyBefore(a, b) && naturallyBefore(b, c))
                    EXPECT_TRUE(naturallyBefore(a, c)) << a.toStdString() << " < "
                                                       << b.toStdString() << " < "
                                                       << c.toStdString();
            }
        }
    }
}

TEST(NaturalOrder, SortIsTheSameWhateverTheStartingOrder)
{
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

TEST(NaturalOrder, SortsAnAlbum)
{
    QStringList names = {u"Track 10.mp3"_qs, u"track 3.mp3"_qs, u"Track 1.mp3"_qs,
                         u"Track 2.mp3"_qs};
    sortNaturally(names);
    EXPECT_EQ(names, (QStringList{u"Track 1.mp3"_qs, u"Track 2.mp3"_qs, u"track 3.mp3"_qs,
                                  u"Track 10.mp3"_qs}));
}

} // namespace
