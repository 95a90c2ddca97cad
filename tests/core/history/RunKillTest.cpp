#include "core/fs/LocalFileSystem.h"
#include "core/fs/NameCodec.h"
#include "core/fs/WriteSteps.h"
#include "core/history/HistoryActions.h"
#include "core/history/HistorySteps.h"
#include "core/rename/MainPrg.h"
#include "tests/support/ChildRun.h"
#include "tests/support/FileSystemPlaces.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TempTree.h"

#include <QElapsedTimer>
#include <QMap>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// A child process runs a rename, or the undo of one, and is killed at one of
// its steps or at a random moment. The test then starts anew, as the
// program does, answers the question about the interrupted run, and looks
// at the files: "Rückgängig machen" must give back the tree as it was before
// the run, byte for byte; "Behalten" must leave no temporary name and lose
// no file, and the run must still be undoable from the history.

namespace {

using Tree = QMap<QString, QByteArray>; // "src/name" or "dst/name" -> bytes

Tree snapshot(const TempTree& tree) {
    Tree all;
    for (const QString& dir : {u"src"_s, u"dst"_s})
        for (const QString& name : tree.entries(dir))
            all.insert(dir + u'/' + name, tree.readFile(dir + u'/' + name));
    return all;
}

QStringList temporaryNames(const Tree& tree) {
    QStringList found;
    for (const QString& path : tree.keys())
        if (path.contains(u".tessavo-"_s))
            found.append(path);
    return found;
}

QList<QByteArray> contentsOf(const Tree& tree) {
    QList<QByteArray> contents = tree.values();
    std::sort(contents.begin(), contents.end());
    return contents;
}

int stepToKill = 0;
int stepsSeen = 0;

void countStep() {
    if (++stepsSeen == stepToKill)
        ::kill(::getpid(), SIGKILL);
}

void countHistoryStep(HistoryStep) {
    countStep();
}

void countWriteStep(WriteStep) {
    countStep();
}

struct Scenario {
    const char* name;
    Place place;
    QString key;
    QString search;
    QString step;
    bool option;
    bool moveBack;
    bool inPlace;
    QStringList sources;
    QStringList targets; // already in the target before the run
    // Every file of the same size and time: on FAT names alone tell them apart.
    bool alike = false;
    bool killUndo = false; // the run ends, and its undo is killed
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

// The parameters of a run, typed into the window.
void fillIn(RecordingWindow& window, const Scenario& scenario) {
    window.fields[u"txt_Suchstring"_s] = scenario.search;
    window.fields[u"txt_Step"_s] = scenario.step;
    window.ticks[u"chk_Leerz"_s] = scenario.option;
    window.ticks[u"chk_MoveBack"_s] = scenario.moveBack;
}

// Answers the question about an interrupted run, and counts how often it came.
struct Answering {
    explicit Answering(bool putBack) {
        window.answer = [this, putBack](const Message& message) {
            if (message.buttons != MessageButtons::UndoKeep)
                return MessageAnswer::Ok;
            ++questions;
            return putBack ? MessageAnswer::Undo : MessageAnswer::Keep;
        };
    }
    RecordingWindow window;
    int questions = 0;
};

class RunKill : public PlacesSuite, public testing::WithParamInterface<Scenario> {
protected:
    void SetUp() override {
        QString skipReason;
        root_ = placeRoot(GetParam().place, skipReason);
        if (root_.isEmpty())
            GTEST_SKIP() << skipReason.toStdString();
    }

    // A tree with the scenario's files in it.
    std::unique_ptr<TempTree> makeTree() const {
        const Scenario& scenario = GetParam();
        auto tree = std::make_unique<TempTree>(root_);
        tree->makeDir(u"src"_s);
        tree->makeDir(u"dst"_s);
        for (const QString& name : scenario.sources)
            tree->writeFile(u"src/"_s + name, (scenario.alike ? "src:" : "src: ") +
                                                  (scenario.alike ? name.left(4) : name).toUtf8());
        for (const QString& name : scenario.targets)
            tree->writeFile(u"dst/"_s + name, "dst:" + name.toUtf8());
        if (scenario.alike) {
            const struct timespec times[2] = {{1700000000, 0}, {1700000000, 0}};
            for (const QString& dir : {u"src/"_s, u"dst/"_s})
                for (const QString& name : tree->entries(dir))
                    ::utimensat(AT_FDCWD, encodeFileName(tree->root() + dir + name).constData(),
                                times, 0);
        }
        return tree;
    }

