#include "core/fs/LocalFileSystem.h"

#include "core/fs/Descriptor.h"
#include "core/fs/DirectorySync.h"
#include "core/fs/DirectoryTargetRules.h"
#include "core/fs/DirectoryVolume.h"
#include "core/fs/FileCopy.h"
#include "core/fs/FileNameRules.h"
#include "core/fs/NameCodec.h"
#include "core/fs/NaturalOrder.h"
#include "core/fs/NoReplaceRename.h"
#include "core/fs/StagedFile.h"
#include "core/fs/SystemError.h"
#include "core/fs/WriteSteps.h"
#include "core/run/HandOver.h"
#include "core/run/TwoHalves.h"
#include "core/run/WhileWaiting.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace {

// From how many files on an undo's checks run on two threads.
constexpr qsizetype identitiesCheckedInHalves = 4096;
// From how many bytes of names on a listing decodes them on two threads.
constexpr qsizetype bytesDecodedInHalves = 256 * 1024;
// How many bytes of names a rename run's listing reads before it hands them
// over to be decoded and keyed.
constexpr qsizetype bytesHandedOver = 64 * 1024;

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

// Copies a regular file to a new name that must not exist yet; the copy gets
// the name only once its bytes are complete and on the disk.
FsStatus copyRegularFile(const QByteArray& from, const QByteArray& to, const struct stat& info,
                         const QString& fromName, const QString& toName) {
    const Descriptor in(::open(from.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!in.isOpen())
        return FsStatus::failure(systemError(fromName));
    StagedFile copy(to, toName);
    if (FsStatus created = copy.create(info.st_mode & 07777); !created)
        return created;
    const CopyEnd target{copy.descriptor(), toName};
    if (FsStatus copied = copyToEnd({in.get(), fromName}, target, info.st_size); !copied)
        return copied;
    if (FsStatus kept = keepModeAndTimes(copy.descriptor(), info, toName); !kept)
        return kept;
    struct stat written;
    if (::fstat(copy.descriptor(), &written) != 0 || written.st_size != info.st_size)
        return FsStatus::failure({FsErrorCode::VerifyFailed, toName, 0});
    return copy.commit();
}

// Copies a link as a link. symlink() never replaces, and a link has its whole
// target from the start; only its name still has to reach the disk.
FsStatus copyLink(const QByteArray& from, const QByteArray& to, const struct stat& info,
                  const QString& fromName, const QString& toName) {
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
    reachedWriteStep(WriteStep::Named);
    if (!syncDirectory(parentOf(to)))
        return FsStatus::failure({FsErrorCode::NotFlushed, toName, errno});
    reachedWriteStep(WriteStep::NameFlushed);
    return FsStatus::success();
}

// A move by copying, for a move to another file system. The source goes only
// once its copy is on the disk under the new name, so that a crash at any
// point leaves the source, or the whole copy, or both.
FsStatus moveByCopy(const QByteArray& from, const QByteArray& to, const QString& fromName,
                    const QString& toName) {
    struct stat info;
    if (::lstat(from.constData(), &info) != 0)
        return FsStatus::failure(systemError(fromName));
    FsStatus copied = FsStatus::success();
    if (S_ISLNK(info.st_mode))
        copied = copyLink(from, to, info, fromName, toName);
    else if (S_ISREG(info.st_mode))
        copied = copyRegularFile(from, to, info, fromName, toName);
    else
        return FsStatus::failure({FsErrorCode::NotAFile, fromName, 0});
    if (!copied)
        return copied;
    if (::unlink(from.constData()) != 0) {
        const FsError error = systemError(fromName);
        ::unlink(to.constData());
        return FsStatus::failure(error);
    }
    reachedWriteStep(WriteStep::SourceRemoved);
    return FsStatus::success();
}

// The names of a directory's entries, "." and ".." aside, that `take(dirfd,
// entry, error)` accepts, as they are on the disk, each ended by a NUL; an
// entry it could not examine sets `error` and fails the whole listing rather
// than being left out silently. Only bytes are gathered here, so that a
// listing read on another thread hands over plain buffers.
// With `inodes`, each name's inode number is appended there. With
// `handOver`, the names gathered are handed over whenever they fill
// bytesHandedOver, and only the last of them are returned.
template <typename Take>
FsResult<QByteArray> readEntries(const QString& directory, Take take,
                                 std::vector<quint64>* inodes = nullptr,
                                 const std::function<void(QByteArray)>& handOver = {}) {
    const std::optional<QByteArray> path = directoryPath(directory);
    if (!path)
        return invalidName(directory);
    DIR* handle = ::opendir(path->constData());
    if (!handle)
        return systemError(directory);
    QByteArray names;
    errno = 0;
    while (const dirent* entry = ::readdir(handle)) {
        const char* name = entry->d_name;
        int entryError = 0;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0 &&
            take(::dirfd(handle), entry, entryError)) {
            names.append(name, qsizetype(std::strlen(name)) + 1);
            if (inodes)
                inodes->push_back(entry->d_ino);
            if (handOver && names.size() >= bytesHandedOver)
                handOver(std::exchange(names, QByteArray()));
        }
        if (entryError != 0) {
            ::closedir(handle);
            return systemError(directory + decodeFileName(QByteArrayView(name)), entryError);
        }
        errno = 0;
    }
    const int readError = errno;
    ::closedir(handle);
    if (readError != 0)
        return systemError(directory, readError);
    return names;
}

