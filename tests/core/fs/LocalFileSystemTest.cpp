#include "core/fs/LocalFileSystem.h"

#include "core/fs/NameCodec.h"
#include "tests/support/TempTree.h"
#include "tests/support/TmpfsDir.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <functional>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

QByteArray raw(const QString& path) {
    return encodeFileName(path);
}

std::optional<struct stat> lstatOf(const QString& path) {
    struct stat info;
    if (::lstat(raw(path).constData(), &info) != 0)
        return std::nullopt;
    return info;
}

QByteArray linkTarget(const QString& path) {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(raw(path).constData(), buffer, sizeof buffer);
    return length < 0 ? QByteArray() : QByteArray(buffer, length);
}

void makeFifo(const QString& path) {
    ASSERT_EQ(::mkfifo(raw(path).constData(), 0644), 0);
}

// Runs the test body without root's right to ignore permissions: as root,
// the effective user becomes "nobody" for as long as the scope lives.
class WithoutPrivileges {
public:
    explicit WithoutPrivileges(const TempTree& tree) {
        if (::geteuid() != 0)
            return;
        ::chmod(raw(tree.root()).constData(), 0755);
        dropped_ = ::seteuid(65534) == 0;
        failed_ = !dropped_;
    }
    ~WithoutPrivileges() {
        if (dropped_) {
            EXPECT_EQ(::seteuid(0), 0);
        }
    }
    WithoutPrivileges(const WithoutPrivileges&) = delete;
    WithoutPrivileges& operator=(const WithoutPrivileges&) = delete;
    bool failed() const { return failed_; }

private:
    bool dropped_ = false;
    bool failed_ = false;
};

// Runs a test with the working directory moved into a temporary directory.
class InDirectory {
public:
    explicit InDirectory(const QString& directory) {
        char buffer[PATH_MAX];
        if (::getcwd(buffer, sizeof buffer))
            previous_ = QByteArray(buffer);
        EXPECT_EQ(::chdir(raw(directory).constData()), 0);
    }
    ~InDirectory() { EXPECT_EQ(::chdir(previous_.constData()), 0); }
    InDirectory(const InDirectory&) = delete;
    InDirectory& operator=(const InDirectory&) = delete;

private:
    QByteArray previous_;
};

const QString latin1Name = decodeFileName("Caf\xE9 M\xFC"
                                          "ller.mp3");

// Listing

TEST(LocalFileSystemList, ListsOnlyOrdinaryVisibleFiles) {
    TempTree tree;
    tree.writeFile(u"song.mp3"_s, "x");
    tree.writeFile(u".hidden.mp3"_s, "x");
    tree.makeDir(u"folder"_s);
    tree.makeSymlink(u"folder"_s, u"link to folder"_s);
    tree.makeSymlink(u"missing.mp3"_s, u"broken link"_s);
    tree.makeSymlink(u"song.mp3"_s, u"link to song"_s);
    tree.makeSymlink(u"link to song"_s, u"link to link"_s);
    tree.makeSymlink(u"song.mp3"_s, u".hidden link"_s);
    tree.makeSymlink(u"loop"_s, u"loop"_s);
    makeFifo(tree.root() + u"fifo"_s);
    const FsResult<QStringList> names = LocalFileSystem().listFiles(tree.root());
    ASSERT_TRUE(names.isOk());
    EXPECT_EQ(names.value(), (QStringList{u"link to link"_s, u"link to song"_s, u"song.mp3"_s}));
}

TEST(LocalFileSystemList, ListsInNaturalOrder) {
    TempTree tree;
    for (const QString& name : {u"Track 10.mp3"_s, u"track 3.mp3"_s, u"Track 2.mp3"_s,
                                u"Track 1.mp3"_s, u"Track 20.mp3"_s})
        tree.writeFile(name);
    const FsResult<QStringList> names = LocalFileSystem().listFiles(tree.root());
    ASSERT_TRUE(names.isOk());
    EXPECT_EQ(names.value(), (QStringList{u"Track 1.mp3"_s, u"Track 2.mp3"_s, u"track 3.mp3"_s,
                                          u"Track 10.mp3"_s, u"Track 20.mp3"_s}));
}

