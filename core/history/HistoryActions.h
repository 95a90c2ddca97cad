#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class FileSystem;
class RunHistory;
class Disposal;
class RunWindow;

// A run as the history window lists it.
struct HistoryRow {
    QString id;
    QStringList cells; // date and time, operation, source, target, files moved, state
    bool undoable = false;
};

// What the user can do with the history: undo a listed run, and decide
// about the runs a kill interrupted. Each reports through a RunWindow: the
// names put back in its log, what could not be done in a message.
class HistoryActions {
public:
    HistoryActions(FileSystem& fileSystem, const RunHistory& history);

    // The last runs, newest first.
    QList<HistoryRow> rows() const;

    // Undoes run `id`, checking each file; refused, with the reason, while
    // another process works on it, when its journal cannot be followed, or
    // when a later run that is not undone moved files of it again. Returns
    // whether the run was taken back as far as it could be. What it read is
    // freed through `disposal`.
    bool undo(const QString& id, RunWindow& window, Disposal& disposal);

    // Asks about every run that a kill interrupted, oldest first, whether to
    // put its files back or keep them; a file under a temporary name gets
    // its old name back either way. Journals that cannot be read are named
    // and put aside. Nothing is asked twice.
    void recoverInterrupted(RunWindow& window);
    // Whether recoverInterrupted() has anything to do.
    bool anyInterrupted() const;

private:
    FileSystem& fileSystem_;
    const RunHistory& history_;
};
