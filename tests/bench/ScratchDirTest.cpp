#include "bench/ScratchDir.h"

#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

// The scratch directory relative to the tree it was made in.
QString relativeTo(const TempTree& tree, const ScratchDir& scratch) {
    return scratch.path().mid(tree.root().size());
}

TEST(ScratchDir, LeavesNothingBehindAndFollowsNoLink) {
    TempTree tree;
    tree.writeFile(u"outside"_s, "keep");
    {
        const ScratchDir scratch(tree.root());
        EXPECT_TRUE(scratch.path().startsWith(tree.root()));
        EXPECT_TRUE(scratch.path().endsWith(u'/'));
        scratch.makeDir(u"a"_s);
        scratch.makeDir(u"a/b"_s);
        const QString nested = relativeTo(tree, scratch) + u"a/b/"_s;
        tree.writeFile(nested + u"file"_s, "x");
        tree.makeSymlink(tree.root() + u"outside"_s, nested + u"link"_s);
    }
    EXPECT_EQ(tree.entries(), QStringList{u"outside"_s});
    EXPECT_EQ(tree.readFile(u"outside"_s), "keep");
}

TEST(ScratchDir, RemovesOneSubDirectoryAndKeepsTheOthers) {
    TempTree tree;
    const ScratchDir scratch(tree.root());
    scratch.makeDir(u"gone"_s);
    scratch.makeDir(u"gone/deeper"_s);
    scratch.makeDir(u"kept"_s);
    scratch.remove(u"gone"_s);
    EXPECT_EQ(tree.entries(relativeTo(tree, scratch)), QStringList{u"kept"_s});
}

TEST(ScratchDir, SetUpFailuresThrow) {
    TempTree tree;
    EXPECT_THROW(ScratchDir(tree.root() + u"missing"_s), std::runtime_error);
    const ScratchDir scratch(tree.root());
    scratch.makeDir(u"taken"_s);
    EXPECT_THROW(scratch.makeDir(u"taken"_s), std::runtime_error);
}

} // namespace
