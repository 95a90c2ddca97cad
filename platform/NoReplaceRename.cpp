#include "platform/NoReplaceRename.h"

#include "platform/WriteSteps.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool flagRefused(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

bool linkRefused(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == EMLINK || error == ENOSYS;
}

} // namespace

RenameOutcome renameWithoutReplacing(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return {};
    if (!flagRefused(errno))
        return {errno};
    if (::link(from, to) == 0) {
        reachedWriteStep(WriteStep::Linked);
        if (::unlink(from) == 0)
            return {};
        const int error = errno;
        ::unlink(to);
        return {error, true};
    }
    if (!linkRefused(errno))
        return {errno};
    struct stat taken;
    if (::lstat(to, &taken) == 0)
        return {EEXIST};
    if (errno != ENOENT)
        return {errno};
    reachedWriteStep(WriteStep::NameFree);
    if (::rename(from, to) != 0)
        return {errno};
    return {};
}
