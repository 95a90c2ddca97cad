#include "core/concat/ShortName.h"

#include <gtest/gtest.h>

namespace {

struct ShortNameRow {
    const char* name;
    const char16_t* passName;
    const char16_t* expected;
};

class ShortNameRows : public testing::TestWithParam<ShortNameRow> {};

TEST_P(ShortNameRows, StandsForTheInputInTheOutputName) {
    const ShortNameRow& row = GetParam();
    EXPECT_EQ(shortNameOf(QString::fromUtf16(row.passName)), QString::fromUtf16(row.expected));
}

INSTANTIATE_TEST_SUITE_P(
    ShortName, ShortNameRows,
    testing::Values(
        ShortNameRow{"ShortStemIsKept", u"Intro.mp3", u"Intro"},
        ShortNameRow{"TenCharacterStemIsKept", u"0123456789.mp3", u"0123456789"},
        ShortNameRow{"LongStemIsCutBeforeFirstBlankFromPositionEleven", u"A very long title.mp3",
                     u"A very long.."},
        ShortNameRow{"BlankAtPositionElevenCutsAfterTen", u"0123456789 x.mp3", u"0123456789.."},
        ShortNameRow{"BlanksBeforePositionElevenDoNotCount", u"02 - Main Theme Part.mp3",
                     u"02 - Main Theme.."},
        ShortNameRow{"FifteenCharactersWithoutBlankAreKept", u"abcdefghijklmno.mp3",
                     u"abcdefghijklmno"},
        ShortNameRow{"ExtensionIsFourCharactersWhateverTheyAre", u"Track.flac", u"Track."},
        ShortNameRow{"NameShorterThanFourCharactersGivesEmptyStem", u"abc", u""},
        ShortNameRow{"CombiningMarksCountAsOneCharacter",
                     u"Me\u0301lodie\u0301e\u0301 de\u0301ux.mp3",
                     u"Me\u0301lodie\u0301e\u0301 de\u0301ux"},
        ShortNameRow{"UndecodableByteCountsAsOneCharacter", u"Caf\xdce9 du Monde x.mp3",
                     u"Caf\xdce9 du Monde.."}),
    [](const testing::TestParamInfo<ShortNameRow>& info) { return std::string(info.param.name); });

} // namespace