// How many names readEntries gathered: the NULs after them, counted eight
// bytes at a time (a byte-wise count cost a fifth of decoding them).
qsizetype nameCount(QByteArrayView entries) {
    constexpr quint64 low7 = 0x7F7F7F7F7F7F7F7Fu;
    const char* bytes = entries.constData();
    const qsizetype size = entries.size();
    qsizetype count = 0;
    qsizetype i = 0;
    for (quint64 word; i + 8 <= size; i += 8) {
        std::memcpy(&word, bytes + i, sizeof word);
        // One in each byte that is 0, and the eight added up in the top byte.
        const quint64 nuls = (~(((word & low7) + low7) | word | low7)) >> 7;
        count += qsizetype((nuls * 0x0101010101010101u) >> 56);
    }
    for (; i < size; ++i)
        count += bytes[i] == '\0';
    return count;
}

// Where the first of the names gathered by readEntries that begins at
// `position` or behind it begins.
qsizetype nameStart(QByteArrayView entries, qsizetype position) {
    while (position > 0 && position < entries.size() && entries[position - 1] != '\0')
        ++position;
    return position;
}

// The names gathered by readEntries, decoded; many of them in two halves at
// once, each name by the half in which it begins.
QStringList decodedEntries(const QByteArray& entries) {
    QStringList names(nameCount(entries));
    QString* const decoded = names.data();
    inTwoHalves(entries.size(), bytesDecodedInHalves, [&](qsizetype from, qsizetype to) {
        const qsizetype first = nameStart(entries, from);
        QString* into = decoded + nameCount(QByteArrayView(entries).first(first));
        for (qsizetype at = first; at < nameStart(entries, to);) {
            const QByteArrayView bytes(entries.constData() + at);
            *into++ = decodeFileName(bytes);
            at += bytes.size() + 1;
        }
    });
    return names;
}

// A directory opened to name its entries relative to it; -1 when it cannot be.
int openDirectory(const QString& directory) {
    const std::optional<QByteArray> path = directoryPath(directory);
    return path ? ::open(path->constData(), O_PATH | O_DIRECTORY | O_CLOEXEC) : -1;
}

// One entry of a directory: not empty, no separator, no NUL. A NUL must
// follow `name`.
bool isEntryName(QByteArrayView name) {
    // strlen reaches the end of the bytes only when none of them is a NUL.
    return !name.isEmpty() && std::strlen(name.constData()) == size_t(name.size()) &&
           !std::memchr(name.constData(), '/', size_t(name.size()));
}

// Moves relative to the two directories' descriptors, opened once: the
// kernel then looks up two names per move instead of two whole paths. Every
// move that does not simply work goes the way of moveFile, which tells why.
class DescriptorMoves final : public DirectoryMoves {
public:
    DescriptorMoves(FileSystem& fileSystem, const QString& fromDir, const QString& toDir)
        : DirectoryMoves(fileSystem, fromDir, toDir), from_(openDirectory(fromDir)),
          to_(openDirectory(toDir)) {}

