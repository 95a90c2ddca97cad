#include "core/fs/DirectorySync.h"

#include "core/fs/Descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

bool syncDirectory(const QByteArray& directory) {
    Descriptor handle(::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!handle.isOpen())
        return false;
    if (::fsync(handle.get()) != 0 && errno != EINVAL)
        return false;
    return true;
}
