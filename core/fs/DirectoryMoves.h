#pragma once

#include "core/fs/FsResult.h"

#include <QByteArrayView>
#include <QString>

class FileSystem;

// A move's two names as they are on the disk (encodeFileName), each followed
// by a NUL beyond its view.
struct EncodedNames {
    QByteArrayView from;
    QByteArrayView to;
};

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
    // The same, the names encoded already (by a thread ahead of the moves);
    // a file system that takes no encoded names is given the names alone.
    virtual FsStatus moveEncoded(const QString& fromName, const QString& toName,
                                 EncodedNames encoded);

    const QString& fromDir() const { return fromDir_; }
    const QString& toDir() const { return toDir_; }

private:
    FileSystem& fileSystem_;
    const QString fromDir_;
    const QString toDir_;
};
