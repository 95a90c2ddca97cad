#include "core/fs/DirectoryTargetRules.h"

#include "core/fs/Descriptor.h"
#include "core/fs/DirectoryProbe.h"
#include "core/fs/MountEntry.h"

#include <QList>

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// FAT and exFAT hold up to 255 UTF-16 units in a long name.
constexpr qsizetype fatLongestName = 255;

void followFatRules(TargetRules& rules, const QString& fileSystemName) {
    rules.fileSystemName = fileSystemName;
    rules.longestName = fatLongestName;
    rules.countsUtf16Units = true;
    rules.fatNames = true;
    rules.folding = NameFolding::SimpleCase;
}

// "FAT32", "FAT16", "FAT12" or "exFAT" as the boot sector of a block device
// shows it, where the device can be read; empty otherwise.
QString fatKindOnDevice(const QByteArray& device) {
    // fusefat names no device ("fusefat"), nor do file systems in memory.
    if (!device.startsWith('/'))
        return {};
    const Descriptor handle(::open(device.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    char sector[90];
    if (!handle.isOpen() || ::pread(handle.get(), sector, sizeof sector, 0) != sizeof sector)
        return {};
    const QByteArrayView bytes(sector, sizeof sector);
    if (bytes.sliced(3, 8) == "EXFAT   ")
        return u"exFAT"_s;
    if (bytes.sliced(82, 5) == "FAT32")
        return u"FAT32"_s;
    if (bytes.sliced(54, 5) == "FAT12" || bytes.sliced(54, 5) == "FAT16")
        return QString::fromLatin1(bytes.sliced(54, 5));
    if (bytes.sliced(54, 3) == "FAT")
        return u"FAT"_s;
    return {};
}

// Whether a kernel's FAT or exFAT converts names from UTF-8 (and so refuses
// bytes that are none).
bool namesInUtf8(const std::optional<MountEntry>& mount) {
    if (!mount)
        return false;
    for (const QByteArray& option : mount->options.split(',')) {
        if (option == "utf8" || option == "utf8=1" || option == "iocharset=utf8")
            return true;
    }
    return false;
}

bool meansUnwritable(int error) {
    return error == EROFS || error == EACCES || error == EPERM;
}

// Why nothing can be written in `path`: a read-only mount (access() lets
// root through one), or no permission. 0 when both allow it.
int unwritableError(const QByteArray& path) {
    struct statvfs volume;
    if (::statvfs(path.constData(), &volume) == 0 && (volume.f_flag & ST_RDONLY) != 0)
        return EROFS;
    if (::access(path.constData(), W_OK | X_OK) != 0 && meansUnwritable(errno))
        return errno;
    return 0;
}

bool hasCaseFolding(const QByteArray& path) {
    const Descriptor directory(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    int flags = 0;
    return directory.isOpen() && ::ioctl(directory.get(), FS_IOC_GETFLAGS, &flags) == 0 &&
           (flags & FS_CASEFOLD_FL) != 0;
}

// A probe name refused: FUSE's FAT drivers answer EPERM, exFAT's ENOENT,
// others EINVAL or EILSEQ.
bool refusesName(int error) {
    return error == EPERM || error == ENOENT || error == EINVAL || error == EILSEQ;
}

// A FUSE driver may refuse to write on a mount the kernel calls writable,
// and says what it is only through the mount's type, where at all.
void examineFuse(TargetRules& rules, const QByteArray& directory,
                 const std::optional<MountEntry>& mount) {
    if (rules.unwritable == 0) {
        const int error = probeNewName(directory);
        if (meansUnwritable(error))
            rules.unwritable = error;
    }
    const bool probing = rules.unwritable == 0;
    const QByteArray type = mount ? mount->type : QByteArrayLiteral("fuse");
    const QString kind = type == "fuseblk" ? fatKindOnDevice(mount->source) : QString();
    if (type.endsWith(".fusefat") || type.endsWith(".vfat") || type.endsWith(".msdos")) {
        followFatRules(rules, u"FAT"_s);
    } else if (type.endsWith(".exfat")) {
        followFatRules(rules, u"exFAT"_s);
    } else if (!kind.isEmpty()) {
        followFatRules(rules, kind);
    } else if ((type == "fuse" || type == "fuseblk") && probing &&
               refusesName(probeNewName(directory, "?"))) {
        followFatRules(rules, QString());
    } else {
        rules.fileSystemName = QString::fromUtf8(type.startsWith("fuse.") ? type.mid(5) : type);
        return;
    }
    rules.utf8Only = true;
    rules.asciiOnly = probing && refusesName(probeNewName(directory, "\xc3\xa4"));
}

} // namespace

TargetRules targetRulesOf(const QByteArray& directory) {
    const QByteArray path = directory.isEmpty() ? QByteArrayLiteral("./") : directory;
    struct statfs volume;
    struct stat info;
    if (::statfs(path.constData(), &volume) != 0 || ::stat(path.constData(), &info) != 0)
        return {};
    TargetRules rules;
    rules.known = true;
    if (volume.f_namelen > 0)
        rules.longestName = volume.f_namelen;
    rules.unwritable = unwritableError(path);
    const std::optional<MountEntry> mount = mountOf(info.st_dev);
    switch (volume.f_type) {
    case MSDOS_SUPER_MAGIC: {
        const QString kind = mount ? fatKindOnDevice(mount->source) : QString();
        followFatRules(rules, kind.isEmpty() ? u"FAT"_s : kind);
        rules.utf8Only = namesInUtf8(mount);
        break;
    }
    case EXFAT_SUPER_MAGIC:
        followFatRules(rules, u"exFAT"_s);
        rules.utf8Only = namesInUtf8(mount);
        break;
    case FUSE_SUPER_MAGIC:
        examineFuse(rules, path.endsWith('/') ? path : path + '/', mount);
        break;
    default:
        if (mount)
            rules.fileSystemName = QString::fromUtf8(mount->type);
        // A btrfs subvolume has a device number of its own that no mount lists.
        else if (volume.f_type == BTRFS_SUPER_MAGIC)
            rules.fileSystemName = u"btrfs"_s;
        if (hasCaseFolding(path))
            rules.folding = NameFolding::CaseAndNormalisation;
        break;
    }
    return rules;
}
