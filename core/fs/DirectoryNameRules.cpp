#include "core/fs/DirectoryNameRules.h"

#include "core/fs/Descriptor.h"
#include "core/fs/NameCodec.h"
#include "core/fs/SystemError.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr long msdosMagic = 0x4d44;
constexpr long exfatMagic = 0x2011bab0;
constexpr long fuseMagic = 0x65735546;
constexpr long overlayMagic = 0x794c7630;
constexpr long cifsMagic = 0xff534d42;
constexpr long smb2Magic = 0xfe534d42;

NameRules fatRules(const QString& fileSystemName) {
    return {true, fileSystemName};
}

// The type and the source of the mount that holds the device `device`.
struct MountEntry {
    QByteArray type;
    QByteArray source;
};

std::optional<MountEntry> mountOf(dev_t device) {
    QFile mountInfo(u"/proc/self/mountinfo"_s);
    if (!mountInfo.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray wanted =
        QByteArray::number(major(device)) + ':' + QByteArray::number(minor(device));
    std::optional<MountEntry> found;
    // "id parent major:minor root mountpoint options [optional...] - type source options";
    // a later mount of the same device hides an earlier one.
    for (const QByteArray& line : mountInfo.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype separator = fields.indexOf("-");
        if (fields.size() > 2 && fields[2] == wanted && separator > 0 &&
            separator + 2 < fields.size())
            found = MountEntry{fields[separator + 1], fields[separator + 2]};
    }
    return found;
}

// FAT or exFAT as the boot sector of a block device shows it, where the
// device can be read; empty otherwise.
QString fatKindOnDevice(const QByteArray& device) {
    const Descriptor handle(::open(device.constData(), O_RDONLY | O_CLOEXEC));
    char sector[90];
    if (!handle.isOpen() || ::pread(handle.get(), sector, sizeof sector, 0) != sizeof sector)
        return {};
    const QByteArrayView bytes(sector, sizeof sector);
    if (bytes.sliced(3, 8) == "EXFAT   ")
        return u"exFAT"_s;
    if (bytes.sliced(82, 5) == "FAT32" || bytes.sliced(54, 3) == "FAT")
        return u"FAT"_s;
    return {};
}

// Whether the file system refuses a name with a character that FAT
// refuses; a name it takes is removed at once.
bool refusesFatCharacters(const QByteArray& directory) {
    const QByteArray probe = directory + ".tessavo-probe-" +
                             QByteArray::number(QRandomGenerator::global()->generate(), 16) + '?';
    const int fd = ::open(probe.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        ::unlink(probe.constData());
        return false;
    }
    // FUSE's FAT drivers answer EPERM, exFAT's ENOENT, others EINVAL or EILSEQ.
    return errno == EPERM || errno == ENOENT || errno == EINVAL || errno == EILSEQ;
}

NameRules fuseRules(const QByteArray& directory, dev_t device) {
    const std::optional<MountEntry> mount = mountOf(device);
    if (!mount)
        return {};
    const QByteArray& type = mount->type;
    if (type.endsWith(".fusefat") || type.endsWith(".vfat") || type.endsWith(".msdos"))
        return fatRules(u"FAT"_s);
    if (type.endsWith(".exfat"))
        return fatRules(u"exFAT"_s);
    if (type != "fuse" && type != "fuseblk")
        return {};
    if (!refusesFatCharacters(directory))
        return {};
    return fatRules(type == "fuseblk" ? fatKindOnDevice(mount->source) : QString());
}

} // namespace

NameRules nameRulesOf(const QByteArray& directory) {
    const QByteArray path = directory.isEmpty() ? QByteArrayLiteral("./") : directory;
    struct statfs volume;
    struct stat info;
    if (::statfs(path.constData(), &volume) != 0 || ::stat(path.constData(), &info) != 0)
        return {};
    switch (volume.f_type) {
    case msdosMagic:
        return fatRules(u"FAT"_s);
    case exfatMagic:
        return fatRules(u"exFAT"_s);
    case fuseMagic:
        return fuseRules(path.endsWith('/') ? path : path + '/', info.st_dev);
    default:
        return {};
    }
}

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
