#include "core/fs/DirectorySync.h"

#include "core/fs/Descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

bool syncDirectory(const QByteArray& directory, int fileInIt) {
    Descriptor handle(::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!handle.isOpen()) {
        if (errno != EACCES)
            return false;
        return fileInIt < 0 || ::syncfs(fileInIt) == 0;
    }
    if (::fsync(handle.get()) != 0 && errno != EINVAL)
        return false;
    return true;
}
