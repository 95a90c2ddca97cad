#include "core/rename/MainPrg.h"

#include "core/fs/LocalFileSystem.h"
#include "core/fs/NameCodec.h"
#include "core/rename/RenameOperation.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TempTree.h"

#include <QDir>
#include <QRegularExpression>

#include <QSet>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString logField = u"txt_Filename"_s;

QString logOf(const QStringList& names) {
    QString log;
    for (const QString& name : names)
        log += name + u"\r\n"_s;
    return log;
}

class RenameRun : public testing::Test {
protected:
    RenameRun() : prg(fileSystem) {
        prg.setWindow(&window);
        prg.SourceDir = tree.dir(u"src"_s);
        prg.TargetDir = tree.dir(u"dst"_s);
    }

    void files(const QString& dir, const QStringList& names, const QByteArray& bytes = {}) {
        for (const QString& name : names)
            tree.writeFile(dir + u'/' + name, bytes.isNull() ? name.toUtf8() : bytes);
    }

    void run(const QString& key, const QString& search, const QString& step = {},
             bool option = false, bool moveBack = false) {
        window.fields[u"txt_Suchstring"_s] = search;
        window.fields[u"txt_Step"_s] = step;
        window.ticks[u"chk_Leerz"_s] = option;
        window.ticks[u"chk_MoveBack"_s] = moveBack;
        ASSERT_TRUE(prg.runOperation(key));
    }

    QString log() const { return window.fields.value(logField); }

    TempTree tree;
    FaultyFileSystem fileSystem;
    RecordingWindow window;
    MainPrg prg;
};

struct RunRow {
    const char* name;
    const char16_t* key;
    QStringList listed; // in the order the listing yields them
    const char16_t* search;
    const char16_t* step;
    bool option;
    QStringList renamed; // the target directory afterwards, sorted by bytes
};

class RenameRunRows : public RenameRun, public testing::WithParamInterface<RunRow> {};

