#include "core/fs/FileCopy.h"

#include "core/fs/SystemError.h"
#include "core/fs/WriteSteps.h"

#include <cerrno>
#include <unistd.h>

#include <memory>

namespace {

constexpr size_t bufferSize = 1024 * 1024;
// copy_file_range moves at most this much in one call.
constexpr size_t rangeChunk = 1024 * 1024 * 1024;

bool isOutputSideError(int error) {
    return error == ENOSPC || error == EDQUOT || error == EFBIG;
}

FsStatus writeAll(const CopyEnd& output, const char* data, size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(output.fd, data, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return FsStatus::failure(systemError(output.path));
        }
        data += written;
        length -= size_t(written);
    }
    return FsStatus::success();
}

// Lets the kernel copy what it can; false when the buffered copy has to take
// over (unsupported, or an error whose side only the buffered copy can tell).
bool copyInKernel(const CopyEnd& input, const CopyEnd& output, qint64 size, FsStatus& failure) {
    qint64 copied = 0;
    while (copied < size) {
        const ssize_t moved =
            ::copy_file_range(input.fd, nullptr, output.fd, nullptr, rangeChunk, 0);
        if (moved > 0) {
            copied += moved;
            reachedWriteStep(WriteStep::BytesCopied);
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

} // namespace

FsStatus copyToEnd(const CopyEnd& input, const CopyEnd& output, qint64 size) {
    if (size > 0) {
        FsStatus kernelCopy = FsStatus::success();
        if (copyInKernel(input, output, size, kernelCopy) && !kernelCopy)
            return kernelCopy;
    }
    // Whatever the kernel did not copy, up to the real end of the input.
    const auto buffer = std::make_unique_for_overwrite<char[]>(bufferSize);
    for (;;) {
        const ssize_t got = ::read(input.fd, buffer.get(), bufferSize);
        if (got == 0)
            return FsStatus::success();
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return FsStatus::failure(systemError(input.path));
        }
        if (FsStatus written = writeAll(output, buffer.get(), size_t(got)); !written)
            return written;
        reachedWriteStep(WriteStep::BytesCopied);
    }
}
