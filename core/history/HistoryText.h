#pragma once

#include "core/fs/FsResult.h"
#include "core/history/RunRecord.h"

#include <QString>

// The German texts of the history.

// A failed write of a run's journal as the cause of a move not made.
FsError historyWriteFailure(const FsError& error);
// Why a run did not start: its journal could not be written.
QString runNotStartedText(const QString& historyDirectory, const FsError& error);

// A run's start, as the user's clock shows it.
QString runTimeText(qint64 startedMs);
QString operationText(const RunHeader& header);
QString stateText(RunState state);

// Why a file was not put back.
QString goneReason();
QString replacedReason();
QString takenReason();
QString otherVolumeReason();

// The question after a kill, and the notes on journals that cannot be used.
QString interruptedRunText();
QString interruptedRunDetails(const RunHeader& header, qsizetype moved, qsizetype files,
                              bool underTemporaryName);
QString unusableJournalText(const QString& path, bool otherVersion);
QString damagedJournalText(const QString& path);
QString runHeldElsewhereText();
QString newerRunMovedText(const RunHeader& newer);
QString nothingLeftToUndoText();
