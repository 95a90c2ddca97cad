#pragma once

#include <QString>
#include <QTemporaryDir>

// A directory with case folding (chattr +F) on an ext4 image made with the
// casefold feature and mounted through a loop device, for as long as the
// object lives. It needs root and a kernel with ext4 case folding
// (/sys/fs/ext4/features/casefold); where the machine lacks them,
// skipReason() says so. A machine that has them but fails to make it fails
// the test.
class CaseFoldedDir {
public:
    CaseFoldedDir();
    ~CaseFoldedDir();
    CaseFoldedDir(const CaseFoldedDir&) = delete;
    CaseFoldedDir& operator=(const CaseFoldedDir&) = delete;

    const QString& skipReason() const { return skipReason_; }
    // The case-folded directory, ending with '/'; empty where there is none.
    QString root() const;

private:
    void make();

    QTemporaryDir base_;
    QString mountPoint_;
    QString skipReason_;
    bool mounted_ = false;
    bool ready_ = false;
};
