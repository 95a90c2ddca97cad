#include "core/fs/LocalFileJoiner.h"
#include "core/fs/LocalFileSystem.h"
#include "core/fs/WriteSteps.h"
#include "tests/support/FileSystemPlaces.h"
#include "tests/support/TempTree.h"

#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

using namespace Qt::StringLiterals;

// A child process stops itself with SIGKILL at one point of a move or a join;
// the test then looks at what that crash left, and at what one more run in
// the directory leaves.

namespace {

const QList<WriteStep> allSteps = {WriteStep::TemporaryCreated, WriteStep::BytesCopied,
                                   WriteStep::BytesFlushed,     WriteStep::NameReserved,
                                   WriteStep::Linked,           WriteStep::Named,
                                   WriteStep::NameFlushed,      WriteStep::SourceRemoved};

const char* nameOf(WriteStep step) {
    switch (step) {
    case WriteStep::TemporaryCreated:
        return "TemporaryCreated";
    case WriteStep::BytesCopied:
        return "BytesCopied";
    case WriteStep::BytesFlushed:
        return "BytesFlushed";
    case WriteStep::NameReserved:
        return "NameReserved";
    case WriteStep::Linked:
        return "Linked";
    case WriteStep::Named:
        return "Named";
    case WriteStep::NameFlushed:
        return "NameFlushed";
    case WriteStep::SourceRemoved:
        return "SourceRemoved";
    }
    return "?";
}

WriteStep stepToKillAt;

void killAtChosenStep(WriteStep step) {
    if (step == stepToKillAt)
        ::kill(::getpid(), SIGKILL);
}

// Bytes that differ at every offset a truncated or shifted copy could end on.
QByteArray patterned(qsizetype size, int seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + seed * 17 + i / 4099) % 251);
    return bytes;
}

bool isTessavoTemporary(const QString& name) {
    return name.startsWith(u".tessavo-"_s);
}

// Killed between reserving a name and renaming onto it, the move leaves an
// empty file under the new name. It is removed here as a recovery from the
// run's journal removes it.
void leavesEmptyReservation(const TempTree& tree, const QString& name) {
    ASSERT_TRUE(tree.exists(name));
    EXPECT_EQ(tree.readFile(name), QByteArray());
    ASSERT_TRUE(QFile::remove(tree.root() + name));
}

struct KillRow {
    const char* name;
    Place source;
    Place target;
    bool join;
    QList<WriteStep> reached; // the points this path passes, in order
};

void PrintTo(const KillRow& row, std::ostream* out) {
    *out << row.name;
}

