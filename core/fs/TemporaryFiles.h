#pragma once

#include <QByteArray>

#include <sys/types.h>

// Hidden temporary files beside a final name, for file systems without
// O_TMPFILE. Each is named ".tessavo-<hex>.part" and locked (flock) for as
// long as its writer lives, so a file of that name that nobody locks is a
// left-over of a writer that died.

// Whether `name` (one path component) is the name of such a temporary file;
// ".tessavo-join-<hex>.part" was the name earlier versions gave a join's.
bool isTemporaryName(const QByteArray& name);

// Creates and locks a new temporary file in `directory` (a path ending with
// '/'), setting `path` to its name; -1 with errno on failure.
int createLockedTemporary(const QByteArray& directory, mode_t mode, QByteArray& path);

// Removes the temporary files in `directory` that no process locks, and
// nothing else; each directory once in the life of the process. Failures are
// ignored: a left-over that stays costs only space.
void removeStaleTemporaries(const QByteArray& directory);
