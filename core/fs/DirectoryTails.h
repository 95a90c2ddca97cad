#pragma once

#include "core/fs/FsResult.h"

#include <QByteArray>
#include <QString>

class FileSystem;
struct FileTail;

// The tails of many files of one directory, each given by its name alone;
// the rules and the errors (with full paths) are those of
// FileSystem::readTail. A check over a directory reads through it, so that a
// file system can resolve the directory once instead of for every file.
class DirectoryTails {
public:
    DirectoryTails(const FileSystem& fileSystem, QString directory);
    virtual ~DirectoryTails() = default;
    DirectoryTails(const DirectoryTails&) = delete;
    DirectoryTails& operator=(const DirectoryTails&) = delete;

    virtual FsResult<FileTail> readTail(const QString& name, qint64 length) const;

    const QString& directory() const { return directory_; }

private:
    const FileSystem& fileSystem_;
    const QString directory_;
};
