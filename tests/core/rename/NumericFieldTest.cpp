#include "core/rename/NumericField.h"

#include <QString>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <optional>
#include <string>

namespace {

struct LeadingNumberRow {
    const char* name;
    const char16_t* text;
    double value;
};

class LeadingNumber : public testing::TestWithParam<LeadingNumberRow> {};

TEST_P(LeadingNumber, ReadsTheLeadingNumber) {
    const LeadingNumberRow& row = GetParam();
    EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf16(row.text)), row.value) << row.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LeadingNumber,
    testing::Values(LeadingNumberRow{"empty", u"", 0}, LeadingNumberRow{"plain", u"12", 12},
                    LeadingNumberRow{"leading_blanks", u"   7", 7},
                    LeadingNumberRow{"blanks_inside_digits", u"1 2", 12},
                    LeadingNumberRow{"tabs_and_line_feeds_anywhere", u"\t1\n2 3", 123},
                    LeadingNumberRow{"blank_between_sign_and_digits", u"- 5", -5},
                    LeadingNumberRow{"plus_sign", u"+8", 8},
                    LeadingNumberRow{"stops_at_letter", u"12abc", 12},
                    LeadingNumberRow{"text_first_is_zero", u"abc12", 0},
                    LeadingNumberRow{"decimal_point", u"2.5", 2.5},
                    LeadingNumberRow{"second_point_stops", u"1.2.3", 1.2},
                    LeadingNumberRow{"leading_point", u".5", 0.5},
                    LeadingNumberRow{"comma_is_no_decimal_point", u"2,5", 2},
                    LeadingNumberRow{"exponent", u"1E3", 1000},
                    LeadingNumberRow{"lower_case_exponent", u"1e2", 100},
                    LeadingNumberRow{"negative_exponent", u"25E-1", 2.5},
                    LeadingNumberRow{"exponent_without_digits_ignored", u"3E", 3},
                    LeadingNumberRow{"hexadecimal", u"&H1F", 31},
                    LeadingNumberRow{"hexadecimal_lower_case", u"&hff", 255},
                    LeadingNumberRow{"octal", u"&O17", 15},
                    LeadingNumberRow{"octal_stops_at_eight", u"&O78", 7},
                    LeadingNumberRow{"ampersand_alone", u"&12", 0},
                    LeadingNumberRow{"sign_alone", u"-", 0},
                    LeadingNumberRow{"cr_is_not_skipped", u"\r5", 0},
                    LeadingNumberRow{"arabic_indic_digits_are_text", u"\u0663", 0}),
    [](const testing::TestParamInfo<LeadingNumberRow>& info) { return info.param.name; });

struct FieldValueRow {
    const char* name;
    const char16_t* text;
    std::optional<qint16> value;
};

class FieldValue : public testing::TestWithParam<FieldValueRow> {};

TEST_P(FieldValue, RoundsHalfToEvenWithinSixteenBits) {
    const FieldValueRow& row = GetParam();
    EXPECT_EQ(numericFieldValue(QString::fromUtf16(row.text)), row.value) << row.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FieldValue,
    testing::Values(FieldValueRow{"two_and_a_half_to_two", u"2.5", 2},
                    FieldValueRow{"three_and_a_half_to_four", u"3.5", 4},
                    FieldValueRow{"minus_two_and_a_half", u"-2.5", -2},
                    FieldValueRow{"just_above_half", u"2.51", 3},
                    FieldValueRow{"upper_limit", u"32767", 32767},
                    FieldValueRow{"lower_limit", u"-32768", -32768},
                    FieldValueRow{"rounds_down_into_range", u"32767.4", 32767},
                    FieldValueRow{"rounds_to_even_at_lower_limit", u"-32768.5", -32768},
                    FieldValueRow{"above_range", u"32768", std::nullopt},
                    FieldValueRow{"rounds_out_of_range", u"32767.5", std::nullopt},
                    FieldValueRow{"below_range", u"-32769", std::nullopt},
                    FieldValueRow{"huge_exponent", u"1E400", std::nullopt},
                    FieldValueRow{"tiny_exponent", u"1E-400", 0},
                    FieldValueRow{"hexadecimal_out_of_range", u"&HFFFF", std::nullopt},
                    FieldValueRow{"non_numeric", u"abc", 0}),
    [](const testing::TestParamInfo<FieldValueRow>& info) { return info.param.name; });

TEST(NumericFieldLocale, DecimalPointHoldsUnderADecimalCommaLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no German locale installed";
    EXPECT_DOUBLE_EQ(leadingNumber(u"2.5"), 2.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

} // namespace
