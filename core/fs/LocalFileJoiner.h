#pragma once

#include "core/fs/FileJoiner.h"

#include <sys/types.h>

// Joins files on the machine's own file system: the output is written in
// full and flushed before it gets its name (see StagedFile.h).
class LocalFileJoiner final : public FileJoiner {
public:
    FsResult<qint64> fileSize(const QString& path) const override;
    FsStatus joinFiles(const QStringList& inputs, const QString& output) override;
    FsStatus removeJoined(const QString& output) override;

private:
    // The last output written: its path and the file that got that name.
    QString joinedPath_;
    dev_t joinedDevice_ = 0;
    ino_t joinedInode_ = 0;
};
