#include "core/rename/NameTransforms.h"

#include <QString>

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

using Transform = bool (*)(RenameState&);

struct TransformRow {
    const char* name;
    Transform transform;
    const char16_t* currentName;
    const char16_t* searchText;
    std::optional<QString> newName; // nothing: the run fails
    const char16_t* replaceText = u"";
    qint16 charCount = 0;
    bool repeat = false;
};

std::optional<QString> apply(const TransformRow& row) {
    RenameState state;
    state.CurrentName = QString::fromUtf16(row.currentName);
    state.SearchText = QString::fromUtf16(row.searchText);
    state.ReplaceText = QString::fromUtf16(row.replaceText);
    state.CharCount = row.charCount;
    state.RepeatReplace = row.repeat;
    state.NewName = u"left over from the previous file"_s;
    if (!row.transform(state))
        return std::nullopt;
    return state.NewName;
}

class TextTransform : public testing::TestWithParam<TransformRow> {};

TEST_P(TextTransform, BuildsTheNewName) {
    const TransformRow& row = GetParam();
    EXPECT_EQ(apply(row), row.newName) << row.name;
}

std::string rowName(const testing::TestParamInfo<TransformRow>& info) {
    return info.param.name;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(ChangeFilename, TextTransform, testing::Values(
    TransformRow{"swaps_around_search_text", transform::ChangeFilename, u"01 Artist - Title.mp3", u" - ", u"Title - 01 Artist.mp3"_s},
    TransformRow{"search_text_as_typed", transform::ChangeFilename, u"a X b.mp3", u" x ", u"b x a.mp3"_s},
    TransformRow{"empty_search_keeps_name", transform::ChangeFilename, u"Song.mp3", u"", u"Song.mp3"_s},
    TransformRow{"match_in_extension", transform::ChangeFilename, u"Song.mp3", u"mp", u"mpSong..mp3"_s},
    TransformRow{"not_found_fails", transform::ChangeFilename, u"Song.mp3", u"xyz", std::nullopt},
    TransformRow{"short_name_fails", transform::ChangeFilename, u"a-b", u"-", std::nullopt},
    TransformRow{"umlaut_case_pair", transform::ChangeFilename, u"xÄy.mp3", u"ä", u"yäx.mp3"_s}),
    rowName);

INSTANTIATE_TEST_SUITE_P(ChangeString, TextTransform, testing::Values(
    TransformRow{"replaces_ignoring_case", transform::ChangeString, u"01 Artist - Title.mp3", u"artist", u"01 Band - Title.mp3"_s, u"Band"},
    TransformRow{"once_without_repeat", transform::ChangeString, u"a_b_c.mp3", u"_", u"a b_c.mp3"_s, u" "},
    TransformRow{"all_with_repeat", transform::ChangeString, u"a_b_c.mp3", u"_", u"a b c.mp3"_s, u" ", 0, true},
    TransformRow{"repeat_replaces_what_replacement_forms", transform::ChangeString, u"aabb.mp3", u"ab", u"aa.mp3"_s, u"a", 0, true},
    TransformRow{"search_in_extension_once", transform::ChangeString, u"Song.mp3", u"mp3", u"Song.MP3.mp3"_s, u"MP3"},
    TransformRow{"empty_search_prefixes_once", transform::ChangeString, u"Song.mp3", u"", u"x_Song.mp3"_s, u"x_"},
    TransformRow{"absent_search_keeps_listed_name", transform::ChangeString, u"Song.mp3", u"zz", u"Song.mp3"_s, u"y"},
    TransformRow{"absent_search_keeps_listed_name_in_repeat", transform::ChangeString, u"Song.mp3", u"zz", u"Song.mp3"_s, u"y", 0, true},
    TransformRow{"match_in_short_name_fails", transform::ChangeString, u"a_b", u"_", std::nullopt, u" "},
    TransformRow{"absent_in_short_name_is_fine", transform::ChangeString, u"ab", u"_", u"ab"_s, u" "},
    TransformRow{"runaway_match_in_extension_fails", transform::ChangeString, u"Song.mp3", u"mp3", std::nullopt, u"", 0, true},
    TransformRow{"runaway_extension_case_fails", transform::ChangeString, u"Song.mp3", u"mp3", std::nullopt, u"MP3", 0, true},
    TransformRow{"straddling_match_that_ends", transform::ChangeString, u"ab3.mp3", u"3.", u"ab_.mp3"_s, u"_", 0, true}),
    rowName);

INSTANTIATE_TEST_SUITE_P(Cutting, TextTransform, testing::Values(
    TransformRow{"cut_first_three", transform::CutNameFirst, u"01 Artist - Title.mp3", u"3", u"Artist - Title.mp3"_s, u"", 3},
    TransformRow{"cut_first_zero_keeps", transform::CutNameFirst, u"Song.mp3", u"", u"Song.mp3"_s, u"", 0},
    TransformRow{"cut_first_whole_length_empty", transform::CutNameFirst, u"Song.mp3", u"8", u""_s, u"", 8},
    TransformRow{"cut_first_length_plus_one_empty", transform::CutNameFirst, u"Song.mp3", u"9", u""_s, u"", 9},
    TransformRow{"cut_first_length_plus_two_fails", transform::CutNameFirst, u"Song.mp3", u"10", std::nullopt, u"", 10},
    TransformRow{"cut_first_negative_fails", transform::CutNameFirst, u"Song.mp3", u"-1", std::nullopt, u"", -1},
    TransformRow{"cut_first_keeps_combining_mark", transform::CutNameFirst, u"e\u0301tude.mp3", u"1", u"tude.mp3"_s, u"", 1},
    TransformRow{"cut_first_keeps_surrogate_pair", transform::CutNameFirst, u"\U0001F3B5x.mp3", u"1", u"x.mp3"_s, u"", 1},
    TransformRow{"cut_last_seven", transform::CutNameLast, u"Artist - Title (Live).mp3", u"7", u"Artist - Title.mp3"_s, u"", 7},
    TransformRow{"cut_last_to_extension", transform::CutNameLast, u"Artist - Title (Live).mp3", u"21", u".mp3"_s, u"", 21},
    TransformRow{"cut_last_too_many_fails", transform::CutNameLast, u"Artist - Title (Live).mp3", u"22", std::nullopt, u"", 22},
    TransformRow{"cut_last_negative_repeats_extension", transform::CutNameLast, u"Title.mp3", u"-2", u"Title.m.mp3"_s, u"", -2},
    TransformRow{"cut_last_very_negative_whole_name", transform::CutNameLast, u"Title.mp3", u"-9", u"Title.mp3.mp3"_s, u"", -9},
    TransformRow{"cut_last_short_name_fails", transform::CutNameLast, u"abc", u"-5", std::nullopt, u"", -5},
    TransformRow{"cut_last_never_halves_a_character", transform::CutNameLast, u"A\U0001F3B5B.mp3", u"1", u"A\U0001F3B5.mp3"_s, u"", 1},
    TransformRow{"cut_behind_search", transform::CutNameStringLast, u"Artist - Title (Live).mp3", u" (", u"Artist - Title.mp3"_s},
    TransformRow{"cut_behind_empty_search", transform::CutNameStringLast, u"Song.mp3", u"", u".mp3"_s},
    TransformRow{"cut_behind_search_in_extension", transform::CutNameStringLast, u"Song.mp3", u"mp", u"Song..mp3"_s},
    TransformRow{"cut_behind_not_found_fails", transform::CutNameStringLast, u"Song.mp3", u"x", std::nullopt},
    TransformRow{"cut_behind_short_name_fails", transform::CutNameStringLast, u"a b", u" ", std::nullopt},
    TransformRow{"match_only_on_character_boundaries", transform::CutNameStringLast, u"Cafe\u0301 e.mp3", u"e", u"Cafe\u0301 .mp3"_s},
    TransformRow{"combining_mark_not_split_from_letter", transform::CutNameStringLast, u"e\u0301e.mp3", u"e", u"e\u0301.mp3"_s}),
    rowName);

INSTANTIATE_TEST_SUITE_P(AddText, TextTransform, testing::Values(
    TransformRow{"before_extension", transform::AddText, u"Artist - Title.mp3", u" (Live)", u"Artist - Title (Live).mp3"_s},
    TransformRow{"last_four_are_the_extension", transform::AddText, u"README", u"_old", u"RE_oldADME"_s},
    TransformRow{"four_characters_get_text_in_front", transform::AddText, u"a.mp", u"x", u"xa.mp"_s},
    TransformRow{"short_name_fails", transform::AddText, u"abc", u"x", std::nullopt}),
    rowName);
// clang-format on

struct NumberTextRow {
    const char* name;
    qint16 number;
    bool blank;
    const char16_t* typedStart;
    const char16_t* text;
};

class NumberText : public testing::TestWithParam<NumberTextRow> {};

TEST_P(NumberText, FormatsTheRunningNumber) {
    const NumberTextRow& row = GetParam();
    EXPECT_EQ(transform::numberText(row.number, row.blank, QString::fromUtf16(row.typedStart)),
              QString::fromUtf16(row.text))
        << row.name;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, NumberText, testing::Values(
    NumberTextRow{"zero", 0, false, u"0", u"00"},
    NumberTextRow{"one_digit", 5, false, u"5", u"05"},
    NumberTextRow{"two_digits", 42, false, u"1", u"42"},
    NumberTextRow{"more_digits_in_full", 1234, false, u"1", u"1234"},
    NumberTextRow{"blank_after", 5, true, u"5", u"05 "},
    NumberTextRow{"three_typed_characters", 1, false, u"001", u"001"},
    NumberTextRow{"three_typed_with_blank", 1, true, u"001", u"001 "},
    NumberTextRow{"three_typed_from_hundred_in_full", 100, false, u"098", u"100"},
    NumberTextRow{"four_typed_characters_two_digits", 1, false, u"0001", u"01"},
    NumberTextRow{"blank_and_two_digits_typed", 12, false, u" 12", u"012"},
    NumberTextRow{"negative_last_digit", -5, false, u"10", u"05"},
    NumberTextRow{"negative_two_digits_last_digit", -12, false, u"10", u"02"},
    NumberTextRow{"negative_three_typed", -5, false, u"001", u"005"},
    NumberTextRow{"lowest_number_last_digit", -32768, true, u"10", u"08 "},
    NumberTextRow{"highest_number_in_full", 32767, true, u"001", u"32767 "},
    NumberTextRow{"typed_cr_lf_is_one_character", 1, false, u"1\r\n", u"01"},
    NumberTextRow{"typed_lone_cr_is_a_character", 1, false, u"1\r2", u"001"},
    NumberTextRow{"typed_mark_joins_its_letter", 1, false, u"1e\u0301", u"01"},
    NumberTextRow{"three_typed_with_a_mark", 1, false, u"12e\u0301", u"001"},
    NumberTextRow{"three_typed_beyond_ascii", 1, false, u"1\u00B22", u"001"}),
    [](const testing::TestParamInfo<NumberTextRow>& info) { return info.param.name; });
// clang-format on

TEST(Numbering, CutandNumberReplacesFirstThreeCharacters) {
    RenameState state;
    state.SearchText = u"5"_s;
    state.RunningNumber = 5;
    state.BlankAfterNumber = true;
    state.CurrentName = u"01 Artist - Title.mp3"_s;
    ASSERT_TRUE(transform::CutandNumber(state));
    EXPECT_EQ(state.NewName, u"05 Artist - Title.mp3"_s);

    state.BlankAfterNumber = false;
    ASSERT_TRUE(transform::CutandNumber(state));
    EXPECT_EQ(state.NewName, u"05Artist - Title.mp3"_s);

    state.CurrentName = u"abc"_s;
    state.BlankAfterNumber = true;
    ASSERT_TRUE(transform::CutandNumber(state));
    EXPECT_EQ(state.NewName, u"05 "_s);

    state.CurrentName = u"ab"_s;
    EXPECT_FALSE(transform::CutandNumber(state));
}

TEST(RepeatReplace, RefusesInputsThatCanNeverEnd) {
    EXPECT_TRUE(transform::repeatReplaceCannotEnd(u""_s, u"x"_s));
    EXPECT_TRUE(transform::repeatReplaceCannotEnd(u"a"_s, u"ba"_s));
    EXPECT_TRUE(transform::repeatReplaceCannotEnd(u"a"_s, u"xAx"_s));
    EXPECT_FALSE(transform::repeatReplaceCannotEnd(u"ab"_s, u"a"_s));
    EXPECT_FALSE(transform::repeatReplaceCannotEnd(u"_"_s, u" "_s));
}

} // namespace
