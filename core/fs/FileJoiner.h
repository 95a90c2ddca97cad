#pragma once

#include "core/fs/FsResult.h"

#include <QStringList>

// Joins files byte for byte into a new file, in bounded memory. Paths follow
// the rules of FileSystem.h.
class FileJoiner {
public:
    virtual ~FileJoiner() = default;

    // The size in bytes of an ordinary file; links are followed.
    virtual FsResult<qint64> fileSize(const QString& path) const = 0;

    // Writes the bytes of `inputs`, one after the other and nothing else, into
    // the new file `output`. The bytes are on the disk before the file gets
    // its name, and an existing file is never replaced. On failure no file of
    // that name has been made and no partial output remains, except for
    // NotFlushed: the output is complete under its name, but its directory
    // could not be flushed.
    virtual FsStatus joinFiles(const QStringList& inputs, const QString& output) = 0;

    // Removes the file that the last successful joinFiles wrote to `output`,
    // for a pass taken back; whatever else has that name by now stays.
    virtual FsStatus removeJoined(const QString& output) = 0;
};
