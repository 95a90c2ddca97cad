#include "platform/LocalFileSystem.h"

#include "platform/Descriptor.h"
#include "platform/DirectorySync.h"
#include "platform/FileNameRules.h"
#include "platform/NameCodec.h"
#include "platform/NaturalOrder.h"
#include "platform/SystemError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace {

FsError invalidName(const QString& path) {
    return {FsErrorCode::InvalidName, path, 0};
}

// The bytes the system sees for a path; none when it holds a NUL, which the
// system would take as the end of a shorter path.
std::optional<QByteArray> systemPath(const QString& path) {
    QByteArray bytes = encodeFileName(path);
    if (bytes.contains('\0'))
        return std::nullopt;
    return bytes;
}

// A directory string as the system sees it; the empty one is the working
// directory.
std::optional<QByteArray> directoryPath(const QString& directory) {
    return directory.isEmpty() ? QByteArrayLiteral(".") : systemPath(directory);
}

// Errors that mean "no ordinary file here" rather than "cannot tell": a
// missing entry, a path through a non-directory, a broken or looping link.
bool meansAbsent(int error) {
    return error == ENOENT || error == ENOTDIR || error == ELOOP;
}

// Whether a directory entry is an ordinary file. An entry that cannot be
// examined sets `error` instead of being left out silently.
bool isOrdinaryEntry(int directoryFd, const dirent* entry, int& error) {
    if (entry->d_type == DT_REG)
        return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return false;
    struct stat info;
    if (::fstatat(directoryFd, entry->d_name, &info, 0) == 0)
        return S_ISREG(info.st_mode);
    if (!meansAbsent(errno))
        error = errno;
    return false;
}

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray lastComponent(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// Whether two paths name the very same directory entry.
bool isSameEntry(const QByteArray& from, const QByteArray& to) {
    if (lastComponent(from) != lastComponent(to))
        return false;
    struct stat a;
    struct stat b;
    return ::stat(parentOf(from).constData(), &a) == 0 &&
           ::stat(parentOf(to).constData(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

FsStatus copyBytes(int in, int out, const QString& from, const QString& to) {
    for (;;) {
        const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (copied == 0)
            return FsStatus::success();
        if (copied > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return FsStatus::failure(systemError(to));
        break;
    }
    std::vector<char> buffer(size_t(1) << 20);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got == 0)
            return FsStatus::success();
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return FsStatus::failure(systemError(from));
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t put = ::write(out, buffer.data() + written, size_t(got - written));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return FsStatus::failure(systemError(to));
            }
            written += put;
        }
    }
}

// File systems such as FAT cannot store every mode or time; a copy there is
// still a good copy, so only real failures count.
bool attributeUnsupported(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS;
}

FsStatus keepModeAndTimes(int fd, const struct stat& info, const QString& path) {
    if (::fchmod(fd, info.st_mode & 07777) != 0 && !attributeUnsupported(errno))
        return FsStatus::failure(systemError(path));
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (::futimens(fd, times) != 0 && !attributeUnsupported(errno))
        return FsStatus::failure(systemError(path));
    return FsStatus::success();
}

// Copies a regular file to a new name that must not exist yet, flushes it
// and checks its size; on any failure the partial copy is removed.
FsStatus copyRegularFile(const QByteArray& from, const QByteArray& to, const struct stat& info,
                         const QString& fromName, const QString& toName) {
    Descriptor in(::open(from.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!in.isOpen())
        return FsStatus::failure(systemError(fromName));
    Descriptor out(
        ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777));
    if (!out.isOpen())
        return FsStatus::failure(systemError(toName));
    auto abandon = [&](FsStatus status) {
        out.close();
        ::unlink(to.constData());
        return status;
    };
    if (FsStatus copied = copyBytes(in.get(), out.get(), fromName, toName); !copied)
        return abandon(copied);
    if (FsStatus kept = keepModeAndTimes(out.get(), info, toName); !kept)
        return abandon(kept);
    struct stat written;
    if (::fsync(out.get()) != 0)
        return abandon(FsStatus::failure(systemError(toName)));
    if (::fstat(out.get(), &written) != 0 || written.st_size != info.st_size)
        return abandon(FsStatus::failure({FsErrorCode::VerifyFailed, toName, 0}));
    if (!out.close()) {
        ::unlink(to.constData());
        return FsStatus::failure(systemError(toName));
    }
    return FsStatus::success();
}

// A move by copying, for where rename and link cannot be used: across file
// systems, or on file systems without hard links.
FsStatus moveByCopy(const QByteArray& from, const QByteArray& to, const QString& fromName,
                    const QString& toName) {
    struct stat info;
    if (::lstat(from.constData(), &info) != 0)
        return FsStatus::failure(systemError(fromName));
    if (S_ISLNK(info.st_mode)) {
        // One byte more than the link claims to hold shows a link that grew.
        QByteArray target(info.st_size > 0 ? info.st_size + 1 : 4096, Qt::Uninitialized);
        const ssize_t length = ::readlink(from.constData(), target.data(), size_t(target.size()));
        if (length < 0)
            return FsStatus::failure(systemError(fromName));
        if (length >= target.size())
            return FsStatus::failure({FsErrorCode::VerifyFailed, fromName, 0});
        target.truncate(length);
        if (::symlink(target.constData(), to.constData()) != 0)
            return FsStatus::failure(systemError(toName));
    } else if (S_ISREG(info.st_mode)) {
        if (FsStatus copied = copyRegularFile(from, to, info, fromName, toName); !copied)
            return copied;
    } else {
        return FsStatus::failure({FsErrorCode::NotAFile, fromName, 0});
    }
    // The new entry must be durable before the source goes away, so that a
    // crash cannot leave neither.
    if (!syncDirectory(parentOf(to))) {
        const FsError error = systemError(toName);
        ::unlink(to.constData());
        return FsStatus::failure(error);
    }
    if (::unlink(from.constData()) != 0) {
        const FsError error = systemError(fromName);
        ::unlink(to.constData());
        return FsStatus::failure(error);
    }
    return FsStatus::success();
}

bool flagRefused(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

bool linkRefused(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == EMLINK || error == ENOSYS;
}

} // namespace

FsResult<QStringList> LocalFileSystem::listFiles(const QString& directory) const {
    const std::optional<QByteArray> path = directoryPath(directory);
    if (!path)
        return invalidName(directory);
    DIR* handle = ::opendir(path->constData());
    if (!handle)
        return systemError(directory);
    QStringList names;
    errno = 0;
    while (const dirent* entry = ::readdir(handle)) {
        int entryError = 0;
        if (entry->d_name[0] != '.' && isOrdinaryEntry(::dirfd(handle), entry, entryError))
            names.append(decodeFileName(QByteArray(entry->d_name)));
        if (entryError != 0) {
            const QString path = directory + decodeFileName(QByteArray(entry->d_name));
            ::closedir(handle);
            return systemError(path, entryError);
        }
        errno = 0;
    }
    const int readError = errno;
    ::closedir(handle);
    if (readError != 0)
        return systemError(directory, readError);
    sortNaturally(names);
    return names;
}

FsResult<QStringList> LocalFileSystem::listEntries(const QString& directory) const {
    const std::optional<QByteArray> path = directoryPath(directory);
    if (!path)
        return invalidName(directory);
    DIR* handle = ::opendir(path->constData());
    if (!handle)
        return systemError(directory);
    QStringList names;
    errno = 0;
    while (const dirent* entry = ::readdir(handle)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
            names.append(decodeFileName(QByteArray(name)));
        errno = 0;
    }
    const int readError = errno;
    ::closedir(handle);
    if (readError != 0)
        return systemError(directory, readError);
    return names;
}

FsResult<bool> LocalFileSystem::isSameDirectory(const QString& first, const QString& second) const {
    const auto identity = [](const QString& directory) -> FsResult<std::pair<dev_t, ino_t>> {
        const std::optional<QByteArray> path = directoryPath(directory);
        if (!path)
            return invalidName(directory);
        struct stat info;
        if (::stat(path->constData(), &info) != 0)
            return systemError(directory);
        return std::pair(info.st_dev, info.st_ino);
    };
    const auto a = identity(first);
    if (!a)
        return a.error();
    const auto b = identity(second);
    if (!b)
        return b.error();
    return a.value() == b.value();
}

FsResult<bool> LocalFileSystem::fileExists(const QString& path) const {
    const std::optional<QByteArray> bytes = systemPath(path);
    if (!bytes)
        return invalidName(path);
    struct stat info;
    if (::stat(bytes->constData(), &info) == 0)
        return bool(S_ISREG(info.st_mode));
    if (meansAbsent(errno))
        return false;
    return systemError(path);
}

FsStatus LocalFileSystem::moveFile(const QString& from, const QString& to) {
    const std::optional<QByteArray> sourcePath = systemPath(from);
    if (!sourcePath)
        return FsStatus::failure(invalidName(from));
    const std::optional<QByteArray> targetPath = systemPath(to);
    if (!targetPath)
        return FsStatus::failure(invalidName(to));
    const QByteArray& source = *sourcePath;
    QByteArray target = *targetPath;
    if (to.isEmpty() || to.endsWith(directorySeparator()))
        target += lastComponent(source);

    // The source's type is not examined again: the caller listed it as a
    // file, and a look of our own would cost a tenth of the time of a rename
    // in a large directory without closing the gap after the look.
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return FsStatus::success();
    int error = errno;
    if (error == EEXIST && isSameEntry(source, target))
        return FsStatus::success();
    // Only a move that did not simply work needs the target's name for a message.
    const QString targetName = decodeFileName(target);
    if (flagRefused(error)) {
        if (::link(source.constData(), target.constData()) == 0) {
            if (::unlink(source.constData()) == 0)
                return FsStatus::success();
            const FsError unlinkError = systemError(from);
            ::unlink(target.constData());
            return FsStatus::failure(unlinkError);
        }
        error = errno;
        if (error == EEXIST && isSameEntry(source, target))
            return FsStatus::success();
        if (linkRefused(error))
            return moveByCopy(source, target, from, targetName);
    }
    if (error == EXDEV)
        return moveByCopy(source, target, from, targetName);
    // Name the path that is at fault: the source when it is gone.
    struct stat info;
    const bool sourceMissing = error == ENOENT && ::lstat(source.constData(), &info) != 0;
    return FsStatus::failure(systemError(sourceMissing ? from : targetName, error));
}

FsResult<FileTail> LocalFileSystem::readTail(const QString& path, qint64 length) const {
    const std::optional<QByteArray> bytes = systemPath(path);
    if (!bytes)
        return invalidName(path);
    // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below.
    Descriptor file(::open(bytes->constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.isOpen())
        return systemError(path);
    struct stat info;
    if (::fstat(file.get(), &info) != 0)
        return systemError(path);
    if (!S_ISREG(info.st_mode))
        return FsError{FsErrorCode::NotAFile, path, 0};
    FileTail tail;
    tail.fileSize = info.st_size;
    const qint64 wanted = std::clamp<qint64>(length, 0, info.st_size);
    tail.bytes.resize(wanted);
    qint64 done = 0;
    while (done < wanted) {
        const ssize_t got = ::pread(file.get(), tail.bytes.data() + done, size_t(wanted - done),
                                    info.st_size - wanted + done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return systemError(path);
        if (got == 0)
            return FsError{FsErrorCode::TooShort, path, 0};
        done += got;
    }
    return tail;
}

FsStatus LocalFileSystem::createDirectory(const QString& path) {
    const std::optional<QByteArray> bytes = systemPath(path);
    if (!bytes)
        return FsStatus::failure(invalidName(path));
    if (::mkdir(bytes->constData(), 0777) != 0)
        return FsStatus::failure(systemError(path));
    return FsStatus::success();
}
