#pragma once

#include "core/fs/FileSystem.h"

// The real file system of the machine.
class LocalFileSystem final : public FileSystem {
public:
    FsResult<QStringList> listFiles(const QString& directory) const override;
    FsResult<QStringList>
    listFilesReporting(const QString& directory,
                       const std::function<void()>& stillReading) const override;
    FsResult<IdentifiedFiles>
    listFilesIdentified(const QString& directory,
                        const std::function<void()>& stillReading) const override;
    FsResult<QStringList> listEntries(const QString& directory) const override;
    FsResult<DirectoryVolume> volumeOf(const QString& directory) const override;
    FsResult<FileIdentity> identityOf(const QString& path) const override;
    std::vector<FsResult<FileIdentity>> identitiesIn(const QString& directory,
                                                     const QStringList& names) const override;
    FsStatus removeUnfinishedTarget(const QString& from, const QString& to) override;
    TargetRules targetRules(const QString& directory) const override;
    FsResult<bool> isSameDirectory(const QString& first, const QString& second) const override;
    FsResult<bool> entryExists(const QString& path) const override;
    FsStatus moveFile(const QString& from, const QString& to) override;
    std::unique_ptr<DirectoryMoves> movesBetween(const QString& fromDir,
                                                 const QString& toDir) override;
    FsResult<FileTail> readTail(const QString& path, qint64 length) const override;
    std::unique_ptr<DirectoryTails> tailsIn(const QString& directory) const override;
    FsStatus createDirectory(const QString& path) override;
};