    // Runs the scenario in a child that kills itself at its `step`-th step;
    // false when it ran to its end.
    bool killedAt(int step, const TempTree& tree) const {
        const Scenario& scenario = GetParam();
        const pid_t child = ::fork();
        if (child == 0) {
            runInChild([&](MainPrg& prg, RecordingWindow& window) {
                prg.SourceDir = tree.root() + u"src/"_s;
                prg.TargetDir = scenario.inPlace ? prg.SourceDir : tree.root() + u"dst/"_s;
                fillIn(window, scenario);
                stepToKill = step;
                if (scenario.killUndo)
                    prg.runOperation(scenario.key);
                historyStepHook = &countHistoryStep;
                writeStepHook = &countWriteStep;
                if (scenario.killUndo)
                    prg.undoLastRun();
                else
                    prg.runOperation(scenario.key);
                for (const Message& message : window.messages)
                    std::fprintf(stderr, "%s\n", qPrintable(message.text));
            });
        }
        int status = 0;
        EXPECT_EQ(::waitpid(child, &status, 0), child);
        if (WIFSIGNALED(status))
            return true;
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the run failed";
        return false;
    }

    QString root_;
};

TEST_P(RunKill, AtEveryStepTheNextStartPutsBackOrKeepsEveryFile) {
    // The tree after the whole work, which a kill after its last write leaves.
    Tree done;
    {
        const std::unique_ptr<TempTree> tree = makeTree();
        ASSERT_FALSE(killedAt(0, *tree));
        done = snapshot(*tree);
    }
    int steps = 0;
    for (int step = 1; step < 200; ++step) {
        SCOPED_TRACE(testing::Message() << "killed at step " << step);
        bool ranToItsEnd = false;
        for (const bool putBack : {true, false}) {
            SCOPED_TRACE(putBack ? "Rückgängig machen" : "Behalten");
            const std::unique_ptr<TempTree> tree = makeTree();
            const Tree before = snapshot(*tree);
            if (!killedAt(step, *tree)) {
                ranToItsEnd = true;
                break;
            }
            LocalFileSystem fileSystem;
            MainPrg prg(fileSystem);
            Answering answering(putBack);
            prg.recoverInterruptedRuns(answering.window);
            const Tree after = snapshot(*tree);
            EXPECT_LE(answering.questions, 1);
            EXPECT_EQ(temporaryNames(after), QStringList());
            EXPECT_EQ(contentsOf(after), contentsOf(before)) << "a file was lost or doubled";
            if (answering.questions == 0) {
                EXPECT_TRUE(after == before || after == done) << "nothing asked, yet files moved";
            } else if (putBack) {
                EXPECT_EQ(after, before);
            } else {
                // Kept, the run can still be taken back from the history.
                const QList<HistoryRow> rows = prg.historyRows();
                ASSERT_FALSE(rows.isEmpty());
                prg.setWindow(&answering.window);
                prg.undoRun(rows.first().id);
                EXPECT_EQ(snapshot(*tree), before);
            }
            // Nothing is asked twice.
            Answering again(true);
            MainPrg(fileSystem).recoverInterruptedRuns(again.window);
            EXPECT_EQ(again.questions, 0);
        }
        if (ranToItsEnd) {
            steps = step - 1;
            break;
        }
    }
    EXPECT_GT(steps, 3);
    RecordProperty("steps", steps);
}

// clang-format off
const QStringList tracks = {u"a.mp3"_s, u"b.mp3"_s, u"c.mp3"_s};
const QStringList swapped = {u"a - b.mp3"_s, u"b - a.mp3"_s, u"c - d.mp3"_s};
const QStringList numbered = {u"01 a"_s, u"02 b"_s, u"03 c"_s};

INSTANTIATE_TEST_SUITE_P(Runs, RunKill, testing::Values(
    Scenario{"AddNumberWithMoveBackOnDisk", Place::Disk, u"AddNumber"_s, u"1"_s, u"1"_s, true, true, false, tracks, {u"old.mp3"_s}},
    Scenario{"SwapInPlaceOnDisk", Place::Disk, u"ChangeFilename"_s, u" - "_s, {}, false, false, true, swapped, {}},
    Scenario{"ChainInPlaceOnDisk", Place::Disk, u"CutandNumber"_s, u"2"_s, u"1"_s, true, false, true, numbered, {}},
    Scenario{"UndoOfSwapOnDisk", Place::Disk, u"ChangeFilename"_s, u" - "_s, {}, false, false, true, swapped, {}, false, true},
    Scenario{"AddNumberWithMoveBackOnFat", Place::Fat, u"AddNumber"_s, u"1"_s, u"1"_s, true, true, false, tracks, {u"old.mp3"_s}},
    Scenario{"AlikeSwapInPlaceOnFat", Place::Fat, u"ChangeFilename"_s, u" - "_s, {}, false, false, true, swapped, {}, true},
    Scenario{"AlikeChainInPlaceOnFat", Place::Fat, u"CutandNumber"_s, u"2"_s, u"1"_s, true, false, true, numbered, {}, true},
    Scenario{"UndoOfAlikeSwapOnFat", Place::Fat, u"ChangeFilename"_s, u" - "_s, {}, false, false, true, swapped, {}, true, true}),
    [](const testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });
// clang-format on

// A large AddNumber, killed at a random moment.
struct RandomRow {
    const char* name;
    Place place;
    int files;
    int trials;
};

void PrintTo(const RandomRow& row, std::ostream* out) {
    *out << row.name;
}

class RandomKill : public PlacesSuite, public testing::WithParamInterface<RandomRow> {
protected:
    QString name(int number) const { return u"Track %1.mp3"_s.arg(number, 5, 10, QChar(u'0')); }
    QString renamed(int number) const {
        return u"%1 "_s.arg(number, 2, 10, QChar(u'0')) + name(number);
    }

