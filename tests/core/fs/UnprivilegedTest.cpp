#include "tests/support/TempTree.h"
#include "tests/support/TmpfsDir.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

// Moves and joins into directories with restricted rights, run by
// tessavo_fs_command as "nobody" through setpriv.

namespace {

struct Outcome {
    int exitCode = -1;
    QString output;
};

Outcome runAsNobody(const QStringList& command) {
    QProcess process;
    process.start(u"setpriv"_s, QStringList{u"--reuid=nobody"_s, u"--regid=nogroup"_s,
                                            u"--clear-groups"_s, QStringLiteral(FS_COMMAND)} +
                                    command);
    if (!process.waitForFinished(30000))
        return {};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed() +
                                    QString::fromLocal8Bit(process.readAllStandardError())};
}

void allow(const QString& directory, mode_t mode) {
    ASSERT_EQ(::chmod(directory.toLocal8Bit().constData(), mode), 0) << directory.toStdString();
}

enum class Source { SameDisk, Tmpfs };

struct Row {
    const char* name;
    bool join;
    Source source;
};

// A target directory with the given rights in a tree that "nobody" may enter.
template <typename Param> class AsNobody : public testing::TestWithParam<Param> {
protected:
    void prepare(mode_t targetMode) {
        if (::geteuid() != 0)
            GTEST_SKIP() << "running as another user through setpriv needs root";
        if (QStandardPaths::findExecutable(u"setpriv"_s).isEmpty())
            FAIL() << "setpriv is missing; scripts/deps installs it";
        allow(tree.root(), 0755);
        target = tree.dir(u"target"_s);
        allow(target, targetMode);
    }

    // A file of `content` in a directory that "nobody" may change.
    QString writeSource(const QString& sourceDir, const QByteArray& content) {
        allow(sourceDir, 0777);
        const QString song = sourceDir + u"song.mp3"_s;
        QFile file(song);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(content), content.size());
        return song;
    }

    TempTree tree;
    QString target;
};

class Unprivileged : public AsNobody<Row> {
protected:
    void SetUp() override { prepare(0555); }
};

TEST_P(Unprivileged, IntoAReadOnlyDirectoryFailsWithAccessDeniedAndLosesNothing) {
    const Row& row = GetParam();
    std::optional<TmpfsDir> tmpfs;
    QString sourceDir = tree.dir(u"src"_s);
    if (row.source == Source::Tmpfs) {
        tmpfs.emplace();
        sourceDir = tmpfs->root();
    }
    const QByteArray content(3 * 1024 * 1024 + 1, 's');
    const QString song = writeSource(sourceDir, content);
    const QString final = target + (row.join ? u"joined.mp3"_s : u"01 song.mp3"_s);

    const Outcome outcome = row.join ? runAsNobody({u"join"_s, final, song, song})
                                     : runAsNobody({u"move"_s, song, final});

    EXPECT_EQ(outcome.exitCode, 1) << outcome.output.toStdString();
    EXPECT_EQ(outcome.output, u"AccessDenied "_s + final);
    QFile file(song);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), content);
    EXPECT_EQ(TempTree::entriesOf(target), QStringList());
    EXPECT_EQ(TempTree::entriesOf(sourceDir), QStringList{u"song.mp3"_s});
}

INSTANTIATE_TEST_SUITE_P(Rows, Unprivileged,
                         testing::Values(Row{"MoveOnTheSameDisk", false, Source::SameDisk},
                                         Row{"MoveFromAnotherFileSystem", false, Source::Tmpfs},
                                         Row{"Join", true, Source::SameDisk}),
                         [](const testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

// A drop box: "nobody" may write into it but not read it, so its entries
// cannot be flushed; the copy or join is complete and named all the same,
// and stays.
struct DropBoxRow {
    const char* name;
    bool join;
    mode_t mode;
};

class DropBox : public AsNobody<DropBoxRow> {
protected:
    void SetUp() override { prepare(GetParam().mode); }
};

TEST_P(DropBox, CopyOrJoinIntoADropBoxIsKeptOnceNamed) {
    const DropBoxRow& row = GetParam();
    TmpfsDir tmpfs;
    const QByteArray content(64 * 1024 + 1, 'd');
    const QString song = writeSource(row.join ? tree.dir(u"src"_s) : tmpfs.root(), content);
    const QString final = target + (row.join ? u"joined.mp3"_s : u"song.mp3"_s);

    const Outcome outcome = row.join ? runAsNobody({u"join"_s, final, song, song})
                                     : runAsNobody({u"move"_s, song, final});

    EXPECT_EQ(outcome.exitCode, 0) << outcome.output.toStdString();
    EXPECT_EQ(outcome.output, u"ok"_s);
    QFile file(final);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), row.join ? content + content : content);
    EXPECT_EQ(QFile::exists(song), row.join);
}

INSTANTIATE_TEST_SUITE_P(Rows, DropBox,
                         testing::Values(DropBoxRow{"MoveFromAnotherFileSystem", false, 0733},
                                         DropBoxRow{"MoveIntoAStickyDropBox", false, 01733},
                                         DropBoxRow{"Join", true, 0733}),
                         [](const testing::TestParamInfo<DropBoxRow>& info) {
                             return std::string(info.param.name);
                         });

// The plan stops at the first file that would move into a directory the
// user may list but not write to, as it does on a read-only mount.
TEST(UnprivilegedRules, DirectoryWithoutWritePermissionIsUnwritable) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "running as another user through setpriv needs root";
    const TempTree tree;
    allow(tree.root(), 0755);
    const QString target = tree.dir(u"readonly"_s);
    for (const auto& [mode, seen] :
         {std::pair<mode_t, QString>{0555, u"unwritable EACCES or EPERM"_s},
          std::pair<mode_t, QString>{0777, u"writable"_s}}) {
        allow(target, mode);
        EXPECT_EQ(runAsNobody({u"rules"_s, target}).output, seen) << mode;
    }
}

} // namespace
