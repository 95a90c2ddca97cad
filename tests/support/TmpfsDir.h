#pragma once

#include <QString>
#include <QTemporaryDir>

#include <optional>

// A directory on a tmpfs apart from the temporary directory, for moves
// across file systems. Run as root, the test mounts a tmpfs of its own with
// the size given, which a test can fill; otherwise a directory in /dev/shm
// serves where that is such a tmpfs, without the size. Where neither can be
// had, skipReason() says so.
class TmpfsDir {
public:
    explicit TmpfsDir(qint64 size = 256 * 1024 * 1024);
    ~TmpfsDir();
    TmpfsDir(const TmpfsDir&) = delete;
    TmpfsDir& operator=(const TmpfsDir&) = delete;

    const QString& skipReason() const { return skipReason_; }
    // Whether the size given holds: the tmpfs is the test's own.
    bool hasOwnMount() const { return mounted_; }
    // The directory, ending with '/'.
    QString root() const;

private:
    std::optional<QTemporaryDir> dir_;
    QString skipReason_;
    bool mounted_ = false;
};
