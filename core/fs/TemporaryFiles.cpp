#include "core/fs/TemporaryFiles.h"

#include "core/fs/Descriptor.h"

#include <QList>
#include <QRandomGenerator>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <set>
#include <tuple>

namespace {

const QByteArray prefix = QByteArrayLiteral(".tessavo-");
const QByteArray earlierJoinPrefix = QByteArrayLiteral(".tessavo-join-");
const QByteArray suffix = QByteArrayLiteral(".part");
constexpr int maxHexDigits = 16;
constexpr int nameAttempts = 100;

bool isLowerHex(const QByteArray& text) {
    if (text.isEmpty() || text.size() > maxHexDigits)
        return false;
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

// Whether `path` still names the file open as `fd`: a writer and a remover
// each check it after taking the lock, since the other may have come first.
bool stillNamed(int fd, const QByteArray& path) {
    struct stat open;
    struct stat named;
    return ::fstat(fd, &open) == 0 && ::lstat(path.constData(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// Remembers the directories already cleaned by this process.
bool firstVisit(const QByteArray& directory, const struct stat& info) {
    using Key = std::tuple<QByteArray, dev_t, ino_t>;
    static std::mutex guard;
    static std::set<Key> visited;
    const std::lock_guard lock(guard);
    const Key key{directory, info.st_dev, info.st_ino};
    return visited.insert(key).second;
}

void removeIfUnlocked(const QByteArray& path) {
    const Descriptor file(
        ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.isOpen())
        return;
    struct stat info;
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return;
    // A writer holds the lock for as long as it lives.
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
        return;
    if (stillNamed(file.get(), path))
        ::unlink(path.constData());
}

} // namespace

bool isTemporaryName(const QByteArray& name) {
    if (!name.startsWith(prefix) || !name.endsWith(suffix))
        return false;
    const qsizetype start =
        name.startsWith(earlierJoinPrefix) ? earlierJoinPrefix.size() : prefix.size();
    return isLowerHex(name.mid(start, name.size() - start - suffix.size()));
}

int createLockedTemporary(const QByteArray& directory, mode_t mode, QByteArray& path) {
    for (int attempt = 0; attempt < nameAttempts; ++attempt) {
        path = directory + prefix +
               QByteArray::number(QRandomGenerator::system()->generate64(), 16)
                   .rightJustified(maxHexDigits, '0') +
               suffix;
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return -1;
        }
        // A file system without locks leaves the file unlocked; no remover
        // can lock it either, so it stays until it is named.
        const bool lockedByOther = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        if (!lockedByOther && stillNamed(fd, path))
            return fd;
        // A remover took the fresh file for a left-over; it removes it.
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

void removeStaleTemporaries(const QByteArray& directory) {
    struct stat info;
    if (::stat(directory.constData(), &info) != 0 || !firstVisit(directory, info))
        return;
    DIR* handle = ::opendir(directory.constData());
    if (!handle)
        return;
    QList<QByteArray> candidates;
    while (const dirent* entry = ::readdir(handle)) {
        const QByteArray name(entry->d_name);
        if (isTemporaryName(name))
            candidates.append(directory + name);
    }
    ::closedir(handle);
    for (const QByteArray& path : candidates)
        removeIfUnlocked(path);
}
