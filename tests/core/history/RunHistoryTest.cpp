#include "core/fs/LocalFileSystem.h"
#include "core/fs/NameCodec.h"
#include "core/history/HistoryActions.h"
#include "core/history/HistorySteps.h"
#include "core/history/HistoryText.h"
#include "core/rename/MainPrg.h"
#include "tests/support/ChildRun.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/StateHome.h"
#include "tests/support/TempTree.h"
#include "tests/support/TmpfsDir.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <optional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The history on the disk: undo after a restart and of older runs, each file
// checked, journals that cannot be trusted, a state directory that cannot
// be written, and two processes at once.

namespace {

class History : public testing::Test {
protected:
    History() { prg.emplace(fileSystem); }

    // A new start of the program: the state in memory is gone.
    MainPrg& restart() {
        prg.emplace(fileSystem);
        prg->setWindow(&window);
        return *prg;
    }

    void files(const QString& dir, const QStringList& names) {
        tree.dir(dir);
        for (const QString& name : names)
            tree.writeFile(dir + u'/' + name, name.toUtf8());
    }

    // AddText from `from` into `to` (relative to the tree).
    void addText(const QString& text, const QString& from = u"src"_s,
                 const QString& to = u"dst"_s) {
        MainPrg& program = *prg;
        program.setWindow(&window);
        program.SourceDir = tree.dir(from);
        program.TargetDir = tree.dir(to);
        window.fields[u"txt_Suchstring"_s] = text;
        window.ticks[u"chk_MoveBack"_s] = false;
        ASSERT_TRUE(program.runOperation(u"AddText"_s));
    }

    QList<HistoryRow> rows() const { return prg->historyRows(); }
    QString state(qsizetype row) const { return rows().value(row).cells.value(5); }

    TemporaryStateHome stateHome;
    TempTree tree;
    LocalFileSystem fileSystem;
    RecordingWindow window;
    std::optional<MainPrg> prg;
};

TEST_F(History, RunIsUndoneAfterARestartFromTheList) {
    files(u"src"_s, {u"a.mp3"_s, u"b.mp3"_s});
    addText(u"_x"_s);
    MainPrg& restarted = restart();
    EXPECT_FALSE(restarted.canUndo()) << "Rückgängig serves only this start's run";
    const QList<HistoryRow> listed = rows();
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(listed[0].cells.mid(1), (QStringList{u"AddText"_s, tree.root() + u"src/"_s,
                                                   tree.root() + u"dst/"_s, u"2"_s, u"beendet"_s}));
    EXPECT_TRUE(listed[0].undoable);

    restarted.undoRun(listed[0].id);
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"a.mp3"_s, u"b.mp3"_s}));
    EXPECT_EQ(tree.entries(u"dst"_s), QStringList());
    EXPECT_EQ(state(0), u"rückgängig gemacht"_s);
    EXPECT_FALSE(rows()[0].undoable);
    EXPECT_EQ(window.fields.value(u"txt_Filename"_s), u"b.mp3\r\na.mp3\r\n"_s);
}

TEST_F(History, OlderRunIsUndoneAndTheNewerStays) {
    files(u"one"_s, {u"a.mp3"_s});
    files(u"two"_s, {u"b.mp3"_s});
    addText(u"_1"_s, u"one"_s, u"one-out"_s);
    addText(u"_2"_s, u"two"_s, u"two-out"_s);
    ASSERT_EQ(rows().size(), 2);

    restart().undoRun(rows()[1].id);
    EXPECT_TRUE(window.messages.isEmpty()) << window.messageTexts().join(u'|').toStdString();
    EXPECT_EQ(tree.entries(u"one"_s), QStringList{u"a.mp3"_s});
    EXPECT_EQ(tree.entries(u"two-out"_s), QStringList{u"b_2.mp3"_s});
    EXPECT_EQ(state(0), u"beendet"_s);
    EXPECT_EQ(state(1), u"rückgängig gemacht"_s);
}

