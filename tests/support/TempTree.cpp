#include "tests/support/TempTree.h"

#include "core/fs/NameCodec.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {

// Removes a tree by its bytes, unlocking directories on the way in.
void removeTree(const QByteArray& path) {
    struct stat info;
    if (::lstat(path.constData(), &info) != 0)
        return;
    if (!S_ISDIR(info.st_mode)) {
        ::unlink(path.constData());
        return;
    }
    ::chmod(path.constData(), 0700);
    QList<QByteArray> names;
    if (DIR* handle = ::opendir(path.constData())) {
        while (const dirent* entry = ::readdir(handle)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names.append(name);
        }
        ::closedir(handle);
    }
    for (const QByteArray& name : names)
        removeTree(path + '/' + name);
    ::rmdir(path.constData());
}

} // namespace

TempTree::TempTree() {
    EXPECT_TRUE(dir_.isValid());
    // QTemporaryDir cannot remove names that are not valid UTF-8, nor enter
    // directories a test has locked; the destructor removes the tree instead.
    dir_.setAutoRemove(false);
}

TempTree::TempTree(const QString& parentDirectory)
    : dir_(parentDirectory.isEmpty() ? QString()
                                     : parentDirectory + QStringLiteral("/tessavo-test-XXXXXX")) {
    EXPECT_TRUE(dir_.isValid()) << parentDirectory.toStdString();
    dir_.setAutoRemove(false);
}

TempTree::~TempTree() {
    if (dir_.isValid())
        removeTree(encodeFileName(dir_.path()));
}

QString TempTree::root() const {
    return dir_.path() + u'/';
}

QString TempTree::dir(const QString& relative) const {
    if (!exists(relative))
        makeDir(relative);
    return root() + relative + u'/';
}

QByteArray TempTree::path(const QString& relative) const {
    return encodeFileName(root() + relative);
}

void TempTree::writeFile(const QString& relativePath, const QByteArray& bytes) const {
    const int fd = ::open(path(relativePath).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << relativePath.toStdString();
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
}

QByteArray TempTree::readFile(const QString& relativePath) const {
    QByteArray bytes;
    const int fd = ::open(path(relativePath).constData(), O_RDONLY);
    EXPECT_GE(fd, 0) << relativePath.toStdString();
    if (fd < 0)
        return bytes;
    char buffer[65536];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, got);
    ::close(fd);
    return bytes;
}

bool TempTree::exists(const QString& relativePath) const {
    struct stat info;
    return ::lstat(path(relativePath).constData(), &info) == 0;
}

void TempTree::makeDir(const QString& relativePath) const {
    ASSERT_EQ(::mkdir(path(relativePath).constData(), 0755), 0) << relativePath.toStdString();
}

void TempTree::makeSymlink(const QString& target, const QString& relativeLink) const {
    ASSERT_EQ(::symlink(encodeFileName(target).constData(), path(relativeLink).constData()), 0);
}

QStringList TempTree::entries(const QString& relativeDir) const {
    return entriesOf(root() + relativeDir);
}

QStringList TempTree::entriesOf(const QString& directory) {
    QList<QByteArray> raw;
    if (DIR* handle = ::opendir(encodeFileName(directory).constData())) {
        while (const dirent* entry = ::readdir(handle)) {
            const QByteArray name(entry->d_name);
            // FUSE keeps a file replaced right after its close (the empty
            // file a move on FAT reserves its name with) under such a name
            // until the close has reached the driver, which then removes it.
            if (name != "." && name != ".." && !name.startsWith(".fuse_hidden"))
                raw.append(name);
        }
        ::closedir(handle);
    }
    std::sort(raw.begin(), raw.end());
    QStringList names;
    for (const QByteArray& name : raw)
        names.append(decodeFileName(name));
    return names;
}
