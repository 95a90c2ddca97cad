#pragma once

#include "core/fs/FsResult.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// A new file that is written in full and flushed before it gets its final
// name, which it never takes from another file; so no crash can leave a file
// under that name whose bytes are not all there. Moves that copy and joins
// write through it.
//
// The file is written as an unnamed O_TMPFILE in the final directory where
// the file system has that, which a crash cannot leave behind; elsewhere under
// a hidden temporary name that it keeps locked while it is written (see
// TemporaryFiles.h), so that a later StagedFile in that directory removes it
// after a crash. Failures name the final path.
class StagedFile {
public:
    // `path` is the final name as the system's bytes, `shownPath` the same for
    // errors.
    StagedFile(QByteArray path, QString shownPath);
    // A file that did not get its name is removed.
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates the empty file with the permission bits `mode` (less the
    // umask). Fails at once when the final name is taken.
    FsStatus create(mode_t mode);

    // The open file to write the bytes to.
    int descriptor() const { return fd_; }

    // Flushes the bytes, gives the file its final name without replacing
    // anything, and flushes the directory: on success the file is there under
    // its name even after a crash (see DirectorySync.h for where the
    // directory cannot be flushed). On a failure before the name is given
    // nothing of it is left; a failure to flush the directory after that is
    // NotFlushed, and the complete file keeps its name.
    FsStatus commit();

private:
    FsStatus fail(int error);
    int giveName();

    QByteArray path_;
    QByteArray directory_;
    QString shownPath_;
    int fd_ = -1;
    QByteArray temporaryPath_; // empty for an unnamed file
};