TEST_F(History, OlderRunWhoseFilesANewerRunMovedIsRefusedUntilThatIsUndone) {
    files(u"src"_s, {u"a.mp3"_s, u"b.mp3"_s});
    addText(u"_1"_s, u"src"_s, u"dst"_s);
    addText(u"_2"_s, u"dst"_s, u"dst"_s);
    const QString older = rows()[1].id;
    const QString newer = rows()[0].id;

    restart().undoRun(older);
    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_TRUE(window.messages[0].text.startsWith(
        u"Dieser Lauf kann nicht rückgängig gemacht werden: Der spätere Lauf vom"_s));
    EXPECT_EQ(tree.entries(u"dst"_s), (QStringList{u"a_1_2.mp3"_s, u"b_1_2.mp3"_s}));

    prg->undoRun(newer);
    prg->undoRun(older);
    EXPECT_EQ(window.messages.size(), 1);
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"a.mp3"_s, u"b.mp3"_s}));
}

struct ReplacementRow {
    const char* name;
    std::function<void(const TempTree&, const QString&)> replace;
    bool inPlace = false;
    bool gone = false;
};

void PrintTo(const ReplacementRow& row, std::ostream* out) {
    *out << row.name;
}

class Replaced : public History, public testing::WithParamInterface<ReplacementRow> {};

// In place the files that stay are checked before any moves; elsewhere each
// is checked on another thread while the others move.
TEST_P(Replaced, FileStaysWhereItIsAndIsNamedTheOthersGoBack) {
    const ReplacementRow& row = GetParam();
    const QString target = row.inPlace ? u"src"_s : u"dst"_s;
    files(u"src"_s, {u"a.mp3"_s, u"b.mp3"_s});
    addText(u"_x"_s, u"src"_s, target);
    row.replace(tree, target + u"/a_x.mp3"_s);

    restart().undoRun(rows()[0].id);
    EXPECT_EQ(window.messageTexts(),
              QStringList{u"1 Datei konnte nicht zurückbenannt werden:\na_x.mp3 – "_s +
                          (row.gone ? goneReason() : replacedReason())});
    if (!row.gone) {
        EXPECT_EQ(tree.readFile(target + u"/a_x.mp3"_s), "another file");
    }
    EXPECT_EQ(tree.entries(u"src"_s), row.inPlace && !row.gone
                                          ? (QStringList{u"a_x.mp3"_s, u"b.mp3"_s})
                                          : QStringList{u"b.mp3"_s});
    EXPECT_EQ(state(0), u"teilweise rückgängig gemacht"_s);
}

void saveOver(const TempTree& tree, const QString& path) {
    tree.writeFile(path + u".new"_s, "another file");
    ASSERT_TRUE(QFile::rename(tree.root() + path + u".new"_s, tree.root() + path) ||
                (QFile::remove(tree.root() + path) &&
                 QFile::rename(tree.root() + path + u".new"_s, tree.root() + path)));
}

void deleteFile(const TempTree& tree, const QString& path) {
    ASSERT_TRUE(QFile::remove(tree.root() + path));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Ways, Replaced, testing::Values(
    ReplacementRow{"SavedOverByAnEditor", saveOver},
    ReplacementRow{"SavedOverByAnEditorInPlace", saveOver, true},
    ReplacementRow{"Deleted", deleteFile, false, true},
    ReplacementRow{"DeletedInPlace", deleteFile, true, true},
    // ext4 hands the freed inode number to the next file; its birth, a clock
    // tick or more after the run's listing, tells it apart.
    ReplacementRow{"DeletedAndMadeAgain", [](const TempTree& tree, const QString& path) {
        deleteFile(tree, path);
        QThread::msleep(20);
        tree.writeFile(path, "another file");
    }}),
    [](const testing::TestParamInfo<ReplacementRow>& info) { return std::string(info.param.name); });
// clang-format on

