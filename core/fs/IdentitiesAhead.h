#pragma once

#include "core/fs/FileIdentity.h"
#include "core/fs/FsResult.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <thread>
#include <vector>

class FileSystem;

// The identities of entries of a directory, found in their order on a thread
// of its own, ahead of the one that asks for them one after the other: the
// checks then cost the moves that follow them no time. The file system is
// asked only through its const side, which is safe beside moves.
class IdentitiesAhead {
public:
    IdentitiesAhead(const FileSystem& fileSystem, const QString& directory,
                    const QStringList& names);
    IdentitiesAhead(const IdentitiesAhead&) = delete;
    IdentitiesAhead& operator=(const IdentitiesAhead&) = delete;

    // The identity of entry `index` of the names, as identityOf tells it;
    // waits until it is known.
    const FsResult<FileIdentity>& at(qsizetype index) const;

private:
    std::vector<FsResult<FileIdentity>> found_;
    std::atomic<qsizetype> known_{0};
    // Destroyed first: it stops between two rounds of checks and is joined.
    std::jthread thread_;
};
