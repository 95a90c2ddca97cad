#pragma once

#include "core/fs/FsResult.h"

#include <QStringList>

// The sub-directories of a directory in natural order: directories and links
// to directories, no hidden entries. Names are lossless decodings of the
// system's bytes. The directory may be given with or without a closing
// separator.
FsResult<QStringList> listDirectories(const QString& directory);

// The process's working directory, decoded losslessly; empty when the system
// cannot tell it.
QString currentDirectory();