// The thread that checks the files ahead of the moves waits when it is far
// ahead of them; files that stay, one after the other, must let it go on
// as moves do.
TEST_F(History, UndoPassesOverMoreGoneFilesInARowThanAreCheckedAhead) {
    constexpr int count = 20000;
    constexpr int back = 2000;
    QStringList names;
    for (int file = 0; file < count; ++file)
        names.append(u"f%1.mp3"_s.arg(file, 5, 10, QChar(u'0')));
    files(u"src"_s, names);
    addText(u"_x"_s);
    // Undo meets the files last moved first.
    for (int file = back; file < count; ++file)
        ASSERT_TRUE(QFile::remove(tree.root() + u"dst/f%1_x.mp3"_s.arg(file, 5, 10, QChar(u'0'))));

    restart().undoRun(rows()[0].id);
    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_TRUE(window.messages[0].text.startsWith(
        u"%1 Dateien konnten nicht zurückbenannt werden:"_s.arg(count - back)));
    EXPECT_EQ(tree.entries(u"src"_s), names.mid(0, back));
    EXPECT_EQ(tree.entries(u"dst"_s), QStringList());
}

void killAtFirstMove(HistoryStep step) {
    if (step == HistoryStep::FileMoved)
        ::kill(::getpid(), SIGKILL);
}

// The undo announces the replaced file with the others, passes over it and
// is killed at the move after it: the next start puts back what is still
// away, whichever the answer, and the replaced file stays as it is.
TEST_F(History, UndoKilledAfterPassingOverAReplacedFileEndsAtTheNextStart) {
    for (const MessageAnswer answer : {MessageAnswer::Undo, MessageAnswer::Keep}) {
        const QString kind = answer == MessageAnswer::Undo ? u"undo"_s : u"keep"_s;
        SCOPED_TRACE(kind.toStdString());
        const QString source = u"src-"_s + kind;
        const QString target = u"dst-"_s + kind;
        files(source, {u"a.mp3"_s, u"b.mp3"_s});
        addText(u"_x"_s, source, target);
        saveOver(tree, target + u"/b_x.mp3"_s);
        // Ended, so that its threads are joined before the fork.
        prg.reset();
        const pid_t child = ::fork();
        if (child == 0) {
            runInChild([](MainPrg& program, RecordingWindow&) {
                historyStepHook = &killAtFirstMove;
                program.undoRun(program.historyRows().first().id);
            });
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the undo ran to its end";

        int questions = 0;
        window.answer = [&](const Message& message) {
            questions += message.buttons == MessageButtons::UndoKeep;
            return message.buttons == MessageButtons::UndoKeep ? answer : MessageAnswer::Ok;
        };
        restart().recoverInterruptedRuns(window);
        if (answer == MessageAnswer::Keep)
            prg->undoRun(rows()[0].id);
        EXPECT_EQ(questions, 1);
        EXPECT_EQ(tree.entries(source), QStringList{u"a.mp3"_s});
        EXPECT_EQ(tree.entries(target), QStringList{u"b_x.mp3"_s});
        EXPECT_EQ(tree.readFile(target + u"/b_x.mp3"_s), "another file");
        EXPECT_EQ(window.messageTexts().value(window.messages.size() - 1),
                  u"1 Datei konnte nicht zurückbenannt werden:\nb_x.mp3 – "_s + replacedReason());
        restart().recoverInterruptedRuns(window);
        EXPECT_EQ(questions, 1) << "asked twice";
    }
}

TEST_F(History, FailedStartKeepsThePreviousRunUndoable) {
    files(u"src"_s, {u"a.mp3"_s, u"b.mp3"_s});
    addText(u"_x"_s);
    tree.makeDir(u"out"_s);
    const QList<HistoryRow> before = rows();
    // A start that fails before its first move: a number out of range, and
    // a first new name that is taken.
    window.fields[u"txt_Step"_s] = u"1"_s;
    prg->SourceDir = tree.dir(u"dst"_s);
    window.fields[u"txt_Suchstring"_s] = u"99999"_s;
    ASSERT_TRUE(prg->runOperation(u"AddNumber"_s));
    tree.writeFile(u"out/a_x_y.mp3"_s, "taken");
    addText(u"_y"_s, u"dst"_s, u"out"_s);
    EXPECT_EQ(window.messageTexts(),
              (QStringList{u"Fehler im Modul AddNumber"_s, u"Fehler im Modul AddText"_s}));
    EXPECT_TRUE(prg->canUndo());
    EXPECT_EQ(rows().size(), before.size());

    prg->undoLastRun();
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"a.mp3"_s, u"b.mp3"_s}));
}

