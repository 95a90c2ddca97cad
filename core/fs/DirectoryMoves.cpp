#include "core/fs/DirectoryMoves.h"

#include "core/fs/FileSystem.h"

DirectoryMoves::DirectoryMoves(FileSystem& fileSystem, QString fromDir, QString toDir)
    : fileSystem_(fileSystem), fromDir_(std::move(fromDir)), toDir_(std::move(toDir)) {}

FsStatus DirectoryMoves::move(const QString& fromName, const QString& toName) {
    return fileSystem_.moveFile(fromDir_ + fromName, toDir_ + toName);
}

FsStatus DirectoryMoves::moveEncoded(const QString& fromName, const QString& toName, EncodedNames) {
    return move(fromName, toName);
}