// Runs `operation` in a child that kills itself at `step`; true when it was
// killed, false when it ran to its end (and then it must have succeeded).
bool killedAt(WriteStep step, const std::function<bool()>& operation) {
    const pid_t child = ::fork();
    if (child == 0) {
        stepToKillAt = step;
        writeStepHook = &killAtChosenStep;
        ::_exit(operation() ? 0 : 1);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    if (WIFSIGNALED(status)) {
        EXPECT_EQ(WTERMSIG(status), SIGKILL);
        return true;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the uninterrupted run failed";
    return false;
}

class WriteKill : public PlacesSuite, public testing::WithParamInterface<KillRow> {
protected:
    void killMoveAt(WriteStep step, const QString& sourceRoot, const QString& targetRoot);
    void killJoinAt(WriteStep step, const QString& sourceRoot, const QString& targetRoot);
};

void WriteKill::killMoveAt(WriteStep step, const QString& sourceRoot, const QString& targetRoot) {
    TempTree from(sourceRoot);
    TempTree to(targetRoot);
    const QByteArray content = patterned(3 * 1024 * 1024 + 5, int(step));
    from.writeFile(u"song.mp3"_s, content);
    const QString source = from.root() + u"song.mp3"_s;
    const QString target = to.root() + u"01 song.mp3"_s;

    const bool killed =
        killedAt(step, [&] { return bool(LocalFileSystem().moveFile(source, target)); });
    EXPECT_EQ(killed, GetParam().reached.contains(step));

    const bool copyDurable =
        !killed || step == WriteStep::NameFlushed || step == WriteStep::SourceRemoved;
    if (killed && step == WriteStep::NameReserved)
        leavesEmptyReservation(to, u"01 song.mp3"_s);
    const bool targetThere = to.exists(u"01 song.mp3"_s);
    if (targetThere) {
        EXPECT_EQ(to.readFile(u"01 song.mp3"_s), content) << "a final name with other bytes";
    }
    if (!copyDurable) {
        ASSERT_TRUE(from.exists(u"song.mp3"_s)) << "the source went before its copy was durable";
        EXPECT_EQ(from.readFile(u"song.mp3"_s), content);
    }
    if (!from.exists(u"song.mp3"_s)) {
        EXPECT_TRUE(targetThere) << "neither the source nor its copy is left";
    }
    RecordProperty(nameOf(step),
                   (killed ? u"killed: target %1, source %2, %3 temporaries"_s
                           : u"not reached: target %1, source %2, %3 temporaries"_s)
                       .arg(targetThere ? u"complete"_s : u"absent"_s,
                            from.exists(u"song.mp3"_s) ? u"intact"_s : u"gone"_s,
                            QString::number(to.entries().filter(u".tessavo-"_s).size()))
                       .toStdString());

    // One more run: it finishes the move, or finds the finished copy there.
    if (from.exists(u"song.mp3"_s)) {
        const FsStatus again = LocalFileSystem().moveFile(source, target);
        if (targetThere) {
            ASSERT_FALSE(again.isOk());
            EXPECT_EQ(again.error().code, FsErrorCode::AlreadyExists);
        } else {
            EXPECT_TRUE(again.isOk());
        }
    }
    EXPECT_EQ(to.readFile(u"01 song.mp3"_s), content);
    for (const QString& name : to.entries())
        EXPECT_FALSE(isTessavoTemporary(name)) << "left behind: " << name.toStdString();
}

void WriteKill::killJoinAt(WriteStep step, const QString& sourceRoot, const QString& targetRoot) {
    TempTree in(sourceRoot);
    TempTree out(targetRoot);
    const QByteArray first = patterned(2 * 1024 * 1024 + 3, 1);
    const QByteArray second = patterned(1024 * 1024 + 7, 2);
    in.writeFile(u"a.mp3"_s, first);
    in.writeFile(u"b.mp3"_s, second);
    const QStringList inputs = {in.root() + u"a.mp3"_s, in.root() + u"b.mp3"_s};

    const bool killed = killedAt(
        step, [&] { return bool(LocalFileJoiner().joinFiles(inputs, out.root() + u"a_b.mp3"_s)); });
    EXPECT_EQ(killed, GetParam().reached.contains(step));

    if (killed && step == WriteStep::NameReserved)
        leavesEmptyReservation(out, u"a_b.mp3"_s);
    const bool outputThere = out.exists(u"a_b.mp3"_s);
    if (outputThere) {
        EXPECT_EQ(out.readFile(u"a_b.mp3"_s), first + second) << "a final name with other bytes";
    }
    EXPECT_EQ(in.readFile(u"a.mp3"_s), first);
    EXPECT_EQ(in.readFile(u"b.mp3"_s), second);
    RecordProperty(nameOf(step),
                   (killed ? u"killed: output %1, %2 temporaries"_s
                           : u"not reached: output %1, %2 temporaries"_s)
                       .arg(outputThere ? u"complete"_s : u"absent"_s,
                            QString::number(out.entries().filter(u".tessavo-"_s).size()))
                       .toStdString());

    // One more join into the directory clears what the killed one left.
    ASSERT_TRUE(LocalFileJoiner().joinFiles(inputs, out.root() + u"again.mp3"_s));
    EXPECT_EQ(out.readFile(u"again.mp3"_s), first + second);
    for (const QString& name : out.entries())
        EXPECT_FALSE(isTessavoTemporary(name)) << "left behind: " << name.toStdString();
}

TEST_P(WriteKill, AtEveryStepLeavesNoFalseFileAndNoTemporaryAfterOneMoreRun) {
    const KillRow& row = GetParam();
    QString skipReason;
    const QString sourceRoot = placeRoot(row.source, skipReason);
    if (sourceRoot.isEmpty())
        GTEST_SKIP() << skipReason.toStdString();
    const QString targetRoot = placeRoot(row.target, skipReason);
    if (targetRoot.isEmpty())
        GTEST_SKIP() << skipReason.toStdString();
    for (const WriteStep step : allSteps) {
        SCOPED_TRACE(nameOf(step));
        if (row.join)
            killJoinAt(step, sourceRoot, targetRoot);
        else
            killMoveAt(step, sourceRoot, targetRoot);
    }
}

const QList<WriteStep> unnamedCopy = {WriteStep::TemporaryCreated, WriteStep::BytesCopied,
                                      WriteStep::BytesFlushed,     WriteStep::Named,
                                      WriteStep::NameFlushed,      WriteStep::SourceRemoved};
const QList<WriteStep> namedCopy = {
    WriteStep::TemporaryCreated, WriteStep::BytesCopied, WriteStep::BytesFlushed,
    WriteStep::NameReserved,     WriteStep::Named,       WriteStep::NameFlushed,
    WriteStep::SourceRemoved};
const QList<WriteStep> unnamedJoin = unnamedCopy.first(5);
const QList<WriteStep> namedJoin = namedCopy.first(6);

// clang-format off
INSTANTIATE_TEST_SUITE_P(Paths, WriteKill, testing::Values(
    KillRow{"MoveFromTmpfsToDisk", Place::Tmpfs, Place::Disk, false, unnamedCopy},
    KillRow{"MoveFromDiskToTmpfs", Place::Disk, Place::Tmpfs, false, unnamedCopy},
    KillRow{"MoveFromDiskToFat", Place::Disk, Place::Fat, false, namedCopy},
    KillRow{"MoveFromFatToDisk", Place::Fat, Place::Disk, false, unnamedCopy},
    KillRow{"MoveFromTmpfsToExFat", Place::Tmpfs, Place::ExFat, false, namedCopy},
    KillRow{"MoveWithinFat", Place::Fat, Place::Fat, false, {WriteStep::NameReserved}},
    KillRow{"MoveWithinExFat", Place::ExFat, Place::ExFat, false, {WriteStep::NameReserved}},
    KillRow{"JoinOnDisk", Place::Disk, Place::Disk, true, unnamedJoin},
    KillRow{"JoinOnFat", Place::Fat, Place::Fat, true, namedJoin},
    KillRow{"JoinOnExFat", Place::ExFat, Place::ExFat, true, namedJoin}),
    [](const testing::TestParamInfo<KillRow>& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
