#pragma once

#include "core/fs/FsResult.h"

#include <QString>

class FileSystem;

// Many moves from one directory into another, each given by the two names
// alone; the rules and the errors (with full paths) are those of
// FileSystem::moveFile. A run's moves go through it, so that a file system
// can resolve the two directories once instead of for every file.
class DirectoryMoves {
public:
    DirectoryMoves(FileSystem& fileSystem, QString fromDir, QString toDir);
    virtual ~DirectoryMoves() = default;
    DirectoryMoves(const DirectoryMoves&) = delete;
    DirectoryMoves& operator=(const DirectoryMoves&) = delete;

    virtual FsStatus move(const QString& fromName, const QString& toName);

    const QString& fromDir() const { return fromDir_; }
    const QString& toDir() const { return toDir_; }

private:
    FileSystem& fileSystem_;
    const QString fromDir_;
    const QString toDir_;
};
