#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class FileSystem;

// What taking a run back achieved.
struct UndoOutcome {
    QStringList restored;         // the earlier names of the files put back, last moved first
    QStringList leftWhereTheyAre; // the names of the files that could not be put back
};

// Every move of the last run, so that it can be taken back. Lives in memory
// only and covers one run.
class UndoJournal {
public:
    void record(const QString& fromDir, const QString& fromName, const QString& toDir,
                const QString& toName);
    // Room for `count` more moves, when a run knows how many it will make.
    void reserve(qsizetype count) { moves_.reserve(moves_.size() + count); }
    bool isEmpty() const { return moves_.isEmpty(); }
    void clear();

    // Moves every file back, last move first, never replacing a file. A file
    // that is no longer where the run put it, or whose earlier place is taken
    // now, stays where it is, and so do its earlier moves. Empties the journal.
    UndoOutcome undo(FileSystem& fileSystem,
                     const std::function<void(qsizetype done, qsizetype total)>& progress);

private:
    struct Directions {
        QString fromDir;
        QString toDir;
    };
    struct Move {
        qsizetype directions; // index into directions_
        QString fromName;
        QString toName;
    };

    qsizetype directionsIndex(const QString& fromDir, const QString& toDir);

    // The pairs of directories the moves went between; a run has at most
    // three, so each move keeps an index instead of two more strings.
    QList<Directions> directions_;
    QList<Move> moves_;
};
