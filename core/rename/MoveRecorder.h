#pragma once

#include "core/fs/FsResult.h"

#include <QString>

// What a pass of moves records, so that it can be taken back even after a
// kill: each file's move is announced before it is made, and what became of
// it is noted after. Files are numbered as in the plan the moves follow.
class MoveRecorder {
public:
    virtual ~MoveRecorder() = default;

    // Files up to `file` are about to move: their moves must be announced
    // on the disk first. A failure means none of them may move.
    virtual FsStatus mayMove(qsizetype file) = 0;
    // The first file of a cycle of names is about to leave its temporary
    // name for its new one, the cycle's last move. A failure means it must not.
    virtual FsStatus beforeLastMoveOfCycle(qsizetype file) = 0;
    // A move of `file` was made.
    virtual void moved(qsizetype file, const QString& fromName, const QString& toName) = 0;
    // `file` had gone before it could be moved.
    virtual void gone(qsizetype file) = 0;
};