TEST_P(RenameRunRows, MovesEveryFileUnderItsNewName) {
    const RunRow& row = GetParam();
    files(u"src"_s, row.listed);
    run(QString::fromUtf16(row.key), QString::fromUtf16(row.search), QString::fromUtf16(row.step),
        row.option);
    EXPECT_TRUE(window.messages.isEmpty()) << window.messageTexts().join(u'|').toStdString();
    EXPECT_EQ(tree.entries(u"dst"_s), row.renamed);
    EXPECT_TRUE(tree.entries(u"src"_s).isEmpty());
    EXPECT_EQ(log(), logOf(row.listed));
    EXPECT_TRUE(prg.CurrentName.isEmpty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Operations, RenameRunRows, testing::Values(
    RunRow{"change_filename", u"ChangeFilename", {u"01 Artist - Title.mp3"_s}, u" - ", u"", false, {u"Title - 01 Artist.mp3"_s}},
    RunRow{"change_filename_empty_search_moves_unchanged", u"ChangeFilename", {u"a.mp3"_s, u"b.mp3"_s}, u"", u"", false, {u"a.mp3"_s, u"b.mp3"_s}},
    RunRow{"change_string_once", u"ChangeString", {u"a_b_c.mp3"_s}, u"_", u" ", false, {u"a b_c.mp3"_s}},
    RunRow{"change_string_repeat", u"ChangeString", {u"a_b_c.mp3"_s}, u"_", u" ", true, {u"a b c.mp3"_s}},
    RunRow{"change_string_absent_moves_under_listed_name", u"ChangeString", {u"a_b.mp3"_s, u"plain.mp3"_s}, u"_", u"-", false, {u"a-b.mp3"_s, u"plain.mp3"_s}},
    RunRow{"cut_name_first", u"CutNameFirst", {u"01 Artist - Title.mp3"_s}, u"3", u"", false, {u"Artist - Title.mp3"_s}},
    RunRow{"cut_name_first_whole_name_keeps_listed_name", u"CutNameFirst", {u"Song.mp3"_s}, u"8", u"", false, {u"Song.mp3"_s}},
    RunRow{"cut_name_last", u"CutNameLast", {u"Artist - Title (Live).mp3"_s}, u"7", u"", false, {u"Artist - Title.mp3"_s}},
    RunRow{"cut_name_string_last", u"CutNameStringLast", {u"Artist - Title (Live).mp3"_s}, u" (", u"", false, {u"Artist - Title.mp3"_s}},
    RunRow{"add_text", u"AddText", {u"Artist - Title.mp3"_s}, u" (Live)", u"", false, {u"Artist - Title (Live).mp3"_s}},
    RunRow{"cut_and_number_blank", u"CutandNumber", {u"01 Artist - Title.mp3"_s, u"02 Other - Song.mp3"_s}, u"5", u"1", true, {u"05 Artist - Title.mp3"_s, u"06 Other - Song.mp3"_s}},
    RunRow{"cut_and_number_no_blank", u"CutandNumber", {u"01 Artist - Title.mp3"_s}, u"5", u"1", false, {u"05Artist - Title.mp3"_s}},
    RunRow{"add_number_blank", u"AddNumber", {u"Title A.mp3"_s, u"Title B.mp3"_s}, u"1", u"1", true, {u"01 Title A.mp3"_s, u"02 Title B.mp3"_s}},
    RunRow{"add_number_three_digits", u"AddNumber", {u"Title A.mp3"_s, u"Title B.mp3"_s}, u"001", u"1", true, {u"001 Title A.mp3"_s, u"002 Title B.mp3"_s}},
    RunRow{"add_number_past_nine", u"AddNumber", {u"a"_s, u"b"_s, u"c"_s, u"d"_s}, u"8", u"1", false, {u"08a"_s, u"09b"_s, u"10c"_s, u"11d"_s}},
    RunRow{"add_number_past_ninety_nine", u"AddNumber", {u"a"_s, u"b"_s, u"c"_s, u"d"_s}, u"098", u"1", false, {u"098a"_s, u"099b"_s, u"100c"_s, u"101d"_s}},
    RunRow{"add_number_step_five", u"AddNumber", {u"a"_s, u"b"_s, u"c"_s}, u"10", u"5", false, {u"10a"_s, u"15b"_s, u"20c"_s}},
    RunRow{"add_number_counting_down", u"AddNumber", {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s}, u"10", u"-5", false, {u"00c"_s, u"00e"_s, u"05b"_s, u"05d"_s, u"10a"_s}},
    RunRow{"add_number_empty_step_same_number", u"CutandNumber", {u"xxxa"_s, u"xxxb"_s}, u"7", u"", false, {u"07a"_s, u"07b"_s}},
    RunRow{"numbers_follow_natural_order", u"AddNumber", {u"Track 1.mp3"_s, u"track 2.mp3"_s, u"Track 10.mp3"_s}, u"1", u"1", true, {u"01 Track 1.mp3"_s, u"02 track 2.mp3"_s, u"03 Track 10.mp3"_s}}),
    [](const testing::TestParamInfo<RunRow>& info) { return std::string(info.param.name); });
// clang-format on

// A large directory is listed, ordered and named in two halves at once, and
// a run into another directory plans and encodes its names on a thread of
// its own ahead of the moves, for more files than it keeps encoded ahead;
// the run must stop exactly where one file after the other would.
struct LargeRunRow {
    const char* name;
    const char16_t* start;
    const char16_t* step;
    const char16_t* takenInTarget; // a name the target holds before the run
    int moved;                     // files 0 to moved - 1 reach the target
    const char16_t* firstNewName;  // that of file 0
    const char16_t* lastNewName;   // that of file moved - 1
};

class LargeRun : public RenameRun, public testing::WithParamInterface<LargeRunRow> {};

TEST_P(LargeRun, StopsWhereFilesTakenOneByOneWould) {
    constexpr int fileCount = 20000;
    // Long enough that the listing decodes them in two halves too.
    const QString title = u" - Künstler - Ein ziemlich langer Titel.mp3"_s;
    const LargeRunRow& row = GetParam();
    QStringList names;
    for (int index = 0; index < fileCount; ++index)
        names.append(u"f%1"_s.arg(index, 5, 10, QChar(u'0')) + title);
    files(u"src"_s, names, "x");
    if (*row.takenInTarget)
        files(u"dst"_s, {QString::fromUtf16(row.takenInTarget) + title});
    run(u"AddNumber"_s, QString::fromUtf16(row.start), QString::fromUtf16(row.step), true);

    const bool stopped = row.moved < fileCount;
    EXPECT_EQ(window.messageTexts(),
              stopped ? QStringList{u"Fehler im Modul AddNumber"_s} : QStringList());
    EXPECT_EQ(tree.entries(u"src"_s), names.mid(row.moved));
    const QStringList inTarget = tree.entries(u"dst"_s);
    EXPECT_EQ(inTarget.size(), row.moved + (*row.takenInTarget ? 1 : 0));
    EXPECT_TRUE(inTarget.contains(QString::fromUtf16(row.firstNewName) + title));
    EXPECT_TRUE(inTarget.contains(QString::fromUtf16(row.lastNewName) + title));
    EXPECT_EQ(tree.readFile(u"dst/"_s + QString::fromUtf16(row.lastNewName) + title), "x");
    // Every file moved arrived under its own name behind its number.
    QSet<QString> arrived;
    for (const QString& name : inTarget)
        arrived.insert(name.mid(name.indexOf(u' ') + 1));
    qsizetype lost = 0;
    for (qsizetype index = 0; index < row.moved; ++index)
        lost += arrived.contains(names[index]) ? 0 : 1;
    EXPECT_EQ(lost, 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, LargeRun, testing::Values(
    LargeRunRow{"every_file", u"1", u"1", u"", 20000, u"01 f00000", u"20000 f19999"},
    LargeRunRow{"number_range_ends_in_the_first_half", u"30000", u"1", u"", 2768, u"30000 f00000", u"32767 f02767"},
    LargeRunRow{"number_range_ends_in_the_second_half", u"1", u"2", u"", 16384, u"01 f00000", u"32767 f16383"},
    LargeRunRow{"taken_name_in_the_second_half", u"1", u"0", u"01 f17000", 17000, u"01 f00000", u"01 f16999"}),
    [](const testing::TestParamInfo<LargeRunRow>& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(RenameRun, UnknownKeyRunsNothing) {
    files(u"src"_s, {u"a.mp3"_s});
    EXPECT_FALSE(prg.runOperation(u"addnumber"_s));
    EXPECT_FALSE(prg.runOperation(QString()));
    EXPECT_EQ(tree.entries(u"src"_s), QStringList{u"a.mp3"_s});
    EXPECT_TRUE(window.messages.isEmpty());
}

TEST_F(RenameRun, ExistingDestinationStopsTheRunAndStaysUntouched) {
    files(u"src"_s, {u"a.mp3"_s, u"b.mp3"_s, u"c.mp3"_s});
    tree.writeFile(u"dst/b_x.mp3"_s, "already here");
    run(u"AddText"_s, u"_x"_s);
    EXPECT_EQ(window.messageTexts(), QStringList{u"Fehler im Modul AddText"_s});
    EXPECT_EQ(window.messages[0].title, QString());
    EXPECT_EQ(window.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(tree.readFile(u"dst/b_x.mp3"_s), "already here");
    EXPECT_EQ(tree.entries(u"dst"_s), (QStringList{u"a_x.mp3"_s, u"b_x.mp3"_s}));
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"b.mp3"_s, u"c.mp3"_s}));
    EXPECT_EQ(log(), logOf({u"a.mp3"_s, u"b.mp3"_s}));
    EXPECT_EQ(prg.CurrentName, u"b.mp3"_s);
}

TEST_F(RenameRun, MissingTargetDirectoryFailsWithoutLosingTheFile) {
    files(u"src"_s, {u"a.mp3"_s});
    prg.TargetDir = tree.root() + u"missing/"_s;
    run(u"AddText"_s, u"_x"_s);
    EXPECT_EQ(window.messageTexts(), QStringList{u"Fehler im Modul AddText"_s});
    EXPECT_EQ(tree.entries(u"src"_s), QStringList{u"a.mp3"_s});
}

TEST_F(RenameRun, MissingSourceDirectoryEndsBeforeAnything) {
    window.fields[logField] = u"previous run\r\n"_s;
    prg.SourceDir = tree.root() + u"missing/"_s;
    run(u"ChangeFilename"_s, u" - "_s);
    EXPECT_EQ(window.messageTexts(),
              QStringList{u"Fehler im Modul Dateinamen_Tauschen, vermutlich wurde der "
                          u"Suchstring nicht gefunden "_s});
    EXPECT_EQ(log(), u"previous run\r\n"_s);
}

TEST_F(RenameRun, NumericFieldOutOfRangeEndsBeforeAnything) {
    const struct {
        QString key;
        QString search;
        QString step;
        QString message;
    } rows[] = {
        {u"AddNumber"_s, u"40000"_s, u"1"_s, u"Fehler im Modul AddNumber"_s},
        {u"CutandNumber"_s, u"1"_s, u"-32769"_s, u"Fehler im Modul CutandNumber"_s},
        {u"CutNameFirst"_s, u"1E9"_s, {}, u"Fehler im Modul CutNameFirst"_s},
        {u"CutNameLast"_s, u"32767.5"_s, {}, u"Fehler im Modul CutNameLast"_s},
    };
    files(u"src"_s, {u"abcdef.mp3"_s});
    for (const auto& row : rows) {
        window.messages.clear();
        run(row.key, row.search, row.step);
        EXPECT_EQ(window.messageTexts(), QStringList{row.message}) << row.key.toStdString();
        EXPECT_EQ(tree.entries(u"src"_s), QStringList{u"abcdef.mp3"_s});
        EXPECT_TRUE(log().isEmpty());
    }
}

TEST_F(RenameRun, ZeroCharacterCountWarnsThenMovesUnchanged) {
    for (const QString& key : {u"CutNameFirst"_s, u"CutNameLast"_s}) {
        files(u"src"_s, {u"Song.mp3"_s});
        window.messages.clear();
        run(key, u"not a number"_s);
        EXPECT_EQ(window.messageTexts(), QStringList{u"Keine verwendbare Zeichenzahl angegeben"_s});
        EXPECT_EQ(tree.entries(u"dst"_s), QStringList{u"Song.mp3"_s});
        ASSERT_EQ(::unlink(qPrintable(prg.TargetDir + u"Song.mp3"_s)), 0);
    }
}

TEST_F(RenameRun, NoDirectoryChosenWorksInTheWorkingDirectory) {
    files(u"src"_s, {u"a.mp3"_s, u"b.mp3"_s});
    const QString previous = QDir::currentPath();
    const QString workingDirectory = prg.SourceDir;
    ASSERT_TRUE(QDir::setCurrent(workingDirectory));
    prg.SourceDir.clear();
    prg.TargetDir.clear();
    window.fields[u"txt_Suchstring"_s] = u"1"_s;
    ASSERT_TRUE(prg.previewOperation(u"AddNumber"_s));
    const QStringList heading = log().split(u"\r\n"_s).mid(0, 2);
    run(u"AddNumber"_s, u"1"_s, u"1"_s, true);
    QDir::setCurrent(previous);
    // The preview names the working directory as the run uses it.
    ASSERT_EQ(heading.size(), 2);
    EXPECT_EQ(heading[0], u"Quelle: "_s + workingDirectory);
    EXPECT_TRUE(heading[1].startsWith(u"Ziel: "_s + workingDirectory + u" ("_s))
        << heading[1].toStdString();
    EXPECT_TRUE(window.messages.isEmpty());
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"01 a.mp3"_s, u"02 b.mp3"_s}));
}

