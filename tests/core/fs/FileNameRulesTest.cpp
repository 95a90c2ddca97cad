#include "core/fs/FileNameRules.h"
#include "core/fs/LocalFileSystem.h"
#include "core/fs/NameCodec.h"
#include "core/fs/TargetRules.h"
#include "tests/support/FileSystemPlaces.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

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

// FAT or exFAT as its Linux drivers present it.
TargetRules fatDrive(const QString& fileSystemName, bool asciiOnly = false) {
    TargetRules rules;
    rules.known = true;
    rules.fileSystemName = fileSystemName;
    rules.countsUtf16Units = true;
    rules.fatNames = true;
    rules.utf8Only = true;
    rules.asciiOnly = asciiOnly;
    rules.folding = NameFolding::SimpleCase;
    return rules;
}

struct RefusalRow {
    const char* name;
    TargetRules rules;
    QString text;
    QString refusal; // empty: taken
};

class TargetRulesRefusal : public testing::TestWithParam<RefusalRow> {};

TEST_P(TargetRulesRefusal, SaysWhyTheFileSystemRefusesAName) {
    EXPECT_EQ(GetParam().rules.refusal(GetParam().text).value_or(QString()), GetParam().refusal);
}

const TargetRules fat = fatDrive(u"FAT"_s);
const TargetRules exFat = fatDrive(u"exFAT"_s);
const TargetRules asciiFat = fatDrive(u"FAT"_s, true);
const TargetRules linuxDrive;
const QString tooLong = u"Der Name ist für dieses Laufwerk zu lang."_s;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, TargetRulesRefusal, testing::Values(
    RefusalRow{"FatTakesAnOrdinaryName", fat, u"01 Künstler - Titel.mp3"_s, {}},
    RefusalRow{"FatRefusesAColon", fat, u"a:b.mp3"_s, u"FAT erlaubt das Zeichen „:“ in Dateinamen nicht."_s},
    RefusalRow{"FatRefusesABackslash", fat, u"a\\b.mp3"_s, u"FAT erlaubt das Zeichen „\\“ in Dateinamen nicht."_s},
    RefusalRow{"FatRefusesAControlCharacter", fat, u"a\tb.mp3"_s, u"FAT erlaubt keine Steuerzeichen in Dateinamen."_s},
    RefusalRow{"ExFatTakesDelete", exFat, u"a\x7f" "b.mp3"_s, {}},
    RefusalRow{"AsciiOnlyDriverRefusesDelete", asciiFat, u"a\x7f" "b.mp3"_s, u"FAT erlaubt keine Steuerzeichen in Dateinamen."_s},
    RefusalRow{"AsciiOnlyDriverRefusesAnUmlaut", asciiFat, u"Künstler.mp3"_s, u"Der Treiber dieses Laufwerks erlaubt das Zeichen „ü“ in Dateinamen nicht."_s},
    RefusalRow{"AsciiOnlyDriverNamesAWholeCharacter", asciiFat, u"a😀b.mp3"_s, u"Der Treiber dieses Laufwerks erlaubt das Zeichen „😀“ in Dateinamen nicht."_s},
    RefusalRow{"FatRefusesBytesThatAreNoUtf8", fat, u"Caf"_s + QChar(0xdce9) + u".mp3"_s, u"FAT erlaubt nur Dateinamen in UTF-8."_s},
    RefusalRow{"FatRefusesATrailingDot", fat, u"Titel."_s, u"FAT erlaubt keinen Dateinamen, der mit einem Punkt endet."_s},
    RefusalRow{"FatRefusesATrailingBlank", fat, u"Titel.mp3 "_s, u"FAT erlaubt keinen Dateinamen, der mit einem Leerzeichen endet."_s},
    RefusalRow{"UnnamedFatLikeSaysTheDrive", fatDrive({}), u"a?b"_s, u"Dieses Laufwerk erlaubt das Zeichen „?“ in Dateinamen nicht."_s},
    RefusalRow{"LinuxTakesAll", linuxDrive, u"a:b?.mp3 "_s, {}},
    RefusalRow{"LinuxTakes255Bytes", linuxDrive, QString(255, u'x'), {}},
    RefusalRow{"LinuxRefuses256Bytes", linuxDrive, QString(256, u'x'), tooLong},
    RefusalRow{"LinuxCountsBytesNotCharacters", linuxDrive, QString(128, u'é'), tooLong},
    RefusalRow{"FatTakes255Utf16Units", fat, QString(255, u'é'), {}},
    RefusalRow{"FatCountsAPairAsTwoUnits", fat, u"😀"_s.repeated(128), tooLong}),
    [](const testing::TestParamInfo<RefusalRow>& info) { return std::string(info.param.name); });
// clang-format on

struct FoldingRow {
    const char* name;
    NameFolding folding;
    QString first;
    QString second;
    bool alike;
};

class NameFoldingRows : public testing::TestWithParam<FoldingRow> {};

