#pragma once

#include <QStringList>
#include <QtGlobal>

#include <vector>

// What tells a file from a namesake that took its place: on file systems that
// keep inode numbers with their files, the inode and when the file was made;
// elsewhere only its size and the time of its last change, which a rename
// keeps too.
struct FileIdentity {
    quint64 inode = 0;
    qint64 bornNs = -1; // ns since the epoch; -1 where the file system does not tell
    qint64 size = 0;
    qint64 modifiedNs = 0;
};

// The file system a directory lies on.
struct DirectoryVolume {
    quint64 id = 0; // the file system's id, so that a volume mounted again keeps it
    // Whether inode numbers stay with their files; not on FAT, exFAT, FUSE,
    // overlays and SMB shares, which may number files anew on every mount.
    bool stableInodes = false;
};

// A directory's ordinary files in natural order, each with its inode number
// as the directory's listing gives it; `inodes` is empty where the file
// system was not asked.
struct IdentifiedFiles {
    QStringList names;
    std::vector<quint64> inodes;
};