TEST_F(RenameRun, SameSourceAndTargetGivesEachFileOneNewName) {
    QStringList names;
    QStringList expected;
    for (int i = 1; i <= 60; ++i) {
        names.append(u"t%1.mp3"_s.arg(i));
        expected.append(u"%1 t%2.mp3"_s.arg(i, 2, 10, QChar(u'0')).arg(i));
    }
    files(u"src"_s, names);
    prg.TargetDir = prg.SourceDir;
    run(u"AddNumber"_s, u"1"_s, u"1"_s, true, true);
    EXPECT_TRUE(window.messages.isEmpty());
    std::sort(expected.begin(), expected.end(),
              [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
    EXPECT_EQ(tree.entries(u"src"_s), expected);
}

TEST_F(RenameRun, VanishedFileIsLoggedNotMovedAndUsesUpItsNumber) {
    files(u"src"_s, {u"a"_s, u"b"_s, u"c"_s});
    fileSystem.afterListing = [this] {
        ASSERT_EQ(::unlink(qPrintable(prg.SourceDir + u"b"_s)), 0);
    };
    run(u"AddNumber"_s, u"1"_s, u"1"_s);
    EXPECT_TRUE(window.messages.isEmpty());
    EXPECT_EQ(log(), logOf({u"a"_s, u"b"_s, u"c"_s}));
    EXPECT_EQ(tree.entries(u"dst"_s), (QStringList{u"01a"_s, u"03c"_s}));
}

// The listing decides what a file is; what takes a listed name's place
// during the run moves under the new name, and nothing in it is lost.
TEST_F(RenameRun, DirectoryPutInAListedFilesPlaceMovesWholeUnderTheNewName) {
    files(u"src"_s, {u"a.mp3"_s, u"b.mp3"_s});
    fileSystem.afterListing = [this] {
        const QByteArray path = encodeFileName(prg.SourceDir + u"a.mp3"_s);
        ASSERT_EQ(::unlink(path.constData()), 0);
        ASSERT_EQ(::mkdir(path.constData(), 0755), 0);
        tree.writeFile(u"src/a.mp3/inside"_s, "kept");
    };
    run(u"AddText"_s, u"_x"_s);
    EXPECT_TRUE(window.messages.isEmpty());
    EXPECT_EQ(log(), logOf({u"a.mp3"_s, u"b.mp3"_s}));
    EXPECT_TRUE(tree.entries(u"src"_s).isEmpty());
    EXPECT_EQ(tree.entries(u"dst"_s), (QStringList{u"a_x.mp3"_s, u"b_x.mp3"_s}));
    EXPECT_EQ(tree.readFile(u"dst/a_x.mp3/inside"_s), QByteArray("kept"));
}

TEST_F(RenameRun, OnlyOrdinaryFilesAreListedLoggedAndMoved) {
    files(u"src"_s, {u"song.mp3"_s, u".hidden.mp3"_s});
    tree.makeDir(u"src/album"_s);
    tree.makeSymlink(tree.root() + u"src/album"_s, u"src/link to dir"_s);
    tree.makeSymlink(tree.root() + u"nowhere"_s, u"src/broken link"_s);
    tree.makeSymlink(tree.root() + u"src/song.mp3"_s, u"src/link.mp3"_s);
    ASSERT_EQ(::mkfifo(qPrintable(prg.SourceDir + u"fifo"_s), 0644), 0);
    run(u"AddText"_s, u"_x"_s);
    EXPECT_TRUE(window.messages.isEmpty());
    EXPECT_EQ(log(), logOf({u"link.mp3"_s, u"song.mp3"_s}));
    EXPECT_EQ(tree.entries(u"dst"_s), (QStringList{u"link_x.mp3"_s, u"song_x.mp3"_s}));
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u".hidden.mp3"_s, u"album"_s, u"broken link"_s,
                                                   u"fifo"_s, u"link to dir"_s}));
}

