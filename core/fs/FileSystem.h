#pragma once

#include "core/fs/DirectoryMoves.h"
#include "core/fs/DirectoryTails.h"
#include "core/fs/FileIdentity.h"
#include "core/fs/FsResult.h"
#include "core/fs/TargetRules.h"
#include "core/run/WhileWaiting.h"

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// The last bytes of a file together with the file's full size.
struct FileTail {
    qint64 fileSize = 0;
    QByteArray bytes; // the last min(asked, fileSize) bytes
};

// Every file-system access of a run goes through this interface. Paths are
// plain concatenations of a directory string (ending with a separator, or
// empty for the working directory) and a name. Names are lossless decodings
// of the system's bytes (see NameCodec.h).
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The ordinary files of a directory in natural order: regular files and
    // links to regular files, no hidden entries.
    virtual FsResult<QStringList> listFiles(const QString& directory) const = 0;

    // listFiles for a window that keeps painting: `stillReading` is called
    // about every 10 ms until the listing is done. Here the whole listing
    // runs on another thread meanwhile.
    virtual FsResult<QStringList>
    listFilesReporting(const QString& directory, const std::function<void()>& stillReading) const {
        return whileWaiting([this, &directory] { return listFiles(directory); }, stillReading);
    }

    // listFilesReporting with each file's inode number as the listing gives
    // it, at no cost beyond the listing's; here without them.
    virtual FsResult<IdentifiedFiles>
    listFilesIdentified(const QString& directory, const std::function<void()>& stillReading) const {
        FsResult<QStringList> names = listFilesReporting(directory, stillReading);
        if (!names)
            return names.error();
        return IdentifiedFiles{std::move(names).value(), {}};
    }

    // Every entry name of a directory, hidden ones, directories and other
    // entries included, in no particular order: what a new name can collide with.
    virtual FsResult<QStringList> listEntries(const QString& directory) const = 0;

    // What the file system of a directory takes as a new name, how it
    // compares names and whether the directory can be written; found out
    // anew at each call.
    virtual TargetRules targetRules(const QString& directory) const {
        Q_UNUSED(directory);
        return {};
    }

    // The file system that holds a directory.
    virtual FsResult<DirectoryVolume> volumeOf(const QString& directory) const = 0;

    // The identity of the entry at a path; a link is not followed.
    virtual FsResult<FileIdentity> identityOf(const QString& path) const = 0;

    // The identities of the entries `names` of `directory`, in their order,
    // as identityOf tells them.
    virtual std::vector<FsResult<FileIdentity>> identitiesIn(const QString& directory,
                                                             const QStringList& names) const {
        std::vector<FsResult<FileIdentity>> identities;
        identities.reserve(size_t(names.size()));
        for (const QString& name : names)
            identities.push_back(identityOf(directory + name));
        return identities;
    }

    // Removes what a move that was cut short left under its new name `to`
    // while its file is still at `from`: a second name of the same file, or
    // the empty file that reserved the new name. Anything else at `to` stays,
    // and the call fails with AlreadyExists.
    virtual FsStatus removeUnfinishedTarget(const QString& from, const QString& to) = 0;

    // Whether two directory strings name the same directory.
    virtual FsResult<bool> isSameDirectory(const QString& first, const QString& second) const = 0;

    // Whether anything has the path's name: a file, a directory, a link
    // (dangling or not), a FIFO. Links are not followed; where the file
    // system ignores case, a name in other case counts. A path that cannot
    // be examined (access denied, I/O error) is an error, not "absent".
    virtual FsResult<bool> entryExists(const QString& path) const = 0;

    // Moves a file, renaming it on the way; never replaces an existing file.
    // A destination that is empty or ends with a separator names a directory,
    // and the file keeps its name there. A link is moved as a link. A failed
    // move leaves the source where it was. The source is one the caller has
    // listed or opened as a file; a missing one fails with NotFound on
    // `from`. Where the move has to copy, anything but a file or a link
    // fails with NotAFile on `from`, and the copy gets its name only once it
    // is complete and on the disk; the source goes after that. A complete
    // copy whose directory could not be flushed fails with NotFlushed and
    // stays beside its source.
    virtual FsStatus moveFile(const QString& from, const QString& to) = 0;

    // Moves from one directory into another, for the many moves of a run.
    virtual std::unique_ptr<DirectoryMoves> movesBetween(const QString& fromDir,
                                                         const QString& toDir) {
        return std::make_unique<DirectoryMoves>(*this, fromDir, toDir);
    }

    // The size of a file and its last `length` bytes, in one positioned read.
    // Links are followed.
    virtual FsResult<FileTail> readTail(const QString& path, qint64 length) const = 0;

    // The tails of many files of one directory, for a check over it.
    virtual std::unique_ptr<DirectoryTails> tailsIn(const QString& directory) const {
        return std::make_unique<DirectoryTails>(*this, directory);
    }

    // Creates one directory; an existing directory is an error.
    virtual FsStatus createDirectory(const QString& path) = 0;
};
