#pragma once

#include <QFile>
#include <QTemporaryDir>

// Points XDG_STATE_HOME, and with it the history of runs, at a temporary
// directory for as long as the test process runs, so that no test reads or
// writes the user's own history; children of the process inherit it.
class TemporaryStateHome {
public:
    TemporaryStateHome() { qputenv("XDG_STATE_HOME", QFile::encodeName(dir_.path())); }

private:
    QTemporaryDir dir_;
};
