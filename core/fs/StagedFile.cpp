#include "core/fs/StagedFile.h"

#include "core/fs/DirectorySync.h"
#include "core/fs/NoReplaceRename.h"
#include "core/fs/SystemError.h"
#include "core/fs/TemporaryFiles.h"
#include "core/fs/WriteSteps.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace {

QByteArray directoryOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral("./");
    return path.left(slash + 1);
}

// Errors of an O_TMPFILE open that mean the file system has no unnamed files.
bool unnamedFilesRefused(int error) {
    return error == EOPNOTSUPP || error == EISDIR;
}

// Links an unnamed file into its directory; never replaces anything. Linking
// through /proc needs no privilege; AT_EMPTY_PATH serves where /proc is not
// mounted, for a caller with CAP_DAC_READ_SEARCH.
bool linkUnnamed(int fd, const QByteArray& path) {
    const QByteArray procPath = QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(fd);
    if (::linkat(AT_FDCWD, procPath.constData(), AT_FDCWD, path.constData(), AT_SYMLINK_FOLLOW) ==
        0)
        return true;
    if (errno != ENOENT)
        return false;
    return ::linkat(fd, "", AT_FDCWD, path.constData(), AT_EMPTY_PATH) == 0;
}

} // namespace

StagedFile::StagedFile(QByteArray path, QString shownPath)
    : path_(std::move(path)), directory_(directoryOf(path_)), shownPath_(std::move(shownPath)) {}

StagedFile::~StagedFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!temporaryPath_.isEmpty())
        ::unlink(temporaryPath_.constData());
}

FsStatus StagedFile::fail(int error) {
    return FsStatus::failure(systemError(shownPath_, error));
}

FsStatus StagedFile::create(mode_t mode) {
    removeStaleTemporaries(directory_);
    struct stat taken;
    if (::lstat(path_.constData(), &taken) == 0)
        return fail(EEXIST);
    if (errno != ENOENT)
        return fail(errno);
    fd_ = ::open(directory_.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    if (fd_ < 0 && unnamedFilesRefused(errno))
        fd_ = createLockedTemporary(directory_, mode, temporaryPath_);
    if (fd_ < 0)
        return fail(errno);
    reachedWriteStep(WriteStep::TemporaryCreated);
    return FsStatus::success();
}

// Gives the written file its final name; 0 or errno.
int StagedFile::giveName() {
    if (temporaryPath_.isEmpty())
        return linkUnnamed(fd_, path_) ? 0 : errno;
    const RenameOutcome renamed =
        renameWithoutReplacing(temporaryPath_.constData(), path_.constData());
    if (renamed.isOk())
        temporaryPath_.clear();
    return renamed.error;
}

FsStatus StagedFile::commit() {
    if (::fsync(fd_) != 0)
        return fail(errno);
    reachedWriteStep(WriteStep::BytesFlushed);
    if (const int error = giveName(); error != 0)
        return fail(error);
    reachedWriteStep(WriteStep::Named);
    // From here on the file is complete under its name, and it stays
    // whatever fails. After fsync, close has no bytes left to lose; on Linux
    // the descriptor is gone even when close reports EINTR, so it is not
    // retried.
    const bool flushed = syncDirectory(directory_, fd_);
    const int error = errno;
    ::close(std::exchange(fd_, -1));
    if (!flushed)
        return FsStatus::failure({FsErrorCode::NotFlushed, shownPath_, error});
    reachedWriteStep(WriteStep::NameFlushed);
    return FsStatus::success();
}