    FsStatus move(const QString& fromName, const QString& toName) override {
        encodeFileNameInto(fromName, fromBytes_);
        encodeFileNameInto(toName, toBytes_);
        return moveEncoded(fromName, toName, {fromBytes_, toBytes_});
    }

    FsStatus moveEncoded(const QString& fromName, const QString& toName,
                         EncodedNames encoded) override {
        if (from_.isOpen() && to_.isOpen() && isEntryName(encoded.from) &&
            isEntryName(encoded.to) &&
            ::renameat2(from_.get(), encoded.from.constData(), to_.get(), encoded.to.constData(),
                        RENAME_NOREPLACE) == 0)
            return FsStatus::success();
        return DirectoryMoves::move(fromName, toName);
    }

private:
    Descriptor from_;
    Descriptor to_;
    // Reused for every move: encoding costs no allocation.
    QByteArray fromBytes_;
    QByteArray toBytes_;
};

// Opens `path` relative to `directoryFd` and reads its size and last
// `length` bytes. Errors name no path: a check over many files builds the
// path only for the one that fails.
FsResult<FileTail> readTailAt(int directoryFd, const QByteArray& path, qint64 length) {
    // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below.
    Descriptor file(::openat(directoryFd, path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.isOpen())
        return systemError(QString());
    struct stat info;
    if (::fstat(file.get(), &info) != 0)
        return systemError(QString());
    if (!S_ISREG(info.st_mode))
        return FsError{FsErrorCode::NotAFile, {}, 0};
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
            return systemError(QString());
        if (got == 0)
            return FsError{FsErrorCode::TooShort, {}, 0};
        done += got;
    }
    return tail;
}

// The identity of `path` relative to `directoryFd`; errors name no path.
FsResult<FileIdentity> identityAt(int directoryFd, const QByteArray& path) {
    struct statx info;
    if (::statx(directoryFd, path.constData(), AT_SYMLINK_NOFOLLOW,
                STATX_INO | STATX_SIZE | STATX_MTIME | STATX_BTIME, &info) != 0)
        return systemError(QString());
    const auto nanoseconds = [](const statx_timestamp& time) {
        return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
    };
    FileIdentity identity;
    identity.inode = info.stx_ino;
    identity.size = qint64(info.stx_size);
    identity.modifiedNs = nanoseconds(info.stx_mtime);
    if (info.stx_mask & STATX_BTIME)
        identity.bornNs = nanoseconds(info.stx_btime);
    return identity;
}

// A failed move into a name that the target's file system refuses fails
// for that reason, whatever the driver answered (exFAT through FUSE says
// ENOENT, fusefat EPERM, a name too long ENAMETOOLONG).
FsStatus explainRefusedName(FsStatus moved, const QByteArray& target, const QString& targetName) {
    if (moved || moved.error().path != targetName)
        return moved;
    const std::optional<QString> refusal =
        targetRulesOf(parentOf(target) + '/').refusal(decodeFileName(lastComponent(target)));
    if (!refusal)
        return moved;
    return FsStatus::failure(
        {FsErrorCode::InvalidName, targetName, moved.error().systemError, *refusal});
}

FsError naming(FsError error, const QString& path) {
    error.path = path;
    return error;
}

// Tails read relative to the directory's descriptor, opened once; a name
// that is not one plain entry, or a directory that did not open, takes the
// path as readTail does.
class DescriptorTails final : public DirectoryTails {
public:
    DescriptorTails(const FileSystem& fileSystem, const QString& directory)
        : DirectoryTails(fileSystem, directory), directory_(openDirectory(directory)) {}

    FsResult<FileTail> readTail(const QString& name, qint64 length) const override {
        encodeFileNameInto(name, entry_);
        if (!directory_.isOpen() || !isEntryName(entry_))
            return DirectoryTails::readTail(name, length);
        FsResult<FileTail> tail = readTailAt(directory_.get(), entry_, length);
        if (!tail)
            return naming(tail.error(), directory() + name);
        return tail;
    }

private:
    Descriptor directory_;
    // Reused for every file: encoding costs no allocation.
    mutable QByteArray entry_;
};

