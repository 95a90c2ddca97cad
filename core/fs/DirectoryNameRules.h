#pragma once

#include "core/fs/FileIdentity.h"
#include "core/fs/FsResult.h"
#include "core/fs/NameRules.h"

#include <QByteArray>

// The name rules of the file system that holds `directory` (the system's
// bytes; empty for the working directory). What the kernel says is taken
// first: the file system's type, and for FUSE the mount's type in
// /proc/self/mountinfo. A FUSE mount that names no type (exFAT's driver
// mounts as plain "fuseblk") is probed with a hidden name holding a
// character FAT refuses, which is removed again if the file system takes it.
// A directory that cannot be examined gets no rules: its moves then tell.
NameRules nameRulesOf(const QByteArray& directory);

// The file system that holds `directory` (the system's bytes; empty for the
// working directory): its id, and whether it keeps inode numbers with their
// files, told by the same types of file system as the name rules.
FsResult<DirectoryVolume> volumeOfDirectory(const QByteArray& directory);
