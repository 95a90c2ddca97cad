#include "platform/LocalFileJoiner.h"

#include "platform/Descriptor.h"
#include "platform/DirectorySync.h"
#include "platform/NameCodec.h"
#include "platform/SystemError.h"

#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace {

constexpr qsizetype bufferSize = 1024 * 1024;
// copy_file_range moves at most this much in one call.
constexpr size_t rangeChunk = 1024 * 1024 * 1024;
constexpr int temporaryNameAttempts = 100;

bool isOutputSideError(int error) {
    return error == ENOSPC || error == EDQUOT || error == EFBIG;
}

struct Output {
    int fd;
    const QString& path;
};

FsStatus writeAll(const Output& output, const char* data, qsizetype length) {
    while (length > 0) {
        const ssize_t written = ::write(output.fd, data, size_t(length));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return FsStatus::failure(systemError(output.path));
        }
        data += written;
        length -= written;
    }
    return FsStatus::success();
}

// Lets the kernel copy what it can; false when the buffered copy has to take
// over (unsupported, or an error whose side only the buffered copy can tell).
bool copyInKernel(int input, const Output& output, qint64 size, FsStatus& failure) {
    qint64 copied = 0;
    while (copied < size) {
        const ssize_t moved = ::copy_file_range(input, nullptr, output.fd, nullptr, rangeChunk, 0);
        if (moved > 0) {
            copied += moved;
            continue;
        }
        if (moved == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (isOutputSideError(errno)) {
            failure = FsStatus::failure(systemError(output.path));
            return true;
        }
        return false;
    }
    return true;
}

FsStatus appendFile(const QString& inputPath, const Output& output,
                    std::unique_ptr<char[]>& buffer) {
    const Descriptor input(::open(encodeFileName(inputPath).constData(), O_RDONLY | O_CLOEXEC));
    if (!input.isOpen())
        return FsStatus::failure(systemError(inputPath));
    struct stat info;
    if (::fstat(input.get(), &info) != 0)
        return FsStatus::failure(systemError(inputPath));
    if (!S_ISREG(info.st_mode))
        return FsStatus::failure({FsErrorCode::NotAFile, inputPath, 0});

    if (info.st_size > 0) {
        FsStatus kernelCopy = FsStatus::success();
        if (copyInKernel(input.get(), output, info.st_size, kernelCopy) && !kernelCopy)
            return kernelCopy;
    }

    // Whatever the kernel did not copy, up to the real end of the file.
    if (!buffer)
        buffer = std::make_unique<char[]>(bufferSize);
    for (;;) {
        const ssize_t got = ::read(input.get(), buffer.get(), bufferSize);
        if (got == 0)
            return FsStatus::success();
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return FsStatus::failure(systemError(inputPath));
        }
        if (FsStatus written = writeAll(output, buffer.get(), got); !written)
            return written;
    }
}

QByteArray directoryOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return path.left(slash + 1);
}

// A new, empty, hidden file beside the output; it is never listed as an input.
int createTemporary(const QByteArray& directory, QByteArray& temporaryPath) {
    for (int attempt = 0; attempt < temporaryNameAttempts; ++attempt) {
        temporaryPath = directory + QByteArrayLiteral(".tessavo-join-") +
                        QByteArray::number(QRandomGenerator::global()->generate64(), 16) +
                        QByteArrayLiteral(".part");
        const int fd =
            ::open(temporaryPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// Gives the finished file its name; fails rather than replace anything.
bool linkWithoutReplacing(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    if (::link(from.constData(), to.constData()) != 0)
        return false;
    ::unlink(from.constData());
    return true;
}

} // namespace

FsResult<qint64> LocalFileJoiner::fileSize(const QString& path) const {
    struct stat info;
    if (::stat(encodeFileName(path).constData(), &info) != 0)
        return systemError(path);
    if (!S_ISREG(info.st_mode))
        return FsError{FsErrorCode::NotAFile, path, 0};
    return qint64(info.st_size);
}

FsStatus LocalFileJoiner::joinFiles(const QStringList& inputs, const QString& output) {
    const QByteArray outputPath = encodeFileName(output);
    const QByteArray directory = directoryOf(outputPath);
    QByteArray temporaryPath;
    Descriptor temporary(createTemporary(directory, temporaryPath));
    if (!temporary.isOpen())
        return FsStatus::failure(systemError(output));

    const auto discard = [&temporary, &temporaryPath](FsStatus status) {
        if (temporary.isOpen())
            temporary.close();
        ::unlink(temporaryPath.constData());
        return status;
    };

    const Output target{temporary.get(), output};
    std::unique_ptr<char[]> buffer;
    for (const QString& input : inputs) {
        if (FsStatus appended = appendFile(input, target, buffer); !appended)
            return discard(appended);
    }
    if (::fsync(temporary.get()) != 0)
        return discard(FsStatus::failure(systemError(output)));
    if (!temporary.close())
        return discard(FsStatus::failure(systemError(output)));
    if (!linkWithoutReplacing(temporaryPath, outputPath))
        return discard(FsStatus::failure(systemError(output)));
    // The bytes are safe only once the new name is on the disk as well.
    if (!syncDirectory(directory))
        return FsStatus::failure(systemError(output));
    return FsStatus::success();
}