TEST(LocalFileSystemList, KeepsUndecodableNames) {
    TempTree tree;
    tree.writeFile(latin1Name, "x");
    const FsResult<QStringList> names = LocalFileSystem().listFiles(tree.root());
    ASSERT_TRUE(names.isOk());
    ASSERT_EQ(names.value(), QStringList{latin1Name});
    EXPECT_EQ(encodeFileName(names.value()[0]), QByteArray("Caf\xE9 M\xFC"
                                                           "ller.mp3"));
}

TEST(LocalFileSystemList, EmptyDirectoryStringMeansWorkingDirectory) {
    TempTree tree;
    const InDirectory inWork(tree.dir(u"work"_s));
    tree.writeFile(u"work/here.mp3"_s);
    const FsResult<QStringList> names = LocalFileSystem().listFiles(QString());
    ASSERT_TRUE(names.isOk());
    EXPECT_EQ(names.value(), QStringList{u"here.mp3"_s});
}

struct ListErrorRow {
    const char* name;
    QString directory; // relative to the tree
    FsErrorCode code;
};

class LocalFileSystemListError : public testing::TestWithParam<ListErrorRow> {};

TEST_P(LocalFileSystemListError, ReportsTheDirectory) {
    TempTree tree;
    tree.writeFile(u"file.mp3"_s);
    const QString directory = tree.root() + GetParam().directory;
    const FsResult<QStringList> names = LocalFileSystem().listFiles(directory);
    ASSERT_FALSE(names.isOk());
    EXPECT_EQ(names.error().code, GetParam().code);
    EXPECT_EQ(names.error().path, directory);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LocalFileSystemListError,
    testing::Values(ListErrorRow{"MissingDirectory", u"missing/"_s, FsErrorCode::NotFound},
                    ListErrorRow{"FileInsteadOfDirectory", u"file.mp3/"_s, FsErrorCode::NotFound},
                    ListErrorRow{"NulInPath", u"a"_s + QChar(0) + u"/"_s,
                                 FsErrorCode::InvalidName}),
    [](const testing::TestParamInfo<ListErrorRow>& info) { return std::string(info.param.name); });

TEST(LocalFileSystemList, UnreadableDirectoryIsAccessDenied) {
    TempTree tree;
    const QString locked = tree.dir(u"locked"_s);
    tree.writeFile(u"locked/song.mp3"_s);
    ASSERT_EQ(::chmod(raw(locked).constData(), 0), 0);
    const WithoutPrivileges unprivileged(tree);
    if (unprivileged.failed())
        GTEST_SKIP() << "running as root and cannot drop privileges";
    const FsResult<QStringList> names = LocalFileSystem().listFiles(locked);
    ASSERT_FALSE(names.isOk());
    EXPECT_EQ(names.error().code, FsErrorCode::AccessDenied);
    EXPECT_EQ(names.error().path, locked);
}

// Existence

struct ExistsRow {
    const char* name;
    std::function<void(const TempTree&)> prepare;
    QString path; // relative to the tree
    bool exists;
};

class LocalFileSystemExists : public testing::TestWithParam<ExistsRow> {};