// The bytes of a directory's ordinary files; with `inodes`, their inode
// numbers too; with `handOver`, handed over as readEntries does.
FsResult<QByteArray> readOrdinaryFiles(const QString& directory, std::vector<quint64>* inodes,
                                       const std::function<void(QByteArray)>& handOver = {}) {
    return readEntries(
        directory,
        [](int directoryFd, const dirent* entry, int& error) {
            return entry->d_name[0] != '.' && isOrdinaryEntry(directoryFd, entry, error);
        },
        inodes, handOver);
}

} // namespace

std::unique_ptr<DirectoryMoves> LocalFileSystem::movesBetween(const QString& fromDir,
                                                              const QString& toDir) {
    return std::make_unique<DescriptorMoves>(*this, fromDir, toDir);
}

FsResult<QStringList> LocalFileSystem::listFiles(const QString& directory) const {
    return listFilesReporting(directory, {});
}

FsResult<QStringList>
LocalFileSystem::listFilesReporting(const QString& directory,
                                    const std::function<void()>& stillReading) const {
    // Only the reading waits for the medium. The names are made and sorted
    // by the calling thread, which then finds them in its own cache and
    // frees them into its own heap (made on the other thread, they cost an
    // ID3 check over 20,000 files about 7 ms).
    const FsResult<QByteArray> entries =
        whileWaiting([&directory] { return readOrdinaryFiles(directory, nullptr); }, stillReading);
    if (!entries)
        return entries.error();
    QStringList names = decodedEntries(entries.value());
    // Making and sorting 100,000 names takes tens of milliseconds; the
    // window repaints between the two.
    if (stillReading)
        stillReading();
    sortNaturally(names);
    return names;
}

FsResult<IdentifiedFiles>
LocalFileSystem::listFilesIdentified(const QString& directory,
                                     const std::function<void()>& stillReading) const {
    // A rename run's listing makes and orders its names on other threads
    // too, in which the window paints: the directory is read on a thread of
    // its own while the names read so far are decoded and keyed, and they
    // are sorted after.
    return whileWaiting(
        [&directory]() -> FsResult<IdentifiedFiles> {
            std::vector<quint64> inodes;
            HandOver<QByteArray> entries;
            FsResult<QByteArray> rest = QByteArray();
            std::jthread reader([&] {
                rest = readOrdinaryFiles(directory, &inodes, [&entries](QByteArray read) {
                    entries.give(std::move(read));
                });
                entries.end();
            });
            NaturalOrdering ordering;
            while (const std::optional<QByteArray> read = entries.take())
                ordering.addEncoded(*read);
            reader.join();
            if (!rest)
                return rest.error();
            ordering.addEncoded(rest.value());
            const std::vector<qsizetype> order = ordering.order();
            QStringList& names = ordering.names();
            IdentifiedFiles files;
            files.names.reserve(names.size());
            files.inodes.reserve(inodes.size());
            for (const qsizetype index : order) {
                files.names.append(std::move(names[index]));
                files.inodes.push_back(inodes[size_t(index)]);
            }
            return files;
        },
        stillReading);
}

FsResult<QStringList> LocalFileSystem::listEntries(const QString& directory) const {
    const FsResult<QByteArray> entries =
        readEntries(directory, [](int, const dirent*, int&) { return true; });
    if (!entries)
        return entries.error();
    return decodedEntries(entries.value());
}

TargetRules LocalFileSystem::targetRules(const QString& directory) const {
    const std::optional<QByteArray> path = systemPath(directory);
    return path ? targetRulesOf(*path) : TargetRules();
}

FsResult<DirectoryVolume> LocalFileSystem::volumeOf(const QString& directory) const {
    const std::optional<QByteArray> path = systemPath(directory);
    if (!path)
        return invalidName(directory);
    return volumeOfDirectory(*path);
}

FsResult<FileIdentity> LocalFileSystem::identityOf(const QString& path) const {
    const std::optional<QByteArray> bytes = systemPath(path);
    if (!bytes)
        return invalidName(path);
    FsResult<FileIdentity> identity = identityAt(AT_FDCWD, *bytes);
    if (!identity)
        return naming(identity.error(), path);
    return identity;
}

