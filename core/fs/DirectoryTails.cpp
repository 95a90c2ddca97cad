#include "core/fs/DirectoryTails.h"

#include "core/fs/FileSystem.h"

DirectoryTails::DirectoryTails(const FileSystem& fileSystem, QString directory)
    : fileSystem_(fileSystem), directory_(std::move(directory)) {}

FsResult<FileTail> DirectoryTails::readTail(const QString& name, qint64 length) const {
    return fileSystem_.readTail(directory_ + name, length);
}
