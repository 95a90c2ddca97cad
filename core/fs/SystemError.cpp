#include "core/fs/SystemError.h"

FsErrorCode fsErrorCodeOf(int systemError) {
    switch (systemError) {
    case EEXIST:
    case ENOTEMPTY:
        return FsErrorCode::AlreadyExists;
    case ENOENT:
    case ENOTDIR:
        return FsErrorCode::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return FsErrorCode::AccessDenied;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return FsErrorCode::InvalidName;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FsErrorCode::NoSpace;
    case EISDIR:
        return FsErrorCode::NotAFile;
    default:
        return FsErrorCode::Other;
    }
}