TEST_F(RenameRun, MoveBackRenamesInPlaceIncludingFilesAlreadyInTarget) {
    files(u"src"_s, {u"a.mp3"_s});
    files(u"dst"_s, {u"old.mp3"_s});
    run(u"AddText"_s, u"_x"_s, {}, false, true);
    EXPECT_TRUE(window.messages.isEmpty());
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"a_x.mp3"_s, u"old.mp3"_s}));
    EXPECT_TRUE(tree.entries(u"dst"_s).isEmpty());
    EXPECT_EQ(log(), logOf({u"a.mp3"_s}));
}

TEST_F(RenameRun, MoveBackStopsAtANameInBothDirectories) {
    files(u"src"_s, {u"a.mp3"_s});
    files(u"dst"_s, {u"b.mp3"_s, u"c.mp3"_s});
    // A c.mp3 appears in the source after its listing, so MoveBack meets it.
    int listings = 0;
    fileSystem.afterListing = [&] {
        if (listings++ == 0)
            tree.writeFile(u"src/c.mp3"_s, "source copy");
    };
    run(u"AddText"_s, u"_x"_s, {}, false, true);
    EXPECT_EQ(window.messageTexts(), QStringList{u"Fehler im Modul AddText"_s});
    EXPECT_EQ(tree.readFile(u"src/c.mp3"_s), "source copy");
    EXPECT_EQ(tree.readFile(u"dst/c.mp3"_s), "c.mp3");
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"a_x.mp3"_s, u"b.mp3"_s, u"c.mp3"_s}));
    EXPECT_EQ(log(), logOf({u"a.mp3"_s}));
    EXPECT_EQ(prg.CurrentName, u"c.mp3"_s);
}