std::vector<FsResult<FileIdentity>> LocalFileSystem::identitiesIn(const QString& directory,
                                                                  const QStringList& names) const {
    const Descriptor directoryFd(openDirectory(directory));
    std::vector<FsResult<FileIdentity>> identities(size_t(names.size()), FileIdentity{});
    // A statx waits for the disk as a move does; an undo checks every file
    // before it moves one, so two threads check half each.
    inTwoHalves(names.size(), identitiesCheckedInHalves, [&](qsizetype begin, qsizetype end) {
        QByteArray entry;
        for (qsizetype index = begin; index < end; ++index) {
            FsResult<FileIdentity>& identity = identities[size_t(index)];
            encodeFileNameInto(names[index], entry);
            if (!directoryFd.isOpen() || !isEntryName(entry)) {
                identity = identityOf(directory + names[index]);
                continue;
            }
            identity = identityAt(directoryFd.get(), entry);
            if (!identity)
                identity = naming(identity.error(), directory + names[index]);
        }
    });
    return identities;
}

FsStatus LocalFileSystem::removeUnfinishedTarget(const QString& from, const QString& to) {
    const std::optional<QByteArray> source = systemPath(from);
    const std::optional<QByteArray> target = systemPath(to);
    if (!source || !target)
        return FsStatus::failure(invalidName(source ? to : from));
    struct stat kept;
    struct stat extra;
    if (::lstat(source->constData(), &kept) != 0)
        return FsStatus::failure(systemError(from));
    if (::lstat(target->constData(), &extra) != 0)
        return FsStatus::failure(systemError(to));
    const bool secondName = kept.st_dev == extra.st_dev && kept.st_ino == extra.st_ino;
    const bool reservation = S_ISREG(extra.st_mode) && extra.st_size == 0;
    if (!secondName && !reservation)
        return FsStatus::failure({FsErrorCode::AlreadyExists, to, EEXIST});
    if (::unlink(target->constData()) != 0)
        return FsStatus::failure(systemError(to));
    return FsStatus::success();
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

FsResult<bool> LocalFileSystem::entryExists(const QString& path) const {
    const std::optional<QByteArray> bytes = systemPath(path);
    if (!bytes)
        return invalidName(path);
    // The file system's own lookup finds a name in other case where it
    // ignores case.
    struct stat info;
    if (::lstat(bytes->constData(), &info) == 0)
        return true;
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
    const RenameOutcome renamed = renameWithoutReplacing(source.constData(), target.constData());
    if (renamed.isOk())
        return FsStatus::success();
    const int error = renamed.error;
    if (error == EEXIST && isSameEntry(source, target))
        return FsStatus::success();
    // Only a move that did not simply work needs the target's name for a message.
    const QString targetName = decodeFileName(target);
    if (error == EXDEV)
        return explainRefusedName(moveByCopy(source, target, from, targetName), target, targetName);
    // Name the path that is at fault: the source when it is gone.
    struct stat info;
    const bool sourceMissing =
        renamed.atSource || (error == ENOENT && ::lstat(source.constData(), &info) != 0);
    return explainRefusedName(
        FsStatus::failure(systemError(sourceMissing ? from : targetName, error)), target,
        targetName);
}

FsResult<FileTail> LocalFileSystem::readTail(const QString& path, qint64 length) const {
    const std::optional<QByteArray> bytes = systemPath(path);
    if (!bytes)
        return invalidName(path);
    FsResult<FileTail> tail = readTailAt(AT_FDCWD, *bytes, length);
    if (!tail)
        return naming(tail.error(), path);
    return tail;
}

std::unique_ptr<DirectoryTails> LocalFileSystem::tailsIn(const QString& directory) const {
    return std::make_unique<DescriptorTails>(*this, directory);
}

FsStatus LocalFileSystem::createDirectory(const QString& path) {
    const std::optional<QByteArray> bytes = systemPath(path);
    if (!bytes)
        return FsStatus::failure(invalidName(path));
    if (::mkdir(bytes->constData(), 0777) != 0)
        return FsStatus::failure(systemError(path));
    return FsStatus::success();
}