struct DamageRow {
    const char* name;
    std::function<void(QByteArray&)> damage;
    // A journal cut within its records reads as a run a kill ended: the
    // files are found on the disk, and kept, the run stays undoable.
    bool readsAsInterrupted;
};

void PrintTo(const DamageRow& row, std::ostream* out) {
    *out << row.name;
}

class DamagedJournal : public History, public testing::WithParamInterface<DamageRow> {};

TEST_P(DamagedJournal, IsReportedNothingMovesAndTheProgramGoesOn) {
    files(u"src"_s, {u"a.mp3"_s, u"b.mp3"_s});
    addText(u"_x"_s);
    const QString id = rows()[0].id;
    QFile journal(stateHome.historyDirectory() + id + u".journal"_s);
    ASSERT_TRUE(journal.open(QIODevice::ReadWrite));
    QByteArray bytes = journal.readAll();
    GetParam().damage(bytes);
    ASSERT_TRUE(journal.resize(0) && journal.seek(0) && journal.write(bytes) == bytes.size());
    journal.close();

    window.answer = [](const Message& message) {
        return message.buttons == MessageButtons::UndoKeep ? MessageAnswer::Keep
                                                           : MessageAnswer::Ok;
    };
    restart().recoverInterruptedRuns(window);
    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_EQ(tree.entries(u"dst"_s), (QStringList{u"a_x.mp3"_s, u"b_x.mp3"_s}));
    if (GetParam().readsAsInterrupted) {
        EXPECT_EQ(window.messages[0].buttons, MessageButtons::UndoKeep);
        prg->undoRun(id);
        EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"a.mp3"_s, u"b.mp3"_s}));
        addText(u"_x"_s);
    } else {
        EXPECT_TRUE(window.messages[0].text.startsWith(u"Ein Eintrag im Verlauf"_s))
            << window.messages[0].text.toStdString();
        EXPECT_TRUE(QFile::exists(journal.fileName() + u".unused"_s));
        prg->undoRun(id);
        EXPECT_EQ(tree.entries(u"dst"_s), (QStringList{u"a_x.mp3"_s, u"b_x.mp3"_s}));
    }

    // The next run and its undo work as ever.
    addText(u"_y"_s, u"dst"_s, u"dst"_s);
    prg->undoLastRun();
    EXPECT_EQ(tree.entries(u"dst"_s), (QStringList{u"a_x.mp3"_s, u"b_x.mp3"_s}));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Ways, DamagedJournal, testing::Values(
    DamageRow{"CutInItsFirstLine", [](QByteArray& bytes) { bytes.truncate(7); }, false},
    DamageRow{"CutWithinItsRecords", [](QByteArray& bytes) { bytes.chop(9); }, true},
    DamageRow{"BytesFlippedInItsFirstRecord", [](QByteArray& bytes) { bytes[30] = char(~bytes[30]); }, false},
    DamageRow{"OfAnotherVersion", [](QByteArray& bytes) { bytes[16] = char(9); }, false}),
    [](const testing::TestParamInfo<DamageRow>& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(History, JournalWithBytesFlippedAmongItsMovesIsNeverFollowed) {
    files(u"src"_s, {u"a.mp3"_s, u"b.mp3"_s});
    addText(u"_x"_s);
    const QString id = rows()[0].id;
    QFile journal(stateHome.historyDirectory() + id + u".journal"_s);
    ASSERT_TRUE(journal.open(QIODevice::ReadWrite));
    QByteArray bytes = journal.readAll();
    // Inside the announced moves: the name "a.mp3" as it was recorded.
    const qsizetype at = bytes.indexOf(QByteArrayView(reinterpret_cast<const char*>(u"a.mp3"), 10));
    ASSERT_GT(at, 0);
    bytes[at] = 'c';
    ASSERT_TRUE(journal.seek(0) && journal.write(bytes) == bytes.size());
    journal.close();

    EXPECT_EQ(restart().historyRows()[0].cells[5], u"unlesbar"_s);
    prg->undoRun(id);
    EXPECT_EQ(window.messageTexts(), QStringList{damagedJournalText(journal.fileName())});
    EXPECT_EQ(tree.entries(u"dst"_s), (QStringList{u"a_x.mp3"_s, u"b_x.mp3"_s}));
    EXPECT_EQ(tree.entries(u"src"_s), QStringList());
}

// A state directory on a tmpfs of its own that cannot take the journal.
struct StateDirectoryRow {
    const char* name;
    std::function<void(const TmpfsDir&)> spoil;
    QString cause;
};

void PrintTo(const StateDirectoryRow& row, std::ostream* out) {
    *out << row.name;
}

class UnwritableHistory : public testing::TestWithParam<StateDirectoryRow> {};

TEST_P(UnwritableHistory, RunDoesNotStartSaysWhyAndMovesNothing) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "a tmpfs of its own needs root";
    TmpfsDir state(64 * 1024);
    ASSERT_TRUE(state.hasOwnMount());
    GetParam().spoil(state);
    const QByteArray previous = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.root()));
    TempTree tree;
    tree.dir(u"src"_s);
    tree.writeFile(u"src/a.mp3"_s, "a");
    LocalFileSystem fileSystem;
    RecordingWindow window;
    MainPrg prg(fileSystem);
    prg.setWindow(&window);
    prg.SourceDir = tree.dir(u"src"_s);
    prg.TargetDir = tree.dir(u"dst"_s);
    window.fields[u"txt_Suchstring"_s] = u"_x"_s;
    ASSERT_TRUE(prg.runOperation(u"AddText"_s));
    qputenv("XDG_STATE_HOME", previous);

    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_EQ(window.messages[0].text, u"Fehler im Modul AddText"_s);
    EXPECT_TRUE(window.messages[0].informativeText.startsWith(
        u"Der Lauf wurde nicht begonnen: Sein Verlauf kann nicht geschrieben werden"_s));
    EXPECT_TRUE(window.messages[0].informativeText.endsWith(GetParam().cause))
        << window.messages[0].informativeText.toStdString();
    EXPECT_EQ(tree.entries(u"src"_s), QStringList{u"a.mp3"_s});
    EXPECT_EQ(tree.entries(u"dst"_s), QStringList());
    EXPECT_FALSE(prg.canUndo());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Ways, UnwritableHistory, testing::Values(
    StateDirectoryRow{"ReadOnly", [](const TmpfsDir& state) {
        ASSERT_EQ(::mount(nullptr, QFile::encodeName(state.root()).constData(), nullptr,
                          MS_REMOUNT | MS_RDONLY, nullptr), 0);
    }, u"Der Datenträger ist schreibgeschützt."_s},
    StateDirectoryRow{"Full", [](const TmpfsDir& state) {
        QFile filler(state.root() + u"filler"_s);
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) == 4096) {}
    }, u"Auf dem Datenträger ist nicht genug Platz."_s}),
    [](const testing::TestParamInfo<StateDirectoryRow>& info) { return std::string(info.param.name); });