    // The source full of files, each holding its own name.
    void fill(const TempTree& tree) const {
        tree.makeDir(u"src"_s);
        tree.makeDir(u"dst"_s);
        const int directory = ::open(encodeFileName(tree.root() + u"src"_s).constData(),
                                     O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(directory, 0);
        for (int number = 1; number <= GetParam().files; ++number) {
            const QByteArray file = name(number).toUtf8();
            const int fd = ::openat(directory, file.constData(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(::write(fd, file.constData(), size_t(file.size())), file.size());
            ::close(fd);
        }
        ::close(directory);
    }

    // Whether every file is back under its name, with its bytes, and nothing else is there.
    void expectOriginal(const TempTree& tree) const {
        QStringList names;
        for (int number = 1; number <= GetParam().files; ++number)
            names.append(name(number));
        ASSERT_EQ(tree.entries(u"src"_s), names);
        EXPECT_EQ(tree.entries(u"dst"_s), QStringList());
        for (const QString& file : names)
            ASSERT_EQ(tree.readFile(u"src/"_s + file), file.toUtf8());
    }

    // Whether every file is once under its old or its new name, with its bytes.
    void expectEachOnce(const TempTree& tree) const {
        qsizetype found = 0;
        for (const QString& dir : {u"src"_s, u"dst"_s}) {
            for (const QString& file : tree.entries(dir)) {
                ASSERT_FALSE(file.contains(u".tessavo-"_s)) << file.toStdString();
                const QByteArray bytes = tree.readFile(dir + u'/' + file);
                const int number = QString::fromUtf8(bytes).mid(6, 5).toInt();
                ASSERT_TRUE(bytes == name(number).toUtf8() &&
                            (file == name(number) || file == renamed(number)))
                    << file.toStdString();
                ++found;
            }
        }
        EXPECT_EQ(found, GetParam().files);
    }

    // Starts the run in a child; returns its pid once the run begins.
    pid_t startRun(const TempTree& tree) const {
        int ready[2];
        EXPECT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            runInChild([&](MainPrg& prg, RecordingWindow& window) {
                prg.SourceDir = tree.root() + u"src/"_s;
                prg.TargetDir = tree.root() + u"dst/"_s;
                window.fields[u"txt_Suchstring"_s] = u"1"_s;
                window.fields[u"txt_Step"_s] = u"1"_s;
                window.ticks[u"chk_Leerz"_s] = true;
                window.ticks[u"chk_MoveBack"_s] = false;
                (void)::write(ready[1], "r", 1);
                prg.runOperation(u"AddNumber"_s);
            });
        }
        char signal = 0;
        EXPECT_EQ(::read(ready[0], &signal, 1), 1);
        ::close(ready[0]);
        ::close(ready[1]);
        return child;
    }
};

TEST_P(RandomKill, AtRandomMomentsTheNextStartPutsBackOrKeepsEveryFile) {
    const RandomRow& row = GetParam();
    QString skipReason;
    const QString root = placeRoot(row.place, skipReason);
    if (root.isEmpty())
        GTEST_SKIP() << skipReason.toStdString();
    // Every trial ends with the tree as it was, so that it serves the next.
    TempTree tree(root);
    fill(tree);
    LocalFileSystem fileSystem;

    // How long a whole run takes here, to kill the others within it.
    qint64 wholeRunUs = 0;
    {
        QElapsedTimer clock;
        const pid_t child = startRun(tree);
        clock.start();
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        wholeRunUs = clock.nsecsElapsed() / 1000;
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        MainPrg prg(fileSystem);
        RecordingWindow window;
        prg.setWindow(&window);
        prg.undoRun(prg.historyRows().first().id);
        expectOriginal(tree);
    }

    std::mt19937 random(20);
    std::uniform_int_distribution<qint64> moment(0, wholeRunUs);
    int asked = 0;
    int beforeFirstMove = 0;
    int afterTheEnd = 0;
    // Under load the start of a run takes longer and fewer kills fall within
    // its moves: then it takes more trials, up to four times as many.
    int trial = 0;
    for (; trial < row.trials || (asked < row.trials / 2 && trial < 4 * row.trials); ++trial) {
        SCOPED_TRACE(testing::Message() << "trial " << trial);
        const bool putBack = trial % 2 == 0;
        const pid_t child = startRun(tree);
        ::usleep(useconds_t(moment(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);

        MainPrg prg(fileSystem);
        Answering answering(putBack);
        prg.setWindow(&answering.window);
        prg.recoverInterruptedRuns(answering.window);
        if (answering.questions == 0) {
            // Killed before its first move, or after its end.
            if (tree.entries(u"dst"_s).isEmpty()) {
                ++beforeFirstMove;
            } else {
                ++afterTheEnd;
                prg.undoRun(prg.historyRows().first().id);
            }
        } else {
            ++asked;
            if (!putBack) {
                expectEachOnce(tree);
                prg.undoRun(prg.historyRows().first().id);
            }
        }
        // A kill while a directory's rules were probed may leave the probe,
        // which the next probe of that directory removes.
        for (const QString& dir : {u"src/"_s, u"dst/"_s})
            (void)LocalFileSystem().targetRules(tree.root() + dir);
        expectOriginal(tree);
        if (testing::Test::HasFatalFailure())
            return;
    }
    EXPECT_GE(asked, row.trials / 2) << "too few kills fell within the moves in " << trial;
    RecordProperty("trials", trial);
    RecordProperty("interrupted", asked);
    RecordProperty("before_first_move", beforeFirstMove);
    RecordProperty("after_the_end", afterTheEnd);
}

INSTANTIATE_TEST_SUITE_P(Runs, RandomKill,
                         testing::Values(RandomRow{"OnDisk", Place::Disk, 20000, 30},
                                         RandomRow{"OnFat", Place::Fat, 30, 30}),
                         [](const testing::TestParamInfo<RandomRow>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
