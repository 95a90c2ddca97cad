#include "core/fs/NoReplaceRename.h"

#include "core/fs/WriteSteps.h"

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

// The last resort, for file systems with neither the flag nor hard links
// (FAT and exFAT through FUSE). The new name is first created as an empty
// file of our own: a name that is taken fails there with EEXIST, and a name
// that the file system refuses fails there too, before the source is
// touched; fusefat's rename() to such a name drops the source's entry. Only
// then does the plain rename replace that empty file, which nobody else owns.
RenameOutcome renameOntoReservedName(const char* from, const char* to) {
    const int reserved = ::open(to, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (reserved < 0)
        return {errno};
    ::close(reserved);
    reachedWriteStep(WriteStep::NameReserved);
    if (::rename(from, to) == 0)
        return {};
    const int error = errno;
    // Only the empty file of our own goes, and only while the source is
    // still there: a rename that failed part way must not cost the file.
    struct stat source;
    struct stat target;
    if (::lstat(from, &source) == 0 && ::lstat(to, &target) == 0 && S_ISREG(target.st_mode) &&
        target.st_size == 0)
        ::unlink(to);
    return {error};
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
    return renameOntoReservedName(from, to);
}