TEST_F(RenameRun, NumberOverflowEndsAfterTheFileWithoutMoveBack) {
    files(u"src"_s, {u"a"_s});
    run(u"AddNumber"_s, u"32767"_s, u"1"_s, false, true);
    EXPECT_EQ(window.messageTexts(), QStringList{u"Fehler im Modul AddNumber"_s});
    EXPECT_EQ(tree.entries(u"dst"_s), QStringList{u"32767a"_s});
    EXPECT_TRUE(tree.entries(u"src"_s).isEmpty());
}

TEST_F(RenameRun, NewNameThatLeavesTheTargetIsRefusedBeforeTheFileIsTouched) {
    for (const QString& text : {u"/../x"_s, u"a/b"_s, u"a"_s + QChar(0) + u"b"_s}) {
        files(u"src"_s, {u"Song.mp3"_s});
        window.messages.clear();
        run(u"AddText"_s, text);
        EXPECT_EQ(window.messageTexts(), QStringList{u"Fehler im Modul AddText"_s});
        EXPECT_EQ(tree.entries(u"src"_s), QStringList{u"Song.mp3"_s});
        EXPECT_TRUE(tree.entries(u"dst"_s).isEmpty());
    }
    // "x.." cut by one character would become "..", the parent directory.
    files(u"src"_s, {u"x.."_s});
    run(u"CutNameFirst"_s, u"1"_s);
    EXPECT_EQ(window.messageTexts().last(), u"Fehler im Modul CutNameFirst"_s);
    EXPECT_EQ(tree.entries(u"src"_s), QStringList{u"x.."_s});
    EXPECT_EQ(tree.entries(u"dst"_s), QStringList{u"ong.mp3"_s});
}

TEST_F(RenameRun, RepeatReplaceThatCouldNeverEndIsRefused) {
    files(u"src"_s, {u"a_b.mp3"_s});
    for (const auto& [search, replace] : {std::pair{u""_s, u"x"_s}, std::pair{u"_"_s, u"-_"_s}}) {
        window.messages.clear();
        window.fields[logField] = u"kept"_s;
        run(u"ChangeString"_s, search, replace, true);
        ASSERT_EQ(window.messages.size(), 1);
        EXPECT_TRUE(window.messages[0].text.startsWith(u"Mehrfaches Ersetzen"_s));
        EXPECT_EQ(tree.entries(u"src"_s), QStringList{u"a_b.mp3"_s});
        EXPECT_EQ(log(), u"kept"_s);
    }
}

TEST_F(RenameRun, RepeatReplaceMatchingInTheExtensionNeverMovesARunawayName) {
    files(u"src"_s, {u"a.mp3"_s, u"b.mp3"_s});
    run(u"ChangeString"_s, u"3"_s, u""_s, true);
    EXPECT_EQ(window.messageTexts(),
              QStringList{u"Fehler im Modul Dateinamen_Tauschen, vermutlich wurde String1 nicht "
                          u"gefunden "_s});
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"a.mp3"_s, u"b.mp3"_s}));
    EXPECT_TRUE(tree.entries(u"dst"_s).isEmpty());
}

