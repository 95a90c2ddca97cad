#pragma once

#include "core/fs/NameCodec.h"
#include "core/run/RunWindow.h"

#include <QString>

// Appends a file's name to a window's log field as a line of its own, as the
// user reads it. `line` is the caller's buffer, used again for every line, so
// that the lines of a long run cost no allocation.
inline void appendLogLine(RunWindow& window, const QString& field, const QString& name,
                          QString& line) {
    line.resize(0);
    line += displayFileName(name);
    line += u"\r\n";
    window.appendText(field, line);
}
