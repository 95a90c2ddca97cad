#include "core/fs/FileNameRules.h"
#include "core/fs/NameRules.h"

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

struct RefusalRow {
    const char* name;
    NameRules rules;
    QString text;
    QString refusal; // empty: taken
};

class NameRulesRefusal : public testing::TestWithParam<RefusalRow> {};

TEST_P(NameRulesRefusal, SaysWhyTheFileSystemRefusesAName) {
    EXPECT_EQ(GetParam().rules.refusal(GetParam().text).value_or(QString()), GetParam().refusal);
}

const NameRules fat{true, u"FAT"_s};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, NameRulesRefusal, testing::Values(
    RefusalRow{"FatTakesAnOrdinaryName", fat, u"01 Künstler - Titel.mp3"_s, {}},
    RefusalRow{"FatRefusesAColon", fat, u"a:b.mp3"_s, u"FAT erlaubt das Zeichen „:“ in Dateinamen nicht."_s},
    RefusalRow{"FatRefusesABackslash", fat, u"a\\b.mp3"_s, u"FAT erlaubt das Zeichen „\\“ in Dateinamen nicht."_s},
    RefusalRow{"FatRefusesAControlCharacter", fat, u"a\tb.mp3"_s, u"FAT erlaubt keine Steuerzeichen in Dateinamen."_s},
    RefusalRow{"FatRefusesATrailingDot", fat, u"Titel."_s, u"FAT erlaubt keinen Dateinamen, der mit einem Punkt endet."_s},
    RefusalRow{"FatRefusesATrailingBlank", fat, u"Titel.mp3 "_s, u"FAT erlaubt keinen Dateinamen, der mit einem Leerzeichen endet."_s},
    RefusalRow{"UnnamedFatLikeSaysTheDrive", NameRules{true, {}}, u"a?b"_s, u"Dieses Laufwerk erlaubt das Zeichen „?“ in Dateinamen nicht."_s},
    RefusalRow{"LinuxTakesAll", NameRules{}, u"a:b?.mp3 "_s, {}}),
    [](const testing::TestParamInfo<RefusalRow>& info) { return std::string(info.param.name); });
// clang-format on

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
