#include "tests/support/FuseMount.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// FAT32 takes no fewer than 65525 clusters, and sticks have clusters of 4
// KiB or more: with the 512-byte clusters of a small image, fusefat refuses
// (EPERM) some names of more than 230 characters, depending on where their
// entries fall in the directory. The image is sparse.
constexpr qint64 fatImageSize = 512 * 1024 * 1024;
constexpr qint64 exFatImageSize = 128 * 1024 * 1024;
constexpr int mountWaitMs = 10000;

QString findTool(const QString& name) {
    const QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty())
        return onPath;
    return QStandardPaths::findExecutable(name, {u"/usr/sbin"_s, u"/sbin"_s});
}

// Runs a tool to its end. Its output goes to a file, since a FUSE daemon
// keeps writing to it after the tool has ended; it is read for a message.
bool run(const QString& tool, const QStringList& arguments, const QString& logFile,
         QString* output = nullptr) {
    QProcess process;
    process.setProgram(findTool(tool));
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(logFile);
    process.setStandardErrorFile(logFile, QIODevice::Append);
    process.start();
    const bool ok = process.waitForFinished(30000) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    QFile log(logFile);
    const QString text =
        log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()).trimmed() : QString();
    if (output)
        *output = text;
    else if (!ok)
        ADD_FAILURE() << tool.toStdString() << ' ' << arguments.join(u' ').toStdString()
                      << " failed: " << text.toStdString();
    return ok;
}

bool isMountPoint(const QString& path) {
    QFile mountInfo(u"/proc/self/mountinfo"_s);
    if (!mountInfo.open(QIODevice::ReadOnly))
        return false;
    const QByteArray wanted = QFile::encodeName(path);
    for (const QByteArray& line : mountInfo.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() > 4 && fields[4] == wanted)
            return true;
    }
    return false;
}

bool waitForMount(const QString& path, bool mounted) {
    const QDeadlineTimer deadline(mountWaitMs);
    while (isMountPoint(path) != mounted) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

// Whether a process runs with `argument` among its arguments.
bool processWithArgument(const QByteArray& argument) {
    for (const QString& pid : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
        QFile commandLine(u"/proc/"_s + pid + u"/cmdline"_s);
        if (pid.front().isDigit() && commandLine.open(QIODevice::ReadOnly) &&
            commandLine.readAll().split('\0').contains(argument))
            return true;
    }
    return false;
}

bool waitForDriverExit(const QString& imageOrDevice) {
    const QByteArray argument = QFile::encodeName(imageOrDevice);
    const QDeadlineTimer deadline(mountWaitMs);
    while (processWithArgument(argument)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

} // namespace

const char* FuseMount::nameOf(FuseKind kind) {
    return kind == FuseKind::Fat ? "FAT" : "exFAT";
}

FuseMount::FuseMount(FuseKind kind) : kind_(kind) {
    if (::geteuid() != 0)
        skipReason_ = u"mounting %1 through FUSE needs root"_s.arg(QLatin1String(nameOf(kind)));
    else if (::access("/dev/fuse", R_OK | W_OK) != 0)
        skipReason_ = u"no /dev/fuse to mount %1 through FUSE"_s.arg(QLatin1String(nameOf(kind)));
    else
        mount(kind);
}

void FuseMount::mount(FuseKind kind) {
    const bool fat = kind == FuseKind::Fat;
    for (const QString& tool :
         fat ? QStringList{u"mkfs.vfat"_s, u"fusefat"_s, u"fusermount"_s}
             : QStringList{u"mkfs.exfat"_s, u"mount.exfat-fuse"_s, u"losetup"_s, u"fusermount"_s}) {
        if (findTool(tool).isEmpty()) {
            ADD_FAILURE() << tool.toStdString() << " is missing; scripts/deps installs it";
            return;
        }
    }
    ASSERT_TRUE(base_.isValid());
    const QString image = this->image();
    const QString log = logFile();
    mountPoint_ = QDir(base_.path()).canonicalPath() + u"/mnt"_s;
    ASSERT_TRUE(QDir().mkpath(mountPoint_));
    QFile file(image);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) &&
                file.resize(fat ? fatImageSize : exFatImageSize));
    file.close();

    if (fat) {
        if (!run(u"mkfs.vfat"_s, {u"-F"_s, u"32"_s, u"-s"_s, u"8"_s, image}, log) ||
            !run(u"fusefat"_s, {u"-o"_s, u"rw+"_s, image, mountPoint_}, log))
            return;
    } else {
        if (!run(u"mkfs.exfat"_s, {image}, log))
            return;
        // Run as root, mount.exfat-fuse asks FUSE for a block device.
        QString device;
        if (!run(u"losetup"_s, {u"--find"_s, u"--show"_s, image}, log, &device)) {
            skipReason_ = u"no free loop device for mount.exfat-fuse: "_s + device;
            return;
        }
        loopDevice_ = device;
        if (!run(u"mount.exfat-fuse"_s, {loopDevice_, mountPoint_}, log))
            return;
    }
    mounted_ = waitForMount(mountPoint_, true);
    EXPECT_TRUE(mounted_) << nameOf(kind) << " did not appear at " << mountPoint_.toStdString();
}

FuseMount::~FuseMount() {
    unmount();
}

void FuseMount::unmount() {
    if (!mountPoint_.isEmpty() && isMountPoint(mountPoint_)) {
        QString output;
        if (!run(u"fusermount"_s, {u"-u"_s, mountPoint_}, logFile(), &output))
            run(u"fusermount"_s, {u"-u"_s, u"-z"_s, mountPoint_}, logFile());
        EXPECT_TRUE(waitForMount(mountPoint_, false)) << mountPoint_.toStdString();
        // The driver writes its last sectors after the mount is gone.
        EXPECT_TRUE(waitForDriverExit(loopDevice_.isEmpty() ? image() : loopDevice_));
    }
    if (!loopDevice_.isEmpty())
        run(u"losetup"_s, {u"--detach"_s, loopDevice_}, logFile());
    loopDevice_.clear();
    mounted_ = false;
}

QString FuseMount::unmountAndCheck() {
    unmount();
    const bool fat = kind_ == FuseKind::Fat;
    QString output;
    if (run(fat ? u"fsck.vfat"_s : u"fsck.exfat"_s, {u"-n"_s, image()}, logFile(), &output))
        return {};
    return output.isEmpty() ? u"the check failed"_s : output;
}

QString FuseMount::logFile() const {
    return base_.filePath(u"tools.log"_s);
}

QString FuseMount::image() const {
    return base_.filePath(u"image"_s);
}

QString FuseMount::root() const {
    return mountPoint_ + u'/';
}
