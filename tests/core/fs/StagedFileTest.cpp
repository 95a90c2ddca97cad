#include "core/fs/StagedFile.h"
#include "core/fs/LocalFileJoiner.h"
#include "core/fs/NameCodec.h"
#include "core/fs/TemporaryFiles.h"
#include "tests/support/FileSystemPlaces.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Names

struct NameRow {
    const char* name;
    QByteArray fileName;
    bool temporary;
};

class TemporaryName : public testing::TestWithParam<NameRow> {};

TEST_P(TemporaryName, IsRecognisedByPrefixHexAndSuffixOnly) {
    EXPECT_EQ(isTemporaryName(GetParam().fileName), GetParam().temporary);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, TemporaryName, testing::Values(
    NameRow{"OwnName", ".tessavo-0123456789abcdef.part", true},
    NameRow{"ShortHex", ".tessavo-1f.part", true},
    NameRow{"EarlierJoinName", ".tessavo-join-3a9c.part", true},
    NameRow{"UsersTextFile", ".tessavo-foo.txt", false},
    NameRow{"UsersWordBeforePart", ".tessavo-notes.part", false},
    NameRow{"NoHex", ".tessavo-.part", false},
    NameRow{"UpperCaseHex", ".tessavo-ABCD.part", false},
    NameRow{"SeventeenHexDigits", ".tessavo-0123456789abcdef0.part", false},
    NameRow{"NotHidden", "tessavo-1f.part", false},
    NameRow{"MoreAfterSuffix", ".tessavo-1f.part.mp3", false},
    NameRow{"EarlierJoinWithoutHex", ".tessavo-join-.part", false}),
    [](const testing::TestParamInfo<NameRow>& info) { return std::string(info.param.name); });
// clang-format on

// Staged files on every file system

class StagedFileOn : public TreeOnPlace {
protected:
    static void write(const StagedFile& file, const QByteArray& bytes) {
        ASSERT_EQ(::write(file.descriptor(), bytes.constData(), size_t(bytes.size())),
                  bytes.size());
    }
};

TEST_P(StagedFileOn, GetsItsNameOnlyWhenCommitted) {
    {
        StagedFile file(encodeFileName(at(u"song.mp3"_s)), at(u"song.mp3"_s));
        ASSERT_TRUE(file.create(0644));
        write(file, "bytes");
        EXPECT_FALSE(tree->exists(u"song.mp3"_s));
        ASSERT_TRUE(file.commit());
    }
    EXPECT_EQ(tree->entries(), QStringList{u"song.mp3"_s});
    EXPECT_EQ(tree->readFile(u"song.mp3"_s), "bytes");
}

TEST_P(StagedFileOn, LeavesNothingWhenNotCommitted) {
    {
        StagedFile file(encodeFileName(at(u"song.mp3"_s)), at(u"song.mp3"_s));
        ASSERT_TRUE(file.create(0644));
        write(file, "half");
    }
    EXPECT_EQ(tree->entries(), QStringList());
}

TEST_P(StagedFileOn, NeverReplacesAFileMadeWhileItWasWritten) {
    StagedFile file(encodeFileName(at(u"song.mp3"_s)), at(u"song.mp3"_s));
    ASSERT_TRUE(file.create(0644));
    write(file, "ours");
    tree->writeFile(u"song.mp3"_s, "theirs");

    const FsStatus committed = file.commit();

    ASSERT_FALSE(committed.isOk());
    EXPECT_EQ(committed.error().code, FsErrorCode::AlreadyExists);
    EXPECT_EQ(committed.error().path, at(u"song.mp3"_s));
    EXPECT_EQ(tree->readFile(u"song.mp3"_s), "theirs");
}

TEST_P(StagedFileOn, RefusesATakenNameBeforeWriting) {
    tree->writeFile(u"song.mp3"_s, "theirs");
    StagedFile file(encodeFileName(at(u"song.mp3"_s)), at(u"song.mp3"_s));

    const FsStatus created = file.create(0644);

    ASSERT_FALSE(created.isOk());
    EXPECT_EQ(created.error().code, FsErrorCode::AlreadyExists);
    EXPECT_EQ(tree->entries(), QStringList{u"song.mp3"_s});
}

bool hasUnnamedFiles(Place place) {
    return place == Place::Disk || place == Place::Tmpfs;
}

// Where the file system has no unnamed files, the temporary file is locked
// for as long as it is written, which tells it from a left-over.
TEST_P(StagedFileOn, WritesUnnamedOrUnderALockedTemporaryName) {
    StagedFile file(encodeFileName(at(u"song.mp3"_s)), at(u"song.mp3"_s));
    ASSERT_TRUE(file.create(0644));
    const QStringList temporaries = tree->entries();
    if (hasUnnamedFiles(GetParam())) {
        EXPECT_EQ(temporaries, QStringList());
        return;
    }
    ASSERT_EQ(temporaries.size(), 1);
    EXPECT_TRUE(isTemporaryName(encodeFileName(temporaries[0])));
    const int other = ::open(encodeFileName(at(temporaries[0])).constData(), O_RDONLY);
    ASSERT_GE(other, 0);
    EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), -1);
    EXPECT_EQ(errno, EWOULDBLOCK);
    ::close(other);
}

// Left-overs of a writer that died go with the next write into the directory;
// nothing else does.
TEST_P(StagedFileOn, NextWriteRemovesOnlyUnlockedLeftOvers) {
    const QStringList leftOvers = {u".tessavo-00000000deadbeef.part"_s,
                                   u".tessavo-join-1f2e.part"_s};
    const QStringList kept = {u".tessavo-0123456789abcdef.part"_s, // locked: a live writer's
                              u".tessavo-foo.txt"_s, u".tessavo-notes.part"_s, u"song.mp3"_s};
    for (const QString& name : leftOvers + kept)
        tree->writeFile(name, "x");
    tree->makeDir(u".tessavo-0a.part"_s);
    QStringList otherEntries = {u".tessavo-0a.part"_s};
    if (hasUnnamedFiles(GetParam())) { // FAT has no symbolic links
        tree->makeSymlink(u"song.mp3"_s, u".tessavo-0b.part"_s);
        otherEntries.append(u".tessavo-0b.part"_s);
    }
    const int live = ::open(encodeFileName(at(kept[0])).constData(), O_RDWR);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX | LOCK_NB), 0);

    ASSERT_TRUE(LocalFileJoiner().joinFiles({at(u"song.mp3"_s)}, at(u"joined.mp3"_s)));
    ::close(live);

    QStringList expected = kept;
    expected << otherEntries << u"joined.mp3"_s;
    expected.sort();
    QStringList entries = tree->entries();
    entries.sort();
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(tree->readFile(u".tessavo-0123456789abcdef.part"_s), "x");
}

INSTANTIATE_TEST_SUITE_P(Places, StagedFileOn,
                         testing::Values(Place::Disk, Place::Tmpfs, Place::Fat, Place::ExFat),
                         [](const testing::TestParamInfo<Place>& info) {
                             return std::string(nameOf(info.param));
                         });

} // namespace
