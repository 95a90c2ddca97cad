#include "tests/support/TmpfsDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr long tmpfsMagic = 0x01021994;

// A directory in /dev/shm when that is a tmpfs on another device than the
// temporary directory; empty otherwise.
QString sharedMemoryTemplate() {
    struct statfs fs;
    struct stat shm;
    struct stat temp;
    if (::statfs("/dev/shm", &fs) != 0 || fs.f_type != tmpfsMagic ||
        ::stat("/dev/shm", &shm) != 0 ||
        ::stat(QFile::encodeName(QDir::tempPath()).constData(), &temp) != 0 ||
        shm.st_dev == temp.st_dev)
        return {};
    return u"/dev/shm/tessavo-test-XXXXXX"_s;
}

} // namespace

TmpfsDir::TmpfsDir(qint64 size) {
    if (::geteuid() == 0) {
        dir_.emplace();
        if (!dir_->isValid()) {
            ADD_FAILURE() << "no temporary directory to mount a tmpfs on";
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(size) + ",mode=0755";
        mounted_ = ::mount("tessavo-test", QFile::encodeName(dir_->path()).constData(), "tmpfs",
                           MS_NOSUID | MS_NODEV, options.constData()) == 0;
        EXPECT_TRUE(mounted_) << "mount -t tmpfs failed: " << std::strerror(errno);
        return;
    }
    const QString shared = sharedMemoryTemplate();
    if (shared.isEmpty()) {
        skipReason_ = u"not root, so no tmpfs of its own, and /dev/shm is no separate tmpfs"_s;
        return;
    }
    dir_.emplace(shared);
    EXPECT_TRUE(dir_->isValid());
}

TmpfsDir::~TmpfsDir() {
    if (mounted_) {
        EXPECT_EQ(::umount2(QFile::encodeName(dir_->path()).constData(), MNT_DETACH), 0);
    }
}

QString TmpfsDir::root() const {
    return dir_ ? dir_->path() + u'/' : QString();
}