// clang-format on

// Fills the file system of the history at its first write.
QString stateToFill;

void fillAtFirstWrite(HistoryStep step) {
    if (step != HistoryStep::JournalWritten || stateToFill.isEmpty())
        return;
    QFile filler(stateToFill + u"filler"_s);
    if (filler.open(QIODevice::WriteOnly))
        while (filler.write(QByteArray(4096, 'x')) == 4096) {
        }
    stateToFill.clear();
}

TEST(FullHistory, DuringTheRunStopsItBeforeTheMovesNotYetAnnounced) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "a tmpfs of its own needs root";
    TmpfsDir state(256 * 1024);
    ASSERT_TRUE(state.hasOwnMount());
    const QByteArray previous = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.root()));
    TempTree tree;
    tree.dir(u"src"_s);
    for (int file = 0; file < 1500; ++file)
        tree.writeFile(u"src/%1.mp3"_s.arg(file, 4, 10, QChar(u'0')));
    LocalFileSystem fileSystem;
    RecordingWindow window;
    MainPrg prg(fileSystem);
    prg.setWindow(&window);
    prg.SourceDir = tree.dir(u"src"_s);
    prg.TargetDir = tree.dir(u"dst"_s);
    window.fields[u"txt_Suchstring"_s] = u"_x"_s;
    stateToFill = state.root();
    historyStepHook = &fillAtFirstWrite;
    ASSERT_TRUE(prg.runOperation(u"AddText"_s));
    historyStepHook = nullptr;

    // The first batch of 1,024 moves was announced and made; no more.
    EXPECT_EQ(tree.entries(u"dst"_s).size(), 1024);
    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_EQ(window.messages[0].informativeText,
              u"Datei: 1024.mp3\nDer Verlauf des Laufs kann nicht geschrieben werden, darum "_s
              u"wurde diese Datei nicht umbenannt.\nVerlauf: "_s +
                  state.root() + u"tessavo/"_s + prg.historyRows().value(0).id +
                  u".journal\nAuf dem Datenträger ist nicht genug Platz."_s);
    ASSERT_TRUE(prg.canUndo());
    ASSERT_TRUE(QFile::remove(state.root() + u"filler"_s));
    prg.undoLastRun();
    EXPECT_EQ(tree.entries(u"src"_s).size(), 1500);
    qputenv("XDG_STATE_HOME", previous);
}

