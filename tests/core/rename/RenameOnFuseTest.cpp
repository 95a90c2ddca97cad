#include "core/rename/MainPrg.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/FileSystemPlaces.h"
#include "tests/support/FuseMount.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <tuple>

using namespace Qt::StringLiterals;

// The eight rename operations, with and without MoveBack, on FAT and exFAT
// through FUSE: file systems without a no-replace rename or hard links, whose
// names ignore case.

namespace {

struct Renaming {
    QString from;
    QString to;
};

struct OperationRow {
    const char* name;
    QString key;
    QString search;
    QString step;
    bool option;
    QList<Renaming> files; // in natural order
};

// clang-format off
const OperationRow operationRows[] = {
    {"ChangeFilename", u"ChangeFilename"_s, u" - "_s, {}, false, {{u"01 Artist - Title.mp3"_s, u"Title - 01 Artist.mp3"_s}, {u"02 Other - Song.mp3"_s, u"Song - 02 Other.mp3"_s}}},
    {"CutandNumber", u"CutandNumber"_s, u"5"_s, u"1"_s, true, {{u"01 Artist - Title.mp3"_s, u"05 Artist - Title.mp3"_s}, {u"02 Other - Song.mp3"_s, u"06 Other - Song.mp3"_s}}},
    {"ChangeString", u"ChangeString"_s, u"_"_s, u" "_s, true, {{u"a_b_c.mp3"_s, u"a b c.mp3"_s}, {u"plain.mp3"_s, u"plain.mp3"_s}}},
    {"AddNumber", u"AddNumber"_s, u"1"_s, u"1"_s, true, {{u"Title A.mp3"_s, u"01 Title A.mp3"_s}, {u"title B.mp3"_s, u"02 title B.mp3"_s}}},
    {"CutNameFirst", u"CutNameFirst"_s, u"3"_s, {}, false, {{u"01 Artist - Title.mp3"_s, u"Artist - Title.mp3"_s}, {u"02 Other.mp3"_s, u"Other.mp3"_s}}},
    {"CutNameLast", u"CutNameLast"_s, u"7"_s, {}, false, {{u"Artist - Title (Live).mp3"_s, u"Artist - Title.mp3"_s}}},
    {"CutNameStringLast", u"CutNameStringLast"_s, u" ("_s, {}, false, {{u"Artist - Title (Live).mp3"_s, u"Artist - Title.mp3"_s}, {u"Other (Remix).mp3"_s, u"Other.mp3"_s}}},
    {"AddText", u"AddText"_s, u" (Live)"_s, {}, false, {{u"Artist - Title.mp3"_s, u"Artist - Title (Live).mp3"_s}}},
};
// clang-format on

void PrintTo(const OperationRow& row, std::ostream* out) {
    *out << row.name;
}

QByteArray contentOf(const QString& name) {
    QByteArray bytes = name.toUtf8().repeated(4096);
    for (qsizetype i = 0; i < bytes.size(); i += 509)
        bytes[i] = char(i % 256);
    return bytes;
}

QStringList sortedByBytes(QStringList names) {
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
    return names;
}

class RenameOnFuse : public PlacesSuite {
protected:
    void SetUpOn(Place place) {
        QString skipReason;
        const QString root = placeRoot(place, skipReason);
        if (root.isEmpty())
            GTEST_SKIP() << skipReason.toStdString();
        tree.emplace(root);
        prg.setWindow(&window);
        prg.SourceDir = tree->dir(u"src"_s);
        prg.TargetDir = tree->dir(u"dst"_s);
    }

    void run(const OperationRow& row, bool moveBack) {
        window.fields[u"txt_Suchstring"_s] = row.search;
        window.fields[u"txt_Step"_s] = row.step;
        window.ticks[u"chk_Leerz"_s] = row.option;
        window.ticks[u"chk_MoveBack"_s] = moveBack;
        ASSERT_TRUE(prg.runOperation(row.key));
    }

