#pragma once

#include "core/fs/FsResult.h"

#include <QString>

// Where Tessavo keeps its history: $XDG_STATE_HOME/tessavo/, or
// ~/.local/state/tessavo/ where XDG_STATE_HOME is unset or not an absolute
// path. A directory string ending with '/'; empty when the user has no home.
QString historyDirectory();

// Makes the directory (and its missing parents) readable by the user alone,
// mode 0700; an existing one of the user's is made so, one of another user
// is refused.
FsStatus prepareHistoryDirectory(const QString& directory);
