#pragma once

#include <QString>
#include <QTemporaryDir>

enum class FuseKind { Fat, ExFat };

// A FAT or exFAT file system in an image file of its own, mounted through
// FUSE (fusefat, mount.exfat-fuse) for as long as the object lives. Mounting
// needs root and /dev/fuse; where the machine lacks them, skipReason() says
// so. A machine that has them but fails to mount fails the test.
class FuseMount {
public:
    explicit FuseMount(FuseKind kind);
    ~FuseMount();
    FuseMount(const FuseMount&) = delete;
    FuseMount& operator=(const FuseMount&) = delete;

    bool isMounted() const { return mounted_; }
    // Why nothing was mounted where that is the machine's lack, not a fault.
    const QString& skipReason() const { return skipReason_; }
    // The mount point, ending with '/'.
    QString root() const;

    // Unmounts the image and checks it with fsck.vfat -n or fsck.exfat -n;
    // empty when it is clean, else what the check printed.
    QString unmountAndCheck();

    static const char* nameOf(FuseKind kind);

private:
    void mount(FuseKind kind);
    void unmount();
    QString logFile() const;
    QString image() const;

    FuseKind kind_;
    QTemporaryDir base_;
    QString mountPoint_;
    QString loopDevice_;
    QString skipReason_;
    bool mounted_ = false;
};