TEST_F(RenameRun, UndecodableNameKeepsItsBytesAndIsLoggedReadably) {
    const QString latin1 = decodeFileName(QByteArray("Caf\xe9.mp3"));
    files(u"src"_s, {latin1});
    run(u"AddNumber"_s, u"1"_s, u"1"_s, true);
    EXPECT_TRUE(window.messages.isEmpty());
    ASSERT_EQ(tree.entries(u"dst"_s).size(), 1);
    EXPECT_EQ(encodeFileName(tree.entries(u"dst"_s)[0]), QByteArray("01 Caf\xe9.mp3"));
    EXPECT_EQ(log(), u"Caf\uFFFD.mp3\r\n"_s);
}

TEST_F(RenameRun, FailingMoveKeepsEarlierMovesAndTheRest) {
    files(u"src"_s, {u"xx1"_s, u"xx2"_s, u"xx3"_s});
    fileSystem.failMovesFrom = 1;
    run(u"CutandNumber"_s, u"1"_s, u"1"_s);
    EXPECT_EQ(window.messageTexts(), QStringList{u"Fehler im Modul CutandNumber"_s});
    EXPECT_EQ(tree.entries(u"dst"_s), QStringList{u"01"_s});
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"xx2"_s, u"xx3"_s}));
    EXPECT_EQ(log(), logOf({u"xx1"_s, u"xx2"_s}));
}

// Every failure box names the file and why, below the operation's own text.
struct CauseRow {
    const char* name;
    const char16_t* key;
    QStringList listed;
    const char16_t* search;
    QString cause;
};

class FailureCauses : public RenameRun, public testing::WithParamInterface<CauseRow> {};

TEST_P(FailureCauses, boxNamesFileAndCause) {
    const CauseRow& row = GetParam();
    files(u"src"_s, row.listed);
    tree.writeFile(u"dst/taken_x.mp3"_s, "kept");
    run(QString::fromUtf16(row.key), QString::fromUtf16(row.search), u"1"_s);
    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_EQ(window.messages[0].text, renameOperation(QString::fromUtf16(row.key)).failureMessage);
    EXPECT_EQ(window.messages[0].informativeText, row.cause);
    EXPECT_EQ(tree.readFile(u"dst/taken_x.mp3"_s), "kept");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, FailureCauses, testing::Values(
    CauseRow{"search_text_missing", u"ChangeFilename", {u"Song.mp3"_s}, u" - ",
             u"Datei: Song.mp3\nDer Suchstring kommt im Namen nicht vor."_s},
    CauseRow{"name_too_short_for_number", u"CutandNumber", {u"ab"_s}, u"1",
             u"Datei: ab\nDer Name hat weniger als drei Zeichen."_s},
    CauseRow{"new_name_would_hide_the_file", u"CutNameFirst", {u"a.mp3"_s}, u"1",
             u"Datei: a.mp3\nDer neue Name „.mp3“ beginnt mit einem Punkt; die Datei wäre dann "
             u"versteckt."_s},
    CauseRow{"target_name_taken", u"AddText", {u"taken.mp3"_s}, u"_x",
             u"Datei: taken.mp3\nIm Zielverzeichnis gibt es diesen Namen schon."_s},
    CauseRow{"two_files_one_new_name", u"CutNameLast", {u"ab.mp3"_s, u"ac.mp3"_s}, u"1",
             u"Datei: ac.mp3\nDenselben neuen Namen bekommt schon „ab.mp3“."_s}),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST_F(RenameRun, SlashInStringTwoIsReportedAsTheCauseNotAsAMissingStringOne) {
    files(u"src"_s, {u"a-b.mp3"_s});
    run(u"ChangeString"_s, u"-"_s, u"/"_s);
    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_EQ(window.messages[0].informativeText,
              u"Datei: a-b.mp3\nDer neue Name „a/b.mp3“ enthält das Trennzeichen „/“."_s);
    EXPECT_EQ(tree.entries(u"src"_s), QStringList{u"a-b.mp3"_s});
}

TEST_F(RenameRun, FailingMoveNamesTheFileAndTheSystemsCause) {
    files(u"src"_s, {u"a.mp3"_s, u"b.mp3"_s});
    fileSystem.failMovesFrom = 1;
    run(u"AddText"_s, u"_x"_s);
    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_EQ(window.messages[0].informativeText,
              u"Datei: b.mp3\nAuf dem Datenträger ist nicht genug Platz."_s);
}

TEST_F(RenameRun, MissingSourceDirectoryNamesTheDirectory) {
    prg.SourceDir = tree.root() + u"missing/"_s;
    run(u"AddText"_s, u"_x"_s);
    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_EQ(window.messages[0].informativeText,
              u"Verzeichnis: "_s + prg.SourceDir +
                  u"\nDie Datei oder ihr Verzeichnis gibt es nicht."_s);
}

TEST_F(RenameRun, InPlaceChainMovesTheLaterFileFirstAndReplacesNothing) {
    files(u"src"_s, {u"01 a"_s, u"02 b"_s, u"03 c"_s});
    prg.TargetDir = prg.SourceDir;
    run(u"CutandNumber"_s, u"2"_s, u"1"_s, true);
    EXPECT_TRUE(window.messages.isEmpty()) << window.messageTexts().join(u'|').toStdString();
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"02 a"_s, u"03 b"_s, u"04 c"_s}));
    EXPECT_EQ(tree.readFile(u"src/02 a"_s), "01 a");
    EXPECT_EQ(tree.readFile(u"src/03 b"_s), "02 b");
    EXPECT_EQ(tree.readFile(u"src/04 c"_s), "03 c");
    EXPECT_EQ(log(), logOf({u"01 a"_s, u"02 b"_s, u"03 c"_s}));
}

