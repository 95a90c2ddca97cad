#pragma once

#include "core/fs/FileJoiner.h"

// Joins files on the machine's own file system: the output is written in
// full and flushed before it gets its name (see StagedFile.h).
class LocalFileJoiner final : public FileJoiner {
public:
    FsResult<qint64> fileSize(const QString& path) const override;
    FsStatus joinFiles(const QStringList& inputs, const QString& output) override;
};
