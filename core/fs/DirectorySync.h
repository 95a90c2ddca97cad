#pragma once

#include <QByteArray>

// Flushes a directory's entries to the disk, so that a new name survives a
// crash. File systems that cannot sync a directory count as done; on any
// other failure errno tells why.
bool syncDirectory(const QByteArray& directory);