TEST_F(RenameRun, InPlaceSwapGoesThroughATemporaryNameAndLeavesNoneBehind) {
    files(u"src"_s, {u"a - b.mp3"_s, u"b - a.mp3"_s, u"c - d.mp3"_s});
    prg.TargetDir = prg.SourceDir;
    run(u"ChangeFilename"_s, u" - "_s);
    EXPECT_TRUE(window.messages.isEmpty()) << window.messageTexts().join(u'|').toStdString();
    EXPECT_EQ(tree.entries(u"src"_s),
              (QStringList{u"a - b.mp3"_s, u"b - a.mp3"_s, u"d - c.mp3"_s}));
    EXPECT_EQ(tree.readFile(u"src/a - b.mp3"_s), "b - a.mp3");
    EXPECT_EQ(tree.readFile(u"src/b - a.mp3"_s), "a - b.mp3");
    prg.undoLastRun();
    EXPECT_EQ(tree.readFile(u"src/a - b.mp3"_s), "a - b.mp3");
    EXPECT_EQ(tree.readFile(u"src/c - d.mp3"_s), "c - d.mp3");
    EXPECT_EQ(log(), logOf({u"c - d.mp3"_s, u"b - a.mp3"_s, u"a - b.mp3"_s}));
}

// A cycle of three names: each file takes the next one's name, the last the
// first's, and the first goes through a temporary name. The second move of
// the cycle fails.
struct FailedCycleRow {
    const char* name;
    int failingMoves; // from the second move of the cycle on; -1: every one
    QStringList namesAfter;
    QString causeStart;
};

class FailedCycle : public RenameRun, public testing::WithParamInterface<FailedCycleRow> {};

