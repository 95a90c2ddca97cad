#include "core/fs/DirectoryVolume.h"

#include "core/fs/NameCodec.h"
#include "core/fs/SystemError.h"

#include <cstring>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>

FsResult<DirectoryVolume> volumeOfDirectory(const QByteArray& directory) {
    const QByteArray path = directory.isEmpty() ? QByteArrayLiteral("./") : directory;
    struct statfs volume;
    struct stat info;
    if (::statfs(path.constData(), &volume) != 0 || ::stat(path.constData(), &info) != 0)
        return systemError(decodeFileName(directory));
    quint64 id = 0;
    static_assert(sizeof volume.f_fsid == sizeof id);
    std::memcpy(&id, &volume.f_fsid, sizeof id);
    // A file system without an id of its own is known by its device.
    if (id == 0)
        id = quint64(info.st_dev);
    switch (volume.f_type) {
    case MSDOS_SUPER_MAGIC:
    case EXFAT_SUPER_MAGIC:
    case FUSE_SUPER_MAGIC:
    case OVERLAYFS_SUPER_MAGIC:
    case CIFS_SUPER_MAGIC:
    case SMB2_SUPER_MAGIC:
        return DirectoryVolume{id, false};
    default:
        return DirectoryVolume{id, true};
    }
}
