#pragma once

#include "core/fs/EncodedAhead.h"
#include "core/fs/FileIdentity.h"
#include "core/fs/FsResult.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <thread>
#include <vector>

class FileSystem;

// The identities of entries of a directory that move one after the other
// into another, found in their order on a thread of its own ahead of the
// moves, which ask for them and then move: the checks cost the moves no
// time. The same thread encodes the moves' names (EncodedAhead), and stays
// at most as far ahead as those. The file system is asked only through its
// const side, which is safe beside moves.
class IdentitiesAhead {
public:
    // Entry `names[i]` of `directory` moves under `newNames[i]`.
    IdentitiesAhead(const FileSystem& fileSystem, const QString& directory,
                    const QStringList& names, const QStringList& newNames);
    ~IdentitiesAhead();
    IdentitiesAhead(const IdentitiesAhead&) = delete;
    IdentitiesAhead& operator=(const IdentitiesAhead&) = delete;

    // The identity of entry `index` of the names, as identityOf tells it;
    // waits until it is known. Asked for every entry, in their order.
    const FsResult<FileIdentity>& at(qsizetype index);
    // The names of entry `index`'s move, encoded, once its identity was asked for.
    EncodedNames encodedNames(qsizetype index) { return encoded_.names(index); }

private:
    std::vector<FsResult<FileIdentity>> found_;
    std::atomic<qsizetype> known_{0};
    EncodedAhead encoded_;
    // Destroyed first: it stops between two rounds of checks and is joined.
    std::jthread thread_;
};