TEST_P(LocalFileSystemExists, TellsAnyEntryWithoutFollowingLinks) {
    TempTree tree;
    GetParam().prepare(tree);
    const FsResult<bool> exists = LocalFileSystem().entryExists(tree.root() + GetParam().path);
    ASSERT_TRUE(exists.isOk());
    EXPECT_EQ(exists.value(), GetParam().exists);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LocalFileSystemExists,
    testing::Values(
        ExistsRow{"RegularFile", [](const TempTree& t) { t.writeFile(u"a.mp3"_s); }, u"a.mp3"_s,
                  true},
        ExistsRow{"UndecodableName", [](const TempTree& t) { t.writeFile(latin1Name); }, latin1Name,
                  true},
        ExistsRow{"LinkToFile",
                  [](const TempTree& t) {
                      t.writeFile(u"a.mp3"_s);
                      t.makeSymlink(u"a.mp3"_s, u"l"_s);
                  },
                  u"l"_s, true},
        ExistsRow{"Missing", [](const TempTree&) {}, u"a.mp3"_s, false},
        ExistsRow{"Directory", [](const TempTree& t) { t.makeDir(u"d"_s); }, u"d"_s, true},
        ExistsRow{"LinkToDirectory",
                  [](const TempTree& t) {
                      t.makeDir(u"d"_s);
                      t.makeSymlink(u"d"_s, u"l"_s);
                  },
                  u"l"_s, true},
        ExistsRow{"BrokenLink", [](const TempTree& t) { t.makeSymlink(u"gone"_s, u"l"_s); }, u"l"_s,
                  true},
        ExistsRow{"LinkLoop", [](const TempTree& t) { t.makeSymlink(u"l"_s, u"l"_s); }, u"l"_s,
                  true},
        ExistsRow{"Fifo", [](const TempTree& t) { makeFifo(t.root() + u"f"_s); }, u"f"_s, true},
        ExistsRow{"PathThroughFile", [](const TempTree& t) { t.writeFile(u"a.mp3"_s); },
                  u"a.mp3/b"_s, false}),
    [](const testing::TestParamInfo<ExistsRow>& info) { return std::string(info.param.name); });

TEST(LocalFileSystemExists, UnsearchableDirectoryIsAnErrorNotAbsence) {
    TempTree tree;
    const QString locked = tree.dir(u"locked"_s);
    tree.writeFile(u"locked/song.mp3"_s);
    ASSERT_EQ(::chmod(raw(locked).constData(), 0), 0);
    const WithoutPrivileges unprivileged(tree);
    if (unprivileged.failed())
        GTEST_SKIP() << "running as root and cannot drop privileges";
    const FsResult<bool> exists = LocalFileSystem().entryExists(locked + u"song.mp3"_s);
    ASSERT_FALSE(exists.isOk());
    EXPECT_EQ(exists.error().code, FsErrorCode::AccessDenied);
}

TEST(LocalFileSystemExists, NulInPathIsInvalidName) {
    TempTree tree;
    tree.writeFile(u"a"_s);
    const FsResult<bool> exists = LocalFileSystem().entryExists(tree.root() + u"a"_s + QChar(0));
    ASSERT_FALSE(exists.isOk());
    EXPECT_EQ(exists.error().code, FsErrorCode::InvalidName);
}

// Moving

TEST(LocalFileSystemMove, RenamesKeepingContentAndUndecodableBytes) {
    TempTree tree;
    tree.writeFile(latin1Name, "music");
    const QString newName = u"01 "_s + latin1Name;
    ASSERT_TRUE(LocalFileSystem().moveFile(tree.root() + latin1Name, tree.dir(u"out"_s) + newName));
    EXPECT_EQ(tree.entries(), QStringList{u"out"_s});
    EXPECT_EQ(tree.entries(u"out"_s), QStringList{newName});
    EXPECT_EQ(tree.readFile(u"out/"_s + newName), QByteArray("music"));
    const FsResult<QStringList> listed = LocalFileSystem().listFiles(tree.dir(u"out"_s));
    ASSERT_TRUE(listed.isOk());
    EXPECT_EQ(encodeFileName(listed.value().value(0)), QByteArray("01 Caf\xE9 M\xFC"
                                                                  "ller.mp3"));
}

