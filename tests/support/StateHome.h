#pragma once

#include <QFile>
#include <QTemporaryDir>

// Points XDG_STATE_HOME, and with it the history of runs, at a temporary
// directory for as long as this lives, so that no test reads or writes the
// user's own history; children of the process inherit it. The test mains
// hold one for the whole process; a test that needs a history of its own
// holds another.
class TemporaryStateHome {
public:
    TemporaryStateHome() : previous_(qgetenv("XDG_STATE_HOME")) {
        qputenv("XDG_STATE_HOME", QFile::encodeName(dir_.path()));
    }
    ~TemporaryStateHome() { qputenv("XDG_STATE_HOME", previous_); }
    TemporaryStateHome(const TemporaryStateHome&) = delete;
    TemporaryStateHome& operator=(const TemporaryStateHome&) = delete;

    // The history's directory, ending with '/'.
    QString historyDirectory() const { return dir_.path() + QStringLiteral("/tessavo/"); }

private:
    QByteArray previous_;
    QTemporaryDir dir_;
};
