#include "ui/widgets/DriveList.h"

#include "core/fs/FileNameRules.h"
#include "core/fs/NaturalOrder.h"

#include <QFileInfo>
#include <QSet>
#include <QSignalBlocker>
#include <QStorageInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int rootRole = Qt::UserRole;

const QSet<QByteArray> pseudoFileSystems = {
    "autofs", "binfmt_misc", "bpf",      "cgroup",     "cgroup2",    "configfs", "debugfs",
    "devpts", "devtmpfs",    "efivarfs", "fusectl",    "hugetlbfs",  "mqueue",   "nsfs",
    "proc",   "pstore",      "ramfs",    "rpc_pipefs", "securityfs", "sysfs",    "tracefs",
};

bool isUnder(const QString& path, const QString& directory) {
    return path == directory || path.startsWith(directory + u'/');
}

// Qt already leaves out most special mounts; this also drops the rest, and
// the files that containers bind-mount (/etc/hosts and the like).
bool isUserVolume(const QStorageInfo& volume) {
    const QString root = volume.rootPath();
    if (pseudoFileSystems.contains(volume.fileSystemType()))
        return false;
    for (const QString& system : {u"/proc"_s, u"/sys"_s, u"/dev"_s})
        if (isUnder(root, system))
            return false;
    if (volume.fileSystemType() == "tmpfs" && isUnder(root, u"/run"_s))
        return false;
    return QFileInfo(root).isDir();
}

bool holds(const QString& root, const QString& path) {
    const QChar separator = directorySeparator();
    const QString prefix = root.endsWith(separator) ? root : root + separator;
    return path == root || path.startsWith(prefix);
}

} // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    setDrives(mountedDrives());
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            emit driveChosen(itemData(index, rootRole).toString());
    });
}

QList<DriveList::Drive> DriveList::mountedDrives() {
    const QString root(directorySeparator());
    QList<Drive> drives{{root, {}}};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.rootPath() == root || !isUserVolume(volume))
            continue;
        if (std::any_of(drives.cbegin(), drives.cend(),
                        [&](const Drive& known) { return known.rootPath == volume.rootPath(); }))
            continue;
        drives.append({volume.rootPath(), volume.name()});
    }
    std::sort(drives.begin() + 1, drives.end(), [](const Drive& a, const Drive& b) {
        return naturallyBefore(a.rootPath, b.rootPath);
    });
    return drives;
}

void DriveList::setDrives(const QList<Drive>& drives) {
    const QString chosen = currentDrive();
    const QSignalBlocker blocker(this);
    clear();
    for (const Drive& drive : drives) {
        const QString text =
            drive.label.isEmpty() ? drive.rootPath : drive.rootPath + u" ["_s + drive.label + u']';
        addItem(text, drive.rootPath);
    }
    const int kept = findData(chosen, rootRole);
    setCurrentIndex(kept >= 0 ? kept : 0);
}

QString DriveList::currentDrive() const {
    return currentData(rootRole).toString();
}

void DriveList::showDriveOf(const QString& path) {
    int best = -1;
    qsizetype bestLength = -1;
    for (int index = 0; index < count(); ++index) {
        const QString root = itemData(index, rootRole).toString();
        if (holds(root, path) && root.size() > bestLength) {
            best = index;
            bestLength = root.size();
        }
    }
    const QSignalBlocker blocker(this);
    setCurrentIndex(best);
}

void DriveList::showPopup() {
    setDrives(mountedDrives());
    QComboBox::showPopup();
}
