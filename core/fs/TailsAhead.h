#pragma once

#include "core/fs/FileSystem.h"
#include "core/fs/FsResult.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

class DirectoryTails;

// The tails of a directory's files, read on two threads: the caller's own
// reads every other run of files, and a thread of its own the runs between,
// at most a few thousand files ahead. Reading a tail is almost all the
// system's work, which two cores do side by side, so the caller, which
// takes the tails in order, has them sooner than reading them alone. The
// file system is asked only through its const side.
class TailsAhead {
public:
    TailsAhead(const FileSystem& fileSystem, const QString& directory, const QStringList& names,
               qint64 length);
    ~TailsAhead();
    TailsAhead(const TailsAhead&) = delete;
    TailsAhead& operator=(const TailsAhead&) = delete;

    // The last `length` bytes of file `index` of the names, as
    // DirectoryTails::readTail reads them; asked for 0, 1, 2, ... in turn.
    FsResult<FileTail> take(qsizetype index);

private:
    void readAhead(const std::stop_token& stop);

    const QStringList names_;
    const qint64 length_;
    const std::unique_ptr<DirectoryTails> own_;
    std::unique_ptr<DirectoryTails> helpers_;
    // The helper's runs, read and not yet taken.
    std::vector<FsResult<FileTail>> ahead_;
    std::atomic<qsizetype> readRuns_{0};
    std::atomic<qsizetype> takenRuns_{0};
    // Destroyed first: it stops between two runs and is joined.
    std::jthread helper_;
};
