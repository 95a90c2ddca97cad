#pragma once

#include <QString>

// A fresh directory for the benchmark's files, removed with everything in it
// when the object goes. Failures to set it up throw std::runtime_error.
class ScratchDir {
public:
    explicit ScratchDir(const QString& parent);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // The directory string, ending with '/'.
    const QString& path() const { return path_; }

    // Creates an empty sub-directory (a relative path below this one) and
    // returns its directory string.
    QString makeDir(const QString& relative) const;

    // Removes a sub-directory with everything in it.
    void remove(const QString& relative) const;

    // Writes everything pending on this file system to the disk, so that the
    // writeback of one measured run is not charged to the next.
    void settle() const;

private:
    QString path_;
};
