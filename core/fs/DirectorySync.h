#pragma once

#include <QByteArray>

// Flushes a directory's entries to the disk, so that a new name survives a
// crash. File systems that cannot sync a directory count as done. A directory
// the user may write but not read (a drop box) cannot be opened to be synced:
// there the whole file system of `fileInIt`, an open file in it, is flushed
// instead, which takes its entry along; without such a file it counts as
// done. On any other failure errno tells why.
bool syncDirectory(const QByteArray& directory, int fileInIt = -1);
