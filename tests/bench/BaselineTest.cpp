#include "bench/Baseline.h"

#include "core/fs/NameCodec.h"
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

TEST(Baseline, ListingThroughADescriptorCanBeRepeated) {
    TempTree tree;
    const QByteArray path = directoryIn(tree, u"d"_s);
    tree.writeFile(u"d/b"_s);
    tree.writeFile(u"d/a"_s);
    const Descriptor directory = baseline::openDirectory(path);
    const QList<QByteArray> expected{"a", "b"};
    EXPECT_EQ(baseline::sortedRegularFiles(directory.get()), expected);
    EXPECT_EQ(baseline::sortedRegularFiles(directory.get()), expected);
}

TEST(Baseline, RenameMovesEveryFileUnderItsPrefix) {
    TempTree tree;
    const Descriptor source = baseline::openDirectory(directoryIn(tree, u"src"_s));
    const Descriptor target = baseline::openDirectory(directoryIn(tree, u"dst"_s));
    tree.writeFile(u"src/a"_s, "a");
    tree.writeFile(u"src/b"_s, "b");
    EXPECT_TRUE(baseline::renameAll(source.get(), target.get(), {"a", "b"}, "01 "));
    EXPECT_TRUE(tree.entries(u"src"_s).isEmpty());
    EXPECT_EQ(tree.entries(u"dst"_s), (QStringList{u"01 a"_s, u"01 b"_s}));
    EXPECT_EQ(tree.readFile(u"dst/01 b"_s), "b");
}

TEST(Baseline, RenameStopsAtATakenNameWithoutReplacingIt) {
    TempTree tree;
    const Descriptor source = baseline::openDirectory(directoryIn(tree, u"src"_s));
    const Descriptor target = baseline::openDirectory(directoryIn(tree, u"dst"_s));
    for (const QString& name : {u"a"_s, u"b"_s, u"c"_s})
        tree.writeFile(u"src/"_s + name, name.toUtf8());
    tree.writeFile(u"dst/b"_s, "keep");
    EXPECT_FALSE(baseline::renameAll(source.get(), target.get(), {"a", "b", "c"}));
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"b"_s, u"c"_s}));
    EXPECT_EQ(tree.entries(u"dst"_s), (QStringList{u"a"_s, u"b"_s}));
    EXPECT_EQ(tree.readFile(u"dst/b"_s), "keep");
}

TEST(Baseline, CountsOnlyTrailersThatBeginWithTag) {
    TempTree tree;
    const QByteArray path = directoryIn(tree, u"d"_s);
    const QByteArray tail(125, 'x');
    const struct {
        const char* name;
        QByteArray bytes;
        bool tagged;
    } rows[] = {
        {"tag in the last 128 bytes", "TAG" + tail, true},
        {"tag after a body", QByteArray(4096, 'a') + "TAG" + tail, true},
        {"tag one byte too early", "TAG" + tail + 'x', false},
        {"lower-case tag", "tag" + tail, false},
        {"shorter than a trailer", "TAG", false},
        {"empty", {}, false},
    };
    QList<QByteArray> names;
    int expected = 0;
    for (const auto& row : rows) {
        tree.writeFile(u"d/"_s + QString::fromUtf8(row.name), row.bytes);
        names.append(row.name);
        expected += row.tagged;
        const Descriptor directory = baseline::openDirectory(path);
        EXPECT_EQ(baseline::countTagged(directory.get(), {row.name}), row.tagged ? 1 : 0)
            << row.name;
    }
    names.append("missing");
    const Descriptor directory = baseline::openDirectory(path);
    EXPECT_EQ(baseline::countTagged(directory.get(), names), expected);
}

} // namespace