TEST(LocalFileSystemMove, NeverReplacesAnExistingFile) {
    TempTree tree;
    tree.writeFile(u"a.mp3"_s, "source");
    const QString destination = tree.dir(u"out"_s) + u"b.mp3"_s;
    tree.writeFile(u"out/b.mp3"_s, "taken");
    const FsStatus moved = LocalFileSystem().moveFile(tree.root() + u"a.mp3"_s, destination);
    ASSERT_FALSE(moved.isOk());
    EXPECT_EQ(moved.error().code, FsErrorCode::AlreadyExists);
    EXPECT_EQ(moved.error().path, destination);
    EXPECT_EQ(tree.readFile(u"a.mp3"_s), QByteArray("source"));
    EXPECT_EQ(tree.readFile(u"out/b.mp3"_s), QByteArray("taken"));
}

TEST(LocalFileSystemMove, NeverReplacesADirectory) {
    TempTree tree;
    tree.writeFile(u"a.mp3"_s, "source");
    tree.makeDir(u"b.mp3"_s);
    const FsStatus moved =
        LocalFileSystem().moveFile(tree.root() + u"a.mp3"_s, tree.root() + u"b.mp3"_s);
    ASSERT_FALSE(moved.isOk());
    EXPECT_EQ(moved.error().code, FsErrorCode::AlreadyExists);
    EXPECT_EQ(tree.readFile(u"a.mp3"_s), QByteArray("source"));
}

TEST(LocalFileSystemMove, DirectoryDestinationKeepsTheName) {
    TempTree tree;
    tree.writeFile(u"a.mp3"_s, "x");
    ASSERT_TRUE(LocalFileSystem().moveFile(tree.root() + u"a.mp3"_s, tree.dir(u"out"_s)));
    EXPECT_EQ(tree.entries(u"out"_s), QStringList{u"a.mp3"_s});
    EXPECT_FALSE(tree.exists(u"a.mp3"_s));
}

TEST(LocalFileSystemMove, EmptyDestinationMeansWorkingDirectory) {
    TempTree tree;
    tree.writeFile(u"a.mp3"_s, "x");
    const InDirectory inWork(tree.dir(u"work"_s));
    ASSERT_TRUE(LocalFileSystem().moveFile(tree.root() + u"a.mp3"_s, QString()));
    EXPECT_EQ(tree.entries(u"work"_s), QStringList{u"a.mp3"_s});
}

struct MoveErrorRow {
    const char* name;
    QString from; // relative to the tree, which holds a.mp3 and the directory d
    QString to;
    FsErrorCode code;
    QString faultyPath;
};

class LocalFileSystemMoveError : public testing::TestWithParam<MoveErrorRow> {};

TEST_P(LocalFileSystemMoveError, FailsAndLeavesEverythingAlone) {
    TempTree tree;
    tree.writeFile(u"a.mp3"_s, "x");
    tree.makeDir(u"d"_s);
    const FsStatus moved =
        LocalFileSystem().moveFile(tree.root() + GetParam().from, tree.root() + GetParam().to);
    ASSERT_FALSE(moved.isOk());
    EXPECT_EQ(moved.error().code, GetParam().code);
    EXPECT_EQ(moved.error().path, tree.root() + GetParam().faultyPath);
    EXPECT_EQ(tree.entries(), (QStringList{u"a.mp3"_s, u"d"_s}));
    EXPECT_EQ(tree.readFile(u"a.mp3"_s), QByteArray("x"));
}

