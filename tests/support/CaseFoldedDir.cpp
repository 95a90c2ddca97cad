#include "tests/support/CaseFoldedDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 imageSize = 32 * 1024 * 1024;

// Runs a tool to its end; a failure fails the test with what it printed.
bool run(const QString& tool, const QStringList& arguments) {
    const QString program =
        QStandardPaths::findExecutable(tool, {u"/usr/sbin"_s, u"/sbin"_s, u"/usr/bin"_s});
    if (program.isEmpty()) {
        ADD_FAILURE() << tool.toStdString() << " is missing; scripts/deps installs it";
        return false;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ok = process.waitForFinished(30000) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!ok)
        ADD_FAILURE() << tool.toStdString() << ' ' << arguments.join(u' ').toStdString()
                      << " failed: " << process.readAll().toStdString();
    return ok;
}

} // namespace

CaseFoldedDir::CaseFoldedDir() {
    if (!QFileInfo::exists(u"/sys/fs/ext4/features/casefold"_s))
        skipReason_ = u"the kernel has no ext4 case folding (no /sys/fs/ext4/features/casefold)"_s;
    else if (::geteuid() != 0)
        skipReason_ = u"mounting an ext4 image with case folding needs root"_s;
    else
        make();
}

void CaseFoldedDir::make() {
    ASSERT_TRUE(base_.isValid());
    const QString image = base_.filePath(u"image"_s);
    mountPoint_ = base_.filePath(u"mnt"_s);
    ASSERT_TRUE(QDir().mkpath(mountPoint_));
    QFile file(image);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(imageSize));
    file.close();
    if (!run(u"mkfs.ext4"_s, {u"-q"_s, u"-O"_s, u"casefold"_s, image}) ||
        !run(u"mount"_s, {u"-o"_s, u"loop"_s, image, mountPoint_}))
        return;
    mounted_ = true;
    ASSERT_TRUE(QDir().mkpath(mountPoint_ + u"/folded"_s));
    ready_ = run(u"chattr"_s, {u"+F"_s, mountPoint_ + u"/folded"_s});
}

CaseFoldedDir::~CaseFoldedDir() {
    if (mounted_) {
        EXPECT_EQ(::umount2(QFile::encodeName(mountPoint_).constData(), MNT_DETACH), 0)
            << std::strerror(errno);
    }
}

QString CaseFoldedDir::root() const {
    return ready_ ? mountPoint_ + u"/folded/"_s : QString();
}