TEST_P(NameFoldingRows, FoldsNamesAsTheFileSystemCompares) {
    const FoldingRow& row = GetParam();
    EXPECT_EQ(foldedName(row.first, row.folding) == foldedName(row.second, row.folding), row.alike);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, NameFoldingRows, testing::Values(
    FoldingRow{"ExactTellsCaseApart", NameFolding::Exact, u"Track 01.mp3"_s, u"track 01.mp3"_s, false},
    FoldingRow{"FatIgnoresCase", NameFolding::SimpleCase, u"Track 01.MP3"_s, u"track 01.mp3"_s, true},
    FoldingRow{"FatIgnoresCaseOfUmlauts", NameFolding::SimpleCase, u"Ärger.mp3"_s, u"ärger.mp3"_s, true},
    FoldingRow{"FatTellsSharpSFromDoubleS", NameFolding::SimpleCase, u"Straße"_s, u"STRASSE"_s, false},
    FoldingRow{"FatTellsDecomposedFromComposed", NameFolding::SimpleCase, u"a\u0308"_s, u"ä"_s, false},
    FoldingRow{"CaseFoldedDirectoryJoinsSharpSAndDoubleS", NameFolding::CaseAndNormalisation, u"Straße"_s, u"STRASSE"_s, true},
    FoldingRow{"CaseFoldedDirectoryIgnoresNormalisation", NameFolding::CaseAndNormalisation, u"A\u0308rger"_s, u"ärger"_s, true},
    FoldingRow{"CaseFoldedDirectoryComparesBytesThatAreNoUtf8Exactly", NameFolding::CaseAndNormalisation, u"A"_s + QChar(0xdce9), u"a"_s + QChar(0xdce9), false}),
    [](const testing::TestParamInfo<FoldingRow>& info) { return std::string(info.param.name); });
// clang-format on

struct PlaceRulesRow {
    Place place;
    QString fileSystemName; // empty: whatever the machine's temporary directory is on
    NameFolding folding;
    bool countsUtf16Units;
    bool asciiOnly;
};

void PrintTo(const PlaceRulesRow& row, std::ostream* out) {
    *out << nameOf(row.place);
}

class RulesOnPlace : public PlacesSuite, public testing::WithParamInterface<PlaceRulesRow> {};

// Whether the file system takes `name` as a new file; it stays there.
int create(const QString& path) {
    const int fd = ::open(encodeFileName(path).constData(), O_CREAT | O_EXCL | O_WRONLY, 0600);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

TEST_P(RulesOnPlace, SayWhatTheFileSystemIsAndFoldNoLessThanIt) {
    const PlaceRulesRow& row = GetParam();
    QString skipReason;
    const QString root = placeRoot(row.place, skipReason);
    if (root.isEmpty())
        GTEST_SKIP() << skipReason.toStdString();
    const TempTree tree(root);

    const TargetRules rules = LocalFileSystem().targetRules(tree.root());

    EXPECT_TRUE(rules.known);
    if (!row.fileSystemName.isEmpty()) {
        EXPECT_EQ(rules.fileSystemName, row.fileSystemName);
    }
    EXPECT_EQ(rules.folding, row.folding);
    EXPECT_EQ(rules.countsUtf16Units, row.countsUtf16Units);
    EXPECT_EQ(rules.asciiOnly, row.asciiOnly);
    EXPECT_EQ(rules.unwritable, 0);
    EXPECT_EQ(tree.entries(), QStringList()) << "a probe left a file behind";
    // Where the file system calls a second name taken by the first, the two
    // must fold alike; folding more than the file system is allowed.
    const QList<std::pair<QString, QString>> pairs = {
        {u"a.mp3"_s, u"A.MP3"_s}, {u"ärger"_s, u"ÄRGER"_s},
        {u"σ"_s, u"ς"_s},         {u"Straße"_s, u"STRASSE"_s},
        {u"ß"_s, u"ẞ"_s},         {u"µ"_s, u"Μ"_s},
        {u"ı"_s, u"I"_s},         {u"a\u0308"_s, u"ä"_s},
        {u"Ω"_s, u"ω"_s}};
    for (const auto& [first, second] : pairs) {
        SCOPED_TRACE(first.toStdString() + " / " + second.toStdString());
        const TempTree names(tree.root());
        if (create(names.root() + first) != 0)
            continue;
        if (create(names.root() + second) == EEXIST) {
            EXPECT_EQ(rules.comparisonKey(first), rules.comparisonKey(second));
        }
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Places, RulesOnPlace, testing::Values(
    PlaceRulesRow{Place::Disk, {}, NameFolding::Exact, false, false},
    PlaceRulesRow{Place::Tmpfs, u"tmpfs"_s, NameFolding::Exact, false, false},
    PlaceRulesRow{Place::Fat, u"FAT"_s, NameFolding::SimpleCase, true, true},
    PlaceRulesRow{Place::ExFat, u"exFAT"_s, NameFolding::SimpleCase, true, false},
    PlaceRulesRow{Place::CaseFoldedExt4, u"ext4"_s, NameFolding::CaseAndNormalisation, false, false}),
    [](const testing::TestParamInfo<PlaceRulesRow>& info) { return std::string(nameOf(info.param.place)); });
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