// Moves between two opened directories fail as moveFile does, full paths
// included, with their names encoded ahead too.
TEST_P(LocalFileSystemMoveError, FailsAlikeBetweenOpenedDirectories) {
    TempTree tree;
    tree.writeFile(u"a.mp3"_s, "x");
    tree.makeDir(u"d"_s);
    LocalFileSystem fileSystem;
    const QString from = GetParam().from;
    const QString to = GetParam().to;
    const qsizetype slash = to.lastIndexOf(u'/') + 1;
    const std::unique_ptr<DirectoryMoves> moves =
        fileSystem.movesBetween(tree.root(), tree.root() + to.left(slash));
    const QByteArray fromBytes = encodeFileName(from);
    const QByteArray toBytes = encodeFileName(to.mid(slash));
    for (const FsStatus& moved : {moves->move(from, to.mid(slash)),
                                  moves->moveEncoded(from, to.mid(slash), {fromBytes, toBytes})}) {
        ASSERT_FALSE(moved.isOk());
        EXPECT_EQ(moved.error().code, GetParam().code);
        EXPECT_EQ(moved.error().path, tree.root() + GetParam().faultyPath);
        EXPECT_EQ(tree.entries(), (QStringList{u"a.mp3"_s, u"d"_s}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LocalFileSystemMoveError,
    testing::Values(MoveErrorRow{"MissingTargetDirectory", u"a.mp3"_s, u"missing/a.mp3"_s,
                                 FsErrorCode::NotFound, u"missing/a.mp3"_s},
                    MoveErrorRow{"MissingTargetDirectoryForm", u"a.mp3"_s, u"missing/"_s,
                                 FsErrorCode::NotFound, u"missing/a.mp3"_s},
                    MoveErrorRow{"MissingSource", u"b.mp3"_s, u"d/b.mp3"_s, FsErrorCode::NotFound,
                                 u"b.mp3"_s},
                    MoveErrorRow{"DirectoryUnderTheTargetName", u"a.mp3"_s, u"d"_s,
                                 FsErrorCode::AlreadyExists, u"d"_s},
                    MoveErrorRow{"NameTooLong", u"a.mp3"_s, QString(300, u'x'),
                                 FsErrorCode::InvalidName, QString(300, u'x')},
                    MoveErrorRow{"NulInDestination", u"a.mp3"_s, u"b"_s + QChar(0) + u"c"_s,
                                 FsErrorCode::InvalidName, u"b"_s + QChar(0) + u"c"_s}),
    [](const testing::TestParamInfo<MoveErrorRow>& info) { return std::string(info.param.name); });

TEST(LocalFileSystemMove, OntoItselfIsANoOp) {
    TempTree tree;
    tree.writeFile(u"a.mp3"_s, "x");
    tree.makeDir(u"sub"_s);
    LocalFileSystem fs;
    EXPECT_TRUE(fs.moveFile(tree.root() + u"a.mp3"_s, tree.root() + u"a.mp3"_s));
    EXPECT_TRUE(fs.moveFile(tree.root() + u"a.mp3"_s, tree.root()));
    EXPECT_TRUE(fs.moveFile(tree.root() + u"a.mp3"_s, tree.root() + u"sub/../a.mp3"_s));
    EXPECT_EQ(tree.entries(), (QStringList{u"a.mp3"_s, u"sub"_s}));
    EXPECT_EQ(tree.readFile(u"a.mp3"_s), QByteArray("x"));
}

TEST(LocalFileSystemMove, HardLinkNamesAreNotTheSameEntry) {
    TempTree tree;
    tree.writeFile(u"a.mp3"_s, "x");
    ASSERT_EQ(::link(raw(tree.root() + u"a.mp3"_s).constData(),
                     raw(tree.root() + u"b.mp3"_s).constData()),
              0);
    const FsStatus moved =
        LocalFileSystem().moveFile(tree.root() + u"a.mp3"_s, tree.root() + u"b.mp3"_s);
    ASSERT_FALSE(moved.isOk());
    EXPECT_EQ(moved.error().code, FsErrorCode::AlreadyExists);
    EXPECT_EQ(tree.entries(), (QStringList{u"a.mp3"_s, u"b.mp3"_s}));
}

TEST(LocalFileSystemMove, LinkIsMovedAsLink) {
    TempTree tree;
    tree.writeFile(u"song.mp3"_s, "x");
    tree.makeSymlink(tree.root() + u"song.mp3"_s, u"link.mp3"_s);
    ASSERT_TRUE(LocalFileSystem().moveFile(tree.root() + u"link.mp3"_s,
                                           tree.dir(u"out"_s) + u"renamed.mp3"_s));
    const std::optional<struct stat> info = lstatOf(tree.root() + u"out/renamed.mp3"_s);
    ASSERT_TRUE(info.has_value());
    EXPECT_TRUE(S_ISLNK(info->st_mode));
    EXPECT_EQ(linkTarget(tree.root() + u"out/renamed.mp3"_s), raw(tree.root() + u"song.mp3"_s));
    EXPECT_EQ(tree.readFile(u"song.mp3"_s), QByteArray("x"));
}

TEST(LocalFileSystemMove, IntoReadOnlyDirectoryIsAccessDenied) {
    TempTree tree;
    const QString source = tree.dir(u"src"_s);
    const QString target = tree.dir(u"target"_s);
    tree.writeFile(u"src/a.mp3"_s, "x");
    ASSERT_EQ(::chmod(raw(source).constData(), 0777), 0);
    ASSERT_EQ(::chmod(raw(target).constData(), 0555), 0);
    const WithoutPrivileges unprivileged(tree);
    if (unprivileged.failed())
        GTEST_SKIP() << "running as root and cannot drop privileges";
    const FsStatus moved = LocalFileSystem().moveFile(source + u"a.mp3"_s, target);
    ASSERT_FALSE(moved.isOk());
    EXPECT_EQ(moved.error().code, FsErrorCode::AccessDenied);
    EXPECT_EQ(moved.error().path, target + u"a.mp3"_s);
    EXPECT_EQ(tree.readFile(u"src/a.mp3"_s), QByteArray("x"));
}

// A directory on another file system, to reach the copy that a rename cannot
// do; none when the machine has no such place.
class OtherFileSystem : public testing::Test {
protected:
    void SetUp() override {
        if (!other_.skipReason().isEmpty())
            GTEST_SKIP() << other_.skipReason().toStdString();
    }
    // QTemporaryDir would leave the undecodable names behind.
    void TearDown() override {
        if (DIR* handle = ::opendir(raw(otherRoot()).constData())) {
            QList<QByteArray> names;
            while (const dirent* entry = ::readdir(handle)) {
                if (entry->d_type != DT_DIR)
                    names.append(raw(otherRoot()) + entry->d_name);
            }
            ::closedir(handle);
            for (const QByteArray& path : names)
                ::unlink(path.constData());
        }
    }
    QString otherRoot() const { return other_.root(); }

    TempTree tree_;
    TmpfsDir other_;
};

TEST_F(OtherFileSystem, MovesFileByCopyKeepingBytesModeAndTime) {
    QByteArray content(3 * 1024 * 1024 + 17, Qt::Uninitialized);
    for (qsizetype i = 0; i < content.size(); ++i)
        content[i] = char(i * 7 % 251);
    tree_.writeFile(latin1Name, content);
    const QString source = tree_.root() + latin1Name;
    ASSERT_EQ(::chmod(raw(source).constData(), 0666), 0);
    const struct timespec times[2] = {{1000000000, 0}, {1234567890, 500}};
    ASSERT_EQ(::utimensat(AT_FDCWD, raw(source).constData(), times, 0), 0);

    ASSERT_TRUE(LocalFileSystem().moveFile(source, otherRoot()));
    EXPECT_FALSE(tree_.exists(latin1Name));
    const QString moved = otherRoot() + latin1Name;
    const std::optional<struct stat> info = lstatOf(moved);
    ASSERT_TRUE(info.has_value());
    EXPECT_TRUE(S_ISREG(info->st_mode));
    EXPECT_EQ(info->st_mode & 07777, 0666u);
    EXPECT_EQ(info->st_mtim.tv_sec, 1234567890);
    EXPECT_EQ(info->st_mtim.tv_nsec, 500);
    const FsResult<FileTail> whole = LocalFileSystem().readTail(moved, content.size());
    ASSERT_TRUE(whole.isOk());
    EXPECT_EQ(whole.value().bytes, content);
}

TEST_F(OtherFileSystem, MovesBetweenOpenedDirectoriesByCopy) {
    tree_.writeFile(u"a.mp3"_s, "bytes");
    LocalFileSystem fileSystem;
    ASSERT_TRUE(fileSystem.movesBetween(tree_.root(), otherRoot())->move(u"a.mp3"_s, u"b.mp3"_s));
    EXPECT_FALSE(tree_.exists(u"a.mp3"_s));
    const FsResult<FileTail> moved = fileSystem.readTail(otherRoot() + u"b.mp3"_s, 16);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved.value().bytes, QByteArray("bytes"));
}

TEST_F(OtherFileSystem, MovesLinkAsLink) {
    tree_.writeFile(u"song.mp3"_s, "x");
    tree_.makeSymlink(tree_.root() + u"song.mp3"_s, u"link.mp3"_s);
    ASSERT_TRUE(LocalFileSystem().moveFile(tree_.root() + u"link.mp3"_s, otherRoot()));
    EXPECT_FALSE(tree_.exists(u"link.mp3"_s));
    const std::optional<struct stat> info = lstatOf(otherRoot() + u"link.mp3"_s);
    ASSERT_TRUE(info.has_value());
    EXPECT_TRUE(S_ISLNK(info->st_mode));
    EXPECT_EQ(linkTarget(otherRoot() + u"link.mp3"_s), raw(tree_.root() + u"song.mp3"_s));
}

TEST_F(OtherFileSystem, NeverReplacesAcrossFileSystems) {
    tree_.writeFile(u"a.mp3"_s, "source");
    tree_.makeSymlink(u"a.mp3"_s, u"link.mp3"_s);
    const int fd = ::open(raw(otherRoot() + u"taken.mp3"_s).constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "taken", 5), 5);
    ::close(fd);

    LocalFileSystem fs;
    for (const QString& name : {u"a.mp3"_s, u"link.mp3"_s}) {
        const FsStatus moved = fs.moveFile(tree_.root() + name, otherRoot() + u"taken.mp3"_s);
        ASSERT_FALSE(moved.isOk()) << name.toStdString();
        EXPECT_EQ(moved.error().code, FsErrorCode::AlreadyExists);
    }
    EXPECT_EQ(tree_.entries(), (QStringList{u"a.mp3"_s, u"link.mp3"_s}));
    EXPECT_EQ(tree_.readFile(u"a.mp3"_s), QByteArray("source"));
    const FsResult<FileTail> taken = fs.readTail(otherRoot() + u"taken.mp3"_s, 100);
    ASSERT_TRUE(taken.isOk());
    EXPECT_EQ(taken.value().bytes, QByteArray("taken"));
}

TEST(OtherFullFileSystem, FullTargetLeavesTheSourceAndNothingElse) {
    const TmpfsDir small(1024 * 1024);
    if (!small.hasOwnMount())
        GTEST_SKIP() << "filling a tmpfs needs one of the test's own, which needs root";
    TempTree tree;
    const QByteArray content(2 * 1024 * 1024, 'f');
    tree.writeFile(u"song.mp3"_s, content);

    const FsStatus moved = LocalFileSystem().moveFile(tree.root() + u"song.mp3"_s, small.root());

    ASSERT_FALSE(moved.isOk());
    EXPECT_EQ(moved.error().code, FsErrorCode::NoSpace);
    EXPECT_EQ(moved.error().path, small.root() + u"song.mp3"_s);
    EXPECT_EQ(tree.readFile(u"song.mp3"_s), content);
    EXPECT_EQ(TempTree::entriesOf(small.root()), QStringList());
}

// Reading the tail

struct TailRow {
    const char* name;
    qint64 size;
    qint64 asked;
};

class LocalFileSystemTail : public testing::TestWithParam<TailRow> {};

TEST_P(LocalFileSystemTail, ReadsTheLastBytesAndTheSize) {
    TempTree tree;
    QByteArray content(GetParam().size, Qt::Uninitialized);
    for (qsizetype i = 0; i < content.size(); ++i)
        content[i] = char(i % 256);
    tree.writeFile(u"song.mp3"_s, content);
    tree.makeSymlink(u"song.mp3"_s, u"link.mp3"_s);
    for (const QString& name : {u"song.mp3"_s, u"link.mp3"_s}) {
        const FsResult<FileTail> tail =
            LocalFileSystem().readTail(tree.root() + name, GetParam().asked);
        ASSERT_TRUE(tail.isOk()) << name.toStdString();
        EXPECT_EQ(tail.value().fileSize, GetParam().size);
        EXPECT_EQ(tail.value().bytes, content.right(std::min(GetParam().size, GetParam().asked)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LocalFileSystemTail,
    testing::Values(TailRow{"EmptyFile", 0, 128}, TailRow{"ShorterThanTrailer", 127, 128},
                    TailRow{"ExactlyTrailer", 128, 128}, TailRow{"OneMore", 129, 128},
                    TailRow{"LargeFile", 5 * 1024 * 1024 + 3, 128}, TailRow{"NothingAsked", 200, 0},
                    TailRow{"NegativeAsked", 200, -5}),
    [](const testing::TestParamInfo<TailRow>& info) { return std::string(info.param.name); });

struct TailErrorRow {
    const char* name;
    std::function<void(const TempTree&)> prepare;
    QString path;
    FsErrorCode code;
};

class LocalFileSystemTailError : public testing::TestWithParam<TailErrorRow> {};

TEST_P(LocalFileSystemTailError, Fails) {
    TempTree tree;
    GetParam().prepare(tree);
    const FsResult<FileTail> tail = LocalFileSystem().readTail(tree.root() + GetParam().path, 128);
    ASSERT_FALSE(tail.isOk());
    EXPECT_EQ(tail.error().code, GetParam().code);
    EXPECT_EQ(tail.error().path, tree.root() + GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LocalFileSystemTailError,
    testing::Values(
        TailErrorRow{"Missing", [](const TempTree&) {}, u"a.mp3"_s, FsErrorCode::NotFound},
        TailErrorRow{"Directory", [](const TempTree& t) { t.makeDir(u"d"_s); }, u"d"_s,
                     FsErrorCode::NotAFile},
        TailErrorRow{"FifoDoesNotBlock", [](const TempTree& t) { makeFifo(t.root() + u"f"_s); },
                     u"f"_s, FsErrorCode::NotAFile},
        TailErrorRow{"BrokenLink", [](const TempTree& t) { t.makeSymlink(u"x"_s, u"l"_s); }, u"l"_s,
                     FsErrorCode::NotFound}),
    [](const testing::TestParamInfo<TailErrorRow>& info) { return std::string(info.param.name); });

// Creating directories

TEST(LocalFileSystemCreate, CreatesOnceThenReportsExisting) {
    TempTree tree;
    LocalFileSystem fs;
    ASSERT_TRUE(fs.createDirectory(tree.root() + u"Out"_s));
    const std::optional<struct stat> info = lstatOf(tree.root() + u"Out"_s);
    ASSERT_TRUE(info.has_value());
    EXPECT_TRUE(S_ISDIR(info->st_mode));
    const FsStatus again = fs.createDirectory(tree.root() + u"Out"_s);
    ASSERT_FALSE(again.isOk());
    EXPECT_EQ(again.error().code, FsErrorCode::AlreadyExists);
}

TEST(LocalFileSystemCreate, MissingParentIsNotFound) {
    TempTree tree;
    const FsStatus created = LocalFileSystem().createDirectory(tree.root() + u"a/b"_s);
    ASSERT_FALSE(created.isOk());
    EXPECT_EQ(created.error().code, FsErrorCode::NotFound);
    EXPECT_EQ(tree.entries(), QStringList());
}

} // namespace
