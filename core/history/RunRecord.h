#pragma once

#include "core/fs/FileIdentity.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>
#include <vector>

// What a run's journal holds, as read back from the disk.

enum class PhaseKind : quint8 {
    Run = 1,      // the run's own moves, source into target (or in place)
    MoveBack = 2, // every file of the target back into the source
    Undo = 3,     // moves that put back the files of an earlier phase
    Repair = 4,   // after a kill: files under a temporary name get their name back
};

// How a file is told from a namesake in a phase.
enum class IdentityCheck : quint8 {
    ByInode = 1,             // one volume that keeps inode numbers: inode and birth time
    ByStamp = 2,             // one volume that may renumber: size and modification time
    ByStampAcrossVolumes = 3 // a copy between volumes keeps size and time, to FAT's 2 s
};

// A pass of moves from one directory into another.
struct PhaseSetup {
    PhaseKind kind = PhaseKind::Run;
    qsizetype undoes = -1; // the phase an Undo or Repair phase works on
    QString fromDir;
    QString toDir;
    bool inPlace = false;
    IdentityCheck check = IdentityCheck::ByStampAcrossVolumes;
    quint64 fromVolume = 0;
    quint64 toVolume = 0;
    qsizetype files = 0; // how many files the phase means to move
    // When its files were listed, rounded up to the next ms: a file born
    // later is a newcomer under a listed name.
    qint64 listedMs = 0;
};

// One announced move: a file, where it was and where it goes.
struct Intent {
    QString from;
    QString to;
    FileIdentity identity;
    qsizetype original = -1; // in an Undo or Repair phase: the intent of the phase worked on
};

// Where a file of a phase is.
enum class FileState : quint8 {
    NotMoved, // at `from`
    Moved,    // at `to`
    Aside,    // under a temporary name on the way to `to`
    Gone,     // not where the phase could have put it
};

struct PhaseRecord {
    PhaseSetup setup;
    QList<Intent> intents;
    std::vector<FileState> states;   // one per intent
    QHash<qsizetype, QString> aside; // intent -> its temporary name
    QSet<qsizetype> lastCycleSteps;  // cycle heads whose last move was announced
    bool ended = false;              // the states are complete
};

struct RunHeader {
    qint64 startedMs = 0; // ms since the epoch
    qint64 pid = 0;
    QString operation; // the operation's key
    QString sourceDir;
    QString targetDir;
    bool moveBack = false;
};

// How a run stands in the history.
enum class RunState {
    Running,     // another Tessavo window is at work on it
    Interrupted, // ended by a kill or a crash; the next start asks what to do
    Kept,        // interrupted, and the files were kept as they were
    Finished,
    Undone,
    PartlyUndone, // an undo left files that could not go back
    Unusable,     // damaged or of another version; never followed
};

struct RunRecord {
    QString id;
    RunHeader header;
    QList<PhaseRecord> phases;
    qsizetype filesMoved = 0; // as the run's end or its recovery counted them
    bool open = false;        // a phase after the last record that closed the run
};
