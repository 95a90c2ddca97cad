#include "core/fs/DirectoryVolume.h"

#include "core/fs/NameCodec.h"
#include "core/fs/SystemError.h"

#include <cstring>
#include <sys/stat.h>
#include <sys/statfs.h>

namespace {

constexpr long msdosMagic = 0x4d44;
constexpr long exfatMagic = 0x2011bab0;
constexpr long fuseMagic = 0x65735546;
constexpr long overlayMagic = 0x794c7630;
constexpr long cifsMagic = 0xff534d42;
constexpr long smb2Magic = 0xfe534d42;

} // namespace

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
    case msdosMagic:
    case exfatMagic:
    case fuseMagic:
    case overlayMagic:
    case cifsMagic:
    case smb2Magic:
        return DirectoryVolume{id, false};
    default:
        return DirectoryVolume{id, true};
    }
}