    std::optional<TempTree> tree;
    FaultyFileSystem fileSystem;
    RecordingWindow window;
    MainPrg prg{fileSystem};
};

class RenameOperationOnFuse
    : public RenameOnFuse,
      public testing::WithParamInterface<std::tuple<Place, OperationRow, bool>> {
protected:
    void SetUp() override { SetUpOn(std::get<Place>(GetParam())); }
};

TEST_P(RenameOperationOnFuse, MovesEveryFileByteForByte) {
    const auto& [place, row, moveBack] = GetParam();
    for (const Renaming& file : row.files)
        tree->writeFile(u"src/"_s + file.from, contentOf(file.from));

    run(row, moveBack);

    EXPECT_EQ(window.messageTexts(), QStringList());
    const QString filled = moveBack ? u"src/"_s : u"dst/"_s;
    const QString emptied = moveBack ? u"dst"_s : u"src"_s;
    QStringList renamed;
    for (const Renaming& file : row.files) {
        renamed.append(file.to);
        EXPECT_EQ(tree->readFile(filled + file.to), contentOf(file.from)) << file.to.toStdString();
    }
    EXPECT_EQ(tree->entries(filled.chopped(1)), sortedByBytes(renamed));
    EXPECT_EQ(tree->entries(emptied), QStringList());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Operations, RenameOperationOnFuse, testing::Combine(
    testing::Values(Place::Fat, Place::ExFat), testing::ValuesIn(operationRows), testing::Bool()),
    [](const testing::TestParamInfo<std::tuple<Place, OperationRow, bool>>& info) {
        return std::string(nameOf(std::get<Place>(info.param))) + '_' +
               std::get<OperationRow>(info.param).name +
               (std::get<bool>(info.param) ? "_MoveBack" : "");
    });
// clang-format on

class RenameRefusalOnFuse : public RenameOnFuse, public testing::WithParamInterface<Place> {
protected:
    void SetUp() override { SetUpOn(GetParam()); }
};

// FAT and exFAT take "01 TITLE A.mp3" for "01 Title A.mp3".
TEST_P(RenameRefusalOnFuse, NameTakenInAnyCaseStopsTheRunAndStaysUntouched) {
    tree->writeFile(u"src/Title A.mp3"_s, "source");
    tree->writeFile(u"src/Title B.mp3"_s, "second");
    tree->writeFile(u"dst/01 TITLE A.mp3"_s, "taken");

    run(operationRows[3], false);

    EXPECT_EQ(window.messageTexts(), QStringList{u"Fehler im Modul AddNumber"_s});
    EXPECT_EQ(tree->entries(u"dst"_s), QStringList{u"01 TITLE A.mp3"_s});
    EXPECT_EQ(tree->readFile(u"dst/01 TITLE A.mp3"_s), "taken");
    EXPECT_EQ(tree->readFile(u"src/Title A.mp3"_s), "source");
    EXPECT_EQ(tree->readFile(u"src/Title B.mp3"_s), "second");
}

TEST_P(RenameRefusalOnFuse, MoveBackStopsAtANameTakenInTheSourceInOtherCase) {
    tree->writeFile(u"src/Song.mp3"_s, "source");
    tree->writeFile(u"dst/Other.mp3"_s, "in target");
    // After the run's listing, the source gains a file that MoveBack meets.
    int listings = 0;
    fileSystem.afterListing = [&] {
        if (listings++ == 0)
            tree->writeFile(u"src/OTHER.mp3"_s, "taken");
    };

    run(operationRows[7], true);

    EXPECT_EQ(window.messageTexts(), QStringList{u"Fehler im Modul AddText"_s});
    EXPECT_EQ(tree->entries(u"src"_s), QStringList{u"OTHER.mp3"_s});
    EXPECT_EQ(tree->readFile(u"src/OTHER.mp3"_s), "taken");
    EXPECT_EQ(tree->readFile(u"dst/Other.mp3"_s), "in target");
    EXPECT_EQ(tree->readFile(u"dst/Song (Live).mp3"_s), "source");
}

INSTANTIATE_TEST_SUITE_P(Places, RenameRefusalOnFuse, testing::Values(Place::Fat, Place::ExFat),
                         [](const testing::TestParamInfo<Place>& info) {
                             return std::string(nameOf(info.param));
                         });

// fusefat's plain rename to a name FAT refuses drops the file; such a name
// now stops the run at its file, before that file is touched, and the image
// checks clean afterwards.
class RefusedNameOnFuse : public testing::TestWithParam<FuseKind> {};

TEST_P(RefusedNameOnFuse, LosesNoFileInPlaceOrIntoAnotherDirectory) {
    FuseMount mount(GetParam());
    if (!mount.isMounted())
        GTEST_SKIP() << mount.skipReason().toStdString();
    const QString fileSystemName = GetParam() == FuseKind::Fat ? u"FAT"_s : u"exFAT"_s;
    const QStringList characters = {
        u":"_s, u"?"_s, u"*"_s, u"\""_s, u"<"_s, u">"_s, u"|"_s, u"\\"_s, QString(QChar(0x1f))};
    for (const QString& character : characters) {
        for (const bool inPlace : {true, false}) {
            SCOPED_TRACE(character.toStdString() + (inPlace ? " in place" : " across"));
            const TempTree tree(mount.root());
            FaultyFileSystem fileSystem;
            RecordingWindow window;
            MainPrg prg{fileSystem};
            prg.setWindow(&window);
            prg.SourceDir = tree.dir(u"src"_s);
            prg.TargetDir = inPlace ? prg.SourceDir : tree.dir(u"dst"_s);
            const QStringList names = {u"a-b.mp3"_s, u"c-d.mp3"_s};
            for (const QString& name : names)
                tree.writeFile(u"src/"_s + name, contentOf(name));
            window.fields[u"txt_Suchstring"_s] = u"-"_s;
            window.fields[u"txt_Step"_s] = character;

            ASSERT_TRUE(prg.runOperation(u"ChangeString"_s));

            ASSERT_EQ(window.messages.size(), 1);
            EXPECT_EQ(window.messages[0].text,
                      u"Fehler im Modul Dateinamen_Tauschen, vermutlich wurde String1 nicht "
                      u"gefunden "_s);
            if (character.at(0).unicode() >= 0x20) {
                EXPECT_TRUE(window.messages[0].informativeText.endsWith(
                    fileSystemName + u" erlaubt das Zeichen „"_s + character +
                    u"“ in Dateinamen nicht."_s))
                    << window.messages[0].informativeText.toStdString();
            }
            EXPECT_EQ(tree.entries(u"src"_s), names);
            for (const QString& name : names)
                EXPECT_EQ(tree.readFile(u"src/"_s + name), contentOf(name));
        }
    }
    const QString check = mount.unmountAndCheck();
    EXPECT_TRUE(check.isEmpty()) << check.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Kinds, RefusedNameOnFuse, testing::Values(FuseKind::Fat, FuseKind::ExFat),
                         [](const testing::TestParamInfo<FuseKind>& info) {
                             return std::string(FuseMount::nameOf(info.param));
                         });

// The commonest repair on a car radio's stick: names that differ only in
// case, renamed in place. Where the file system ignores case (or, in a
// case-folded ext4 directory, normalisation too), each file goes through a
// temporary name; where it tells them apart, it takes one move.
struct CaseOnlyRow {
    const char* name;
    Place place;
    QString search;
    QString replacement;
    QList<Renaming> files; // in natural order
    int movesPerRenamedFile;
};

void PrintTo(const CaseOnlyRow& row, std::ostream* out) {
    *out << row.name;
}

const QList<Renaming> trackNames = {{u"track 01.MP3"_s, u"Track 01.MP3"_s},
                                    {u"track 02.MP3"_s, u"Track 02.MP3"_s},
                                    {u"Track 03.MP3"_s, u"Track 03.MP3"_s}};

class CaseOnlyRename : public RenameOnFuse, public testing::WithParamInterface<CaseOnlyRow> {
protected:
    void SetUp() override { SetUpOn(GetParam().place); }
};

TEST_P(CaseOnlyRename, RenamesEveryFileInPlaceAndUndoGivesTheOldNamesBack) {
    const CaseOnlyRow& row = GetParam();
    prg.TargetDir = prg.SourceDir;
    QStringList before;
    QStringList after;
    int renamed = 0;
    for (const Renaming& file : row.files) {
        tree->writeFile(u"src/"_s + file.from, contentOf(file.from));
        before.append(file.from);
        after.append(file.to);
        renamed += file.from != file.to;
    }

    window.fields[u"txt_Suchstring"_s] = row.search;
    window.fields[u"txt_Step"_s] = row.replacement;
    ASSERT_TRUE(prg.previewOperation(u"ChangeString"_s));
    EXPECT_FALSE(window.fields.value(u"txt_Filename"_s).contains(u"(Fehler"_s));
    ASSERT_TRUE(prg.runOperation(u"ChangeString"_s));

    EXPECT_EQ(window.messageTexts(), QStringList());
    EXPECT_EQ(tree->entries(u"src"_s), sortedByBytes(after));
    for (const Renaming& file : row.files)
        EXPECT_EQ(tree->readFile(u"src/"_s + file.to), contentOf(file.from));
    EXPECT_EQ(fileSystem.moves, renamed * row.movesPerRenamedFile);

    prg.undoLastRun();
    EXPECT_EQ(tree->entries(u"src"_s), sortedByBytes(before));
    for (const Renaming& file : row.files)
        EXPECT_EQ(tree->readFile(u"src/"_s + file.from), contentOf(file.from));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Places, CaseOnlyRename, testing::Values(
    CaseOnlyRow{"CaseSensitiveDiskInOneMove", Place::Disk, u"track "_s, u"Track "_s, trackNames, 1},
    CaseOnlyRow{"FatThroughATemporaryName", Place::Fat, u"track "_s, u"Track "_s, trackNames, 2},
    CaseOnlyRow{"ExFatThroughATemporaryName", Place::ExFat, u"track "_s, u"Track "_s, trackNames, 2},
    CaseOnlyRow{"CaseFoldedExt4ThroughATemporaryName", Place::CaseFoldedExt4, u"track "_s, u"Track "_s, trackNames, 2},
    CaseOnlyRow{"CaseFoldedExt4NormalisationOnly", Place::CaseFoldedExt4, u"A\u0308"_s, u"Ä"_s,
                {{u"A\u0308rger.mp3"_s, u"Ärger.mp3"_s}}, 2}),
    [](const testing::TestParamInfo<CaseOnlyRow>& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
