#pragma once

#include <QByteArray>
#include <QList>

// The plain system calls that the rename and ID3 jobs are compared with.
// Directories are given as bytes ending with '/'.
namespace baseline {

// readdir of the directory, the names sorted by their bytes; hidden entries
// and anything but regular files are left out. Throws when the directory
// cannot be read.
QList<QByteArray> sortedRegularFiles(const QByteArray& directory);

// One renameat2(RENAME_NOREPLACE) per name, from `from` into `to`, the new
// name being `prefix` + name. Returns false at the first failure.
bool renameAll(const QByteArray& from, const QByteArray& to, const QList<QByteArray>& names,
               const QByteArray& prefix = {});

} // namespace baseline
