#include "bench/Baseline.h"

#include "platform/NameCodec.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray directoryIn(const TempTree& tree, const QString& name) {
    return encodeFileName(tree.dir(name));
}

TEST(Baseline, ListingHoldsOnlyRegularFilesSortedByTheirBytes) {
    TempTree tree;
    const QByteArray directory = directoryIn(tree, u"d"_s);
    const QString latin1Name = decodeFileName("\xe9t\xe9");
    for (const QString& name : {u"b"_s, u"a"_s, u"B"_s, u"10"_s, u"9"_s, u".hidden"_s, latin1Name})
        tree.writeFile(u"d/"_s + name);
    tree.makeDir(u"d/sub"_s);
    tree.makeSymlink(tree.root() + u"d/a"_s, u"d/link"_s);
    ASSERT_EQ(::mkfifo((directory + "fifo").constData(), 0644), 0);

    const QList<QByteArray> expected{"10", "9", "B", "a", "b", "\xe9t\xe9"};
    EXPECT_EQ(baseline::sortedRegularFiles(directory), expected);
}

TEST(Baseline, ListingOfAMissingDirectoryThrows) {
    TempTree tree;
    EXPECT_THROW(baseline::sortedRegularFiles(encodeFileName(tree.root() + u"gone/"_s)),
                 std::runtime_error);
}

TEST(Baseline, RenameMovesEveryFileUnderItsPrefix) {
    TempTree tree;
    const QByteArray source = directoryIn(tree, u"src"_s);
    const QByteArray target = directoryIn(tree, u"dst"_s);
    tree.writeFile(u"src/a"_s, "a");
    tree.writeFile(u"src/b"_s, "b");
    EXPECT_TRUE(baseline::renameAll(source, target, {"a", "b"}, "01 "));
    EXPECT_TRUE(tree.entries(u"src"_s).isEmpty());
    EXPECT_EQ(tree.entries(u"dst"_s), (QStringList{u"01 a"_s, u"01 b"_s}));
    EXPECT_EQ(tree.readFile(u"dst/01 b"_s), "b");
}

TEST(Baseline, RenameStopsAtATakenNameWithoutReplacingIt) {
    TempTree tree;
    const QByteArray source = directoryIn(tree, u"src"_s);
    const QByteArray target = directoryIn(tree, u"dst"_s);
    for (const QString& name : {u"a"_s, u"b"_s, u"c"_s})
        tree.writeFile(u"src/"_s + name, name.toUtf8());
    tree.writeFile(u"dst/b"_s, "keep");
    EXPECT_FALSE(baseline::renameAll(source, target, {"a", "b", "c"}));
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"b"_s, u"c"_s}));
    EXPECT_EQ(tree.entries(u"dst"_s), (QStringList{u"a"_s, u"b"_s}));
    EXPECT_EQ(tree.readFile(u"dst/b"_s), "keep");
}

} // namespace
