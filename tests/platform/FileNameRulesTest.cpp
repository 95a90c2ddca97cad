#include "platform/FileNameRules.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct PlainNameRow {
    const char* name;
    QString text;
    bool plain;
};

class FileNameRulesPlain : public testing::TestWithParam<PlainNameRow> {};

TEST_P(FileNameRulesPlain, TellsWhetherTextIsOneEntryName) {
    EXPECT_EQ(isPlainFileName(GetParam().text), GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FileNameRulesPlain,
    testing::Values(PlainNameRow{"OrdinaryName", u"Track 1.mp3"_s, true},
                    PlainNameRow{"EmptyMeansTheDirectory", QString(), true},
                    PlainNameRow{"DotsInsideAllowed", u"a..b"_s, true},
                    PlainNameRow{"HiddenNameAllowed", u".hidden"_s, true},
                    PlainNameRow{"SlashRefused", u"a/b"_s, false},
                    PlainNameRow{"NulRefused", QString(u"a"_s + QChar(0) + u"b"_s), false},
                    PlainNameRow{"DotRefused", u"."_s, false},
                    PlainNameRow{"DotDotRefused", u".."_s, false}),
    [](const testing::TestParamInfo<PlainNameRow>& info) { return std::string(info.param.name); });

TEST(FileNameRules, SeparatorIsNative) {
#ifdef Q_OS_WIN
    EXPECT_EQ(directorySeparator(), u'\\');
    EXPECT_FALSE(isPlainFileName(u"a\\b"_s));
#else
    EXPECT_EQ(directorySeparator(), u'/');
    EXPECT_TRUE(isPlainFileName(u"a\\b"_s));
#endif
}

} // namespace
