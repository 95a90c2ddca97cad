#pragma once

#include "core/fs/FsResult.h"
#include "core/history/RunRecord.h"

#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class FileSystem;
class RunJournal;

// A file that stays where it is, and why.
struct LeftFile {
    QString name;
    QString reason;
};

// What putting files back achieved.
struct UndoOutcome {
    QList<LeftFile> left;                  // the files that could not be put back
    std::optional<FsError> journalFailure; // the moves stopped: they could not be announced
};

// Reports how many of the files to put back have been handled.
using UndoProgress = std::function<void(qsizetype done, qsizetype total)>;
// Reports the earlier name of a file put back, last moved first.
using RestoredName = std::function<void(const QString& name)>;

// The files of a phase that are away from their old place: each intent with
// its current name in the phase's target directory, in the intents' order.
using AwayFiles = QList<std::pair<qsizetype, QString>>;

AwayFiles awayIn(const RunRecord& run, qsizetype phase);

// Puts the files of a run back as its journal tells, each phase as a pass
// of its own, recorded in the same journal as the run. A file goes back only
// if the entry where the run left it is still the file the run moved
// (FileMatch.h), and never onto a name that is taken; what cannot go back
// stays where it is, and so does what the phases before would move. The
// moves run on another thread while `progress` and `restored` are called;
// where the files move into another directory, a third checks them ahead.
class RunUndo {
public:
    RunUndo(FileSystem& fileSystem, RunJournal& journal, RunRecord& run);

    // How many files are still away from their old place.
    qsizetype awayCount();
    // Puts back every file that is still away, the last phase first.
    UndoOutcome undo(const UndoProgress& progress, const RestoredName& restored);
    // Gives each file under a temporary name its old name back, with the
    // files of its cycle that had moved, so that the rest stays as it is.
    UndoOutcome repairTemporaryNames(const UndoProgress& progress);

private:
    // Each phase's files that are away, the last phase first; found once.
    const QList<std::pair<qsizetype, AwayFiles>>& passes();
    void putBack(qsizetype phase, PhaseKind kind, const AwayFiles& files, UndoOutcome& outcome);
    // Where the phases before `phase` put files.
    QSet<QString> placesBefore(qsizetype phase) const;

    FileSystem& fileSystem_;
    RunJournal& journal_;
    RunRecord& run_;
    UndoProgress progress_;
    RestoredName restored_;
    qsizetype done_ = 0;
    qsizetype total_ = 0;
    QSet<QString> stuckHomes_; // where files that stayed would have gone
    std::optional<QList<std::pair<qsizetype, AwayFiles>>> passes_;
};