TEST_P(FailedCycle, givesTheFirstFileItsNameBackOrNamesItsTemporaryName) {
    const FailedCycleRow& row = GetParam();
    files(u"src"_s, {u"a-b-c.mp3"_s, u"b-c-a.mp3"_s, u"c-a-b.mp3"_s});
    prg.TargetDir = prg.SourceDir;
    fileSystem.failMovesFrom = 2;
    fileSystem.failingMoves = row.failingMoves;

    run(u"ChangeFilename"_s, u"-"_s);

    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_TRUE(window.messages[0].informativeText.startsWith(row.causeStart))
        << window.messages[0].informativeText.toStdString();
    QStringList names = tree.entries(u"src"_s);
    for (QString& name : names)
        name.replace(QRegularExpression(u"tessavo-[0-9a-f]+$"_s), u"tessavo-…"_s);
    EXPECT_EQ(names, row.namesAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FailedCycle,
    testing::Values(
        FailedCycleRow{"secondStepFailsAndTheFirstFileGetsItsNameBack",
                       1,
                       {u"a-b-c.mp3"_s, u"b-c-a.mp3"_s, u"c-a-b.mp3"_s},
                       u"Datei: b-c-a.mp3\nAuf dem Datenträger ist nicht genug Platz."_s},
        FailedCycleRow{"nameCannotBeGivenBackAndTheMessageNamesTheTemporaryName",
                       -1,
                       {u"a-b-c.mp3"_s, u"a-b-c.mp3.tessavo-…"_s, u"b-c-a.mp3"_s},
                       u"Datei: b-c-a.mp3\nAuf dem Datenträger ist nicht genug Platz. Deshalb "
                       u"heißt die Datei, die „a-b-c.mp3“ hieß, noch „a-b-c.mp3.tessavo-"_s}),
    [](const auto& info) { return info.param.name; });

// In place, a file whose new name another file keeps stops the run, and
// preview and run both name the file where the run ends, and why.
struct StaysTakenRow {
    const char* name;
    const char16_t* key;
    QStringList listed;
    const char16_t* search;
    const char16_t* step;
    QString cause;
};

class InPlaceNameStaysTaken : public RenameRun,
                              public testing::WithParamInterface<StaysTakenRow> {};

TEST_P(InPlaceNameStaysTaken, stopsAtTheFirstFileThatWantedItAndNamesTheCause) {
    const StaysTakenRow& row = GetParam();
    files(u"src"_s, row.listed);
    prg.TargetDir = prg.SourceDir;
    window.fields[u"txt_Suchstring"_s] = QString::fromUtf16(row.search);
    window.fields[u"txt_Step"_s] = QString::fromUtf16(row.step);
    ASSERT_TRUE(prg.previewOperation(QString::fromUtf16(row.key)));
    // The files' lines, after the heading's two lines of source and target.
    const QString preview = log().section(u"\r\n"_s, 2);

    run(QString::fromUtf16(row.key), QString::fromUtf16(row.search), QString::fromUtf16(row.step));

    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_EQ(window.messages[0].informativeText, u"Datei: "_s + row.listed[0] + u'\n' + row.cause);
    EXPECT_TRUE(preview.startsWith(row.listed[0] + u"  ->  (Fehler: "_s + row.cause + u")\r\n"_s))
        << preview.toStdString();
    EXPECT_EQ(tree.entries(u"src"_s), row.listed);
    EXPECT_EQ(log(), logOf({row.listed[0]}));
    EXPECT_FALSE(prg.canUndo());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InPlaceNameStaysTaken,
    testing::Values(
        // "2a.mp3" keeps its name, which "1a.mp3" wants.
        StaysTakenRow{"nameKeptByItsFile",
                      u"ChangeString",
                      {u"1a.mp3"_s, u"2a.mp3"_s},
                      u"1",
                      u"2",
                      u"Den neuen Namen hat noch „2a.mp3“, und der Lauf endet schon bei "
                      u"„2a.mp3“: Denselben neuen Namen bekommt schon „1a.mp3“."_s},
        // "b - z.mp3" and "z - b.mp3" swap names, but the run ends at "c.mp3"
        // between them.
        StaysTakenRow{"hiddenCauseInPlace",
                      u"ChangeFilename",
                      {u"b - z.mp3"_s, u"c.mp3"_s, u"z - b.mp3"_s},
                      u" - ",
                      u"",
                      u"Den neuen Namen hat noch „z - b.mp3“, und der Lauf endet schon bei "
                      u"„c.mp3“: Der Suchstring kommt im Namen nicht vor."_s}),
    [](const auto& info) { return info.param.name; });

TEST_F(RenameRun, UndoLeavesAFileWhoseOldPlaceIsTakenAndNamesIt) {
    files(u"src"_s, {u"a.mp3"_s, u"b.mp3"_s});
    run(u"AddText"_s, u"_x"_s);
    tree.writeFile(u"src/a.mp3"_s, "new file of the user");
    prg.undoLastRun();
    EXPECT_EQ(tree.readFile(u"src/a.mp3"_s), "new file of the user");
    EXPECT_EQ(tree.readFile(u"dst/a_x.mp3"_s), "a.mp3");
    EXPECT_EQ(tree.readFile(u"src/b.mp3"_s), "b.mp3");
    EXPECT_EQ(window.messageTexts(),
              QStringList{u"1 Datei konnte nicht zurückbenannt werden:\na_x.mp3 – Den früheren "
                          u"Namen trägt jetzt eine andere Datei."_s});
    EXPECT_EQ(log(), logOf({u"b.mp3"_s}));
    EXPECT_FALSE(prg.canUndo());
}

TEST_F(RenameRun, UndoCoversOnlyTheLastRun) {
    files(u"src"_s, {u"a.mp3"_s});
    run(u"AddText"_s, u"1"_s, {}, false, true);
    run(u"AddText"_s, u"2"_s, {}, false, true);
    prg.undoLastRun();
    EXPECT_EQ(tree.entries(u"src"_s), QStringList{u"a1.mp3"_s});
    EXPECT_TRUE(tree.entries(u"dst"_s).isEmpty());
    // MoveBack's undo brings the file to where the run had put it first,
    // which is no old name of it.
    EXPECT_EQ(log(), logOf({u"a1.mp3"_s}));
}

TEST_F(RenameRun, SecondRunStartsWithAnEmptyLogAndReportsProgress) {
    files(u"src"_s, {u"a.mp3"_s});
    run(u"AddText"_s, u"1"_s, {}, false, true);
    run(u"AddText"_s, u"2"_s, {}, false, true);
    EXPECT_EQ(log(), logOf({u"a1.mp3"_s}));
    EXPECT_EQ(tree.entries(u"src"_s), QStringList{u"a12.mp3"_s});
    EXPECT_GT(window.progressCalls, 0);
}

} // namespace