TEST(TwoProcesses, EachKeepsItsOwnRunsIntact) {
    TemporaryStateHome stateHome;
    constexpr int runs = 12;
    const QStringList suffixes = {u"_y"_s, u"_x"_s};
    TempTree trees[2];
    const auto names = [](int process) {
        QStringList list;
        for (int file = 0; file < 300; ++file)
            list.append(u"p%1 file %2.mp3"_s.arg(process).arg(file));
        return list;
    };
    pid_t children[2];
    for (int process = 0; process < 2; ++process) {
        trees[process].dir(u"src"_s);
        for (const QString& name : names(process))
            trees[process].writeFile(u"src/"_s + name, name.toUtf8());
        children[process] = ::fork();
        if (children[process] == 0) {
            // Run after run, so that both write, list and drop old runs at once.
            runInChild([&](MainPrg& prg, RecordingWindow& window) {
                window.ticks[u"chk_MoveBack"_s] = true;
                prg.SourceDir = trees[process].dir(u"src"_s);
                prg.TargetDir = trees[process].dir(u"dst"_s);
                for (int run = 0; run < runs; ++run) {
                    window.fields[u"txt_Suchstring"_s] = suffixes[run % 2];
                    prg.runOperation(u"AddText"_s);
                    (void)prg.historyRows();
                }
            });
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    LocalFileSystem fileSystem;
    RecordingWindow window;
    MainPrg prg(fileSystem);
    prg.setWindow(&window);
    const QList<HistoryRow> rows = prg.historyRows();
    ASSERT_EQ(rows.size(), 20);
    for (const HistoryRow& row : rows) {
        EXPECT_EQ(row.cells[5], u"beendet"_s);
        prg.undoRun(row.id);
    }
    EXPECT_EQ(window.messageTexts(), QStringList());
    // The runs dropped were each process's oldest: its files carry the
    // texts of those runs, and no more.
    const auto withTexts = [&](const QString& name, int count) {
        QString added;
        for (int run = 0; run < count; ++run)
            added += suffixes[run % 2];
        return name.chopped(4) + added + name.right(4);
    };
    int dropped = 0;
    for (int process = 0; process < 2; ++process) {
        const QStringList found = trees[process].entries(u"src"_s);
        int kept = 0;
        while (kept < runs && !found.contains(withTexts(names(process).first(), kept)))
            ++kept;
        for (const QString& name : names(process))
            EXPECT_EQ(trees[process].readFile(u"src/"_s + withTexts(name, kept)), name.toUtf8());
        EXPECT_EQ(found.size(), names(process).size());
        dropped += kept;
    }
    EXPECT_EQ(dropped, 2 * runs - 20);
}

} // namespace
