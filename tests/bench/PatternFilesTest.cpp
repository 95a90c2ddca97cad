#include "bench/PatternFiles.h"

#include "core/fs/NameCodec.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

// More than the checker's 1 MiB chunk, so that a join is checked across a
// chunk boundary.
constexpr qint64 inputSize = 1024 * 1024 + 64;

QByteArray pathIn(const TempTree& tree, const QString& name) {
    return encodeFileName(tree.root() + name);
}

TEST(PatternFiles, JoinIsRecognisedOnlyWithEveryByteInPlace) {
    TempTree tree;
    pattern::writeFile(pathIn(tree, u"1"_s), 1, inputSize);
    pattern::writeFile(pathIn(tree, u"2"_s), 2, inputSize);
    const QByteArray first = tree.readFile(u"1"_s);
    const QByteArray second = tree.readFile(u"2"_s);
    QByteArray changed = first + second;
    changed[inputSize + 1024 * 1024 + 3] ^= 1;

    const struct {
        const char* name;
        QByteArray output;
        bool holds;
    } rows[] = {
        {"the inputs one after the other", first + second, true},
        {"the inputs swapped", second + first, false},
        {"the first input twice", first + first, false},
        {"one byte short", (first + second).chopped(1), false},
        {"one byte more", first + second + 'x', false},
        {"one byte changed behind a chunk boundary", changed, false},
        {"empty", QByteArray(), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        tree.writeFile(u"joined"_s, row.output);
        EXPECT_EQ(pattern::holdsJoined(pathIn(tree, u"joined"_s), {1, 2}, inputSize), row.holds);
    }
}

TEST(PatternFiles, MissingOutputIsNoJoin) {
    TempTree tree;
    EXPECT_FALSE(pattern::holdsJoined(pathIn(tree, u"missing"_s), {1}, inputSize));
}

TEST(PatternFiles, WritingNeverReplacesAFile) {
    TempTree tree;
    tree.writeFile(u"taken"_s, "keep");
    EXPECT_THROW(pattern::writeFile(pathIn(tree, u"taken"_s), 1, inputSize), std::runtime_error);
    EXPECT_EQ(tree.readFile(u"taken"_s), "keep");
}

} // namespace
