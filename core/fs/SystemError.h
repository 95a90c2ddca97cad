#pragma once

#include "core/fs/FsResult.h"

#include <cerrno>

// What an errno value means to the caller of a file operation.
FsErrorCode fsErrorCodeOf(int systemError);

// The error of a failed system call on `path`.
inline FsError systemError(const QString& path, int error = errno) {
    return {fsErrorCodeOf(error), path, error};
}
