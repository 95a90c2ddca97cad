#pragma once

#include "core/fs/TargetRules.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class FileSystem;
struct RenameOperation;
struct RenameState;

// Where and why a run (or its MoveBack) stops.
struct PlanStop {
    qsizetype index = -1;   // the file at which it stops; -1: before the first one
    QString name;           // the file, or the directory when index is -1
    QString reason;         // German, one sentence
    bool afterMove = false; // the file is moved first (a running number that overflows)
};

// What a rename run will do, worked out from the listing: before the first
// move for the preview, the undo and a run in place, file by file ahead of
// the moves for a run into another directory (PlanAhead).
struct RenamePlan {
    QStringList listed;   // the source directory's ordinary files, in listing order
    QStringList newNames; // the name each listed file gets, for the files the run moves
    std::optional<PlanStop> stop;
    // The target is the source directory: files are renamed where they are,
    // in an order that frees each new name before it is taken.
    bool inPlace = false;
    // What the two directories take as names and how they compare them: the
    // target for the run, the source for MoveBack. A new name is taken when
    // it equals another name after comparisonKey().
    TargetRules targetRules;
    TargetRules sourceRules;

    bool moveBack = false;         // MoveBack follows a run that reaches its end
    QStringList moveBackNames;     // the target's files after the run, in MoveBack's order
    QSet<QString> alreadyInTarget; // those of them the run did not bring there
    std::optional<PlanStop> moveBackStop;

    qsizetype moveCount() const { return newNames.size(); }
};

// Builds the plan. `state` holds the run's parameters (and the start number
// in RunningNumber); the transform makes every new name up to the stop from
// it as the run itself would take them (a large directory's second half from
// a copy that starts with the number it reaches there), and it ends as the
// transform left it for the last file named. `stillWorking`, when given, is
// called now and then, so that a window can repaint during a long plan.
RenamePlan planRenames(const RenameOperation& operation, RenameState& state,
                       const QStringList& listed, const FileSystem& fileSystem, bool moveBack,
                       const std::function<void()>& stillWorking = {});

// Adds what MoveBack would do after the planned run: which files it moves
// and where it stops. Only a preview needs it; the run lists the target
// directory afresh when it gets there. `stillWorking` as for planRenames.
void planMoveBack(RenamePlan& plan, const FileSystem& fileSystem, const RenameState& state,
                  const std::function<void()>& stillWorking = {});
