#pragma once

#include "core/fs/FileIdentity.h"
#include "core/fs/FsResult.h"

#include <QByteArray>

// The file system that holds `directory` (the system's bytes; empty for the
// working directory): its id, and whether it keeps inode numbers with their
// files. FAT, exFAT, FUSE, overlay and network mounts may number a file anew
// when they are mounted again.
FsResult<DirectoryVolume> volumeOfDirectory(const QByteArray& directory);
