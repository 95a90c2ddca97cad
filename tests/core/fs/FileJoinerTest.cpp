#include "core/fs/LocalFileJoiner.h"
#include "tests/support/TempTree.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

class FileJoinerTest : public testing::Test {
protected:
    QString at(const QString& relative) const { return tree.root() + relative; }

    TempTree tree;
    LocalFileJoiner joiner;
};

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(42);
    for (char& byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

TEST_F(FileJoinerTest, JoinsLargeEmptyAndLinkedInputsByteForByte) {
    const QByteArray large = randomBytes(3 * 1024 * 1024 + 7);
    tree.makeDir(u"in"_s);
    tree.writeFile(u"in/large"_s, large);
    tree.writeFile(u"in/empty"_s);
    tree.writeFile(u"in/small"_s, "tail");
    tree.makeSymlink(at(u"in/small"_s), u"in/link"_s);
    tree.makeDir(u"out"_s);

    const FsStatus joined = joiner.joinFiles(
        {at(u"in/large"_s), at(u"in/empty"_s), at(u"in/link"_s), at(u"in/small"_s)},
        at(u"out/joined.mp3"_s));

    ASSERT_TRUE(joined.isOk());
    EXPECT_EQ(tree.readFile(u"out/joined.mp3"_s), large + "tailtail");
    EXPECT_EQ(tree.entries(u"out"_s), QStringList{u"joined.mp3"_s});
}

TEST_F(FileJoinerTest, NeverReplacesAnExistingOutput) {
    tree.writeFile(u"in"_s, "new");
    tree.makeDir(u"out"_s);
    tree.writeFile(u"out/taken"_s, "old");

    const FsStatus joined = joiner.joinFiles({at(u"in"_s)}, at(u"out/taken"_s));

    ASSERT_FALSE(joined.isOk());
    EXPECT_EQ(joined.error().code, FsErrorCode::AlreadyExists);
    EXPECT_EQ(joined.error().path, at(u"out/taken"_s));
    EXPECT_EQ(tree.readFile(u"out/taken"_s), "old");
    EXPECT_EQ(tree.entries(u"out"_s), QStringList{u"taken"_s});
}

struct FailureRow {
    const char* name;
    QStringList inputs; // relative to the tree, or absolute
    FsErrorCode code;
    bool blamesOutput;
};

class JoinFailures : public FileJoinerTest, public testing::WithParamInterface<FailureRow> {};

TEST_P(JoinFailures, LeaveNoOutputAndNoTemporaryFile) {
    const FailureRow& row = GetParam();
    tree.writeFile(u"good"_s, "good");
    tree.makeDir(u"out"_s);
    QStringList inputs;
    for (const QString& input : row.inputs)
        inputs.append(input.startsWith(u'/') ? input : at(input));

    const FsStatus joined = joiner.joinFiles(inputs, at(u"out/joined"_s));

    ASSERT_FALSE(joined.isOk());
    EXPECT_EQ(joined.error().code, row.code);
    EXPECT_EQ(joined.error().path, row.blamesOutput ? at(u"out/joined"_s) : inputs.last());
    EXPECT_EQ(tree.entries(u"out"_s), QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Joiner, JoinFailures,
    testing::Values(
        FailureRow{"MissingInput", {u"good"_s, u"missing"_s}, FsErrorCode::NotFound, false},
        // Reading a process's memory at offset 0 fails with EIO after a good input.
        FailureRow{"ReadErrorMidway", {u"good"_s, u"/proc/self/mem"_s}, FsErrorCode::Other, false},
        FailureRow{"DirectoryAsInput", {u"good"_s, u"out"_s}, FsErrorCode::NotAFile, false}),
    [](const testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.name); });

TEST_F(FileJoinerTest, MissingOutputDirectoryIsReported) {
    tree.writeFile(u"in"_s, "x");

    const FsStatus joined = joiner.joinFiles({at(u"in"_s)}, at(u"nowhere/joined"_s));

    ASSERT_FALSE(joined.isOk());
    EXPECT_EQ(joined.error().code, FsErrorCode::NotFound);
    EXPECT_EQ(joined.error().path, at(u"nowhere/joined"_s));
}

TEST_F(FileJoinerTest, FullDiskRemovesTheTemporaryFile) {
    tree.writeFile(u"in"_s, randomBytes(64 * 1024));
    tree.makeDir(u"out"_s);
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, RLIM_INFINITY};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);

    const FsStatus joined = joiner.joinFiles({at(u"in"_s)}, at(u"out/joined"_s));

    const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &unlimited), 0);
    ASSERT_FALSE(joined.isOk());
    EXPECT_EQ(joined.error().code, FsErrorCode::NoSpace);
    EXPECT_EQ(joined.error().path, at(u"out/joined"_s));
    EXPECT_EQ(tree.entries(u"out"_s), QStringList());
}

TEST_F(FileJoinerTest, FileSizeFollowsLinksAndRefusesDirectories) {
    tree.writeFile(u"five"_s, "12345");
    tree.makeSymlink(at(u"five"_s), u"link"_s);
    tree.makeDir(u"dir"_s);

    EXPECT_EQ(joiner.fileSize(at(u"five"_s)).value(), 5);
    EXPECT_EQ(joiner.fileSize(at(u"link"_s)).value(), 5);
    EXPECT_EQ(joiner.fileSize(at(u"dir"_s)).error().code, FsErrorCode::NotAFile);
    EXPECT_EQ(joiner.fileSize(at(u"missing"_s)).error().code, FsErrorCode::NotFound);
}

} // namespace
