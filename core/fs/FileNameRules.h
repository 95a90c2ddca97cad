#pragma once

#include <QString>

// True when the text can stand as one entry name inside a directory: it holds
// no path separator and no NUL, and it is not "." or "..". The empty name is
// allowed: as a destination it means "the directory itself".
bool isPlainFileName(const QString& name);

// The native separator that ends every directory string.
QChar directorySeparator();

// A directory string as an absolute path, ending with the separator: the
// working directory for the empty one, which a run then works in.
QString absoluteDirectory(const QString& directory);
