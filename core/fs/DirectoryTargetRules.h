#pragma once

#include "core/fs/TargetRules.h"

#include <QByteArray>

// The rules of the file system that holds `directory` (the system's bytes;
// empty for the working directory). What the kernel says is taken first:
// the file system's type and longest name (statfs), the mount's type,
// source and options (/proc/self/mountinfo), the boot sector of its device
// where that can be read, the directory's case-folding flag, a read-only
// mount and the user's permission. A FUSE driver says little about itself
// and is asked with hidden names that are removed at once (DirectoryProbe.h):
// whether anything can be created, whether a mount that names no type
// (exFAT's driver mounts as plain "fuseblk") refuses what FAT refuses, and
// whether a FAT driver takes names beyond ASCII. A directory that cannot be
// examined gets the rules of an unknown Linux file system: its moves tell.
TargetRules targetRulesOf(const QByteArray& directory);
