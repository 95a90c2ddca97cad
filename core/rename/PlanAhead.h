#pragma once

#include "core/fs/DirectoryMoves.h"
#include "core/fs/EncodedAhead.h"
#include "core/rename/RenamePlan.h"
#include "core/rename/RenamePlanner.h"
#include "core/rename/RenameState.h"

#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

class FileSystem;
struct RenameOperation;

// A rename run's plan, made while its files move. Into another directory a
// file's part of the plan depends only on the files before it: a thread of
// its own plans one file after the other, ahead of the moves, which then
// wait for the plan only at their first files, and encodes both names of
// each move into one buffer, which the moves read in order instead of names
// scattered over the heap. In place, where a file may have to wait for a
// later one to free its name, the plan is made whole first.
class PlanAhead {
public:
    // Starts the plan of `operation` over `listed` in `plan`, which must
    // outlive this; `state` is the run's, given the transform's state at the
    // plan's end by finish().
    PlanAhead(const RenameOperation& operation, RenameState& state, const QStringList& listed,
              const FileSystem& fileSystem, bool moveBack, RenamePlan& plan,
              const std::function<void()>& stillWorking);
    ~PlanAhead();
    PlanAhead(const PlanAhead&) = delete;
    PlanAhead& operator=(const PlanAhead&) = delete;

    // Waits until the plan has settled listed file `index`, and returns the
    // stop at it, or null when the run goes on past it. A file the run moves
    // has its new name in the plan's newNames from then on.
    const PlanStop* stopAt(qsizetype index) const;
    // Waits until the new names of the files before `end` are there, and
    // returns `end`, or fewer when the moves end before it.
    qsizetype plannedUpTo(qsizetype end) const;
    // Waits for the plan's end: the plan is then whole, as planRenames makes
    // it, and the run's state as the transform left it.
    void finish(const std::function<void()>& stillWorking);

    // Into another directory: the names of file `index`'s move, encoded, for
    // a file the run moves (stopAt said so); waits until they are. The moves
    // ask in the listing's order, and the names of the files before are freed.
    EncodedNames encodedNames(qsizetype index);

private:
    void planInOrder(const std::stop_token& stop, QString* newNames, RenameState state);
    // Tells the plan's thread that no more names will be asked for.
    void endMoves();
    // Waits until `settled_` reaches `count` and returns it.
    qsizetype settledUpTo(qsizetype count) const;

    RenamePlan& plan_;
    RenameState& runState_;
    RenamePlanner planner_;
    const qsizetype ended_; // what `settled_` holds once the plan has ended
    // Files planned, none of them stopping the run, up to the plan's end.
    std::atomic<qsizetype> settled_{0};
    // Written by the plan's thread before its end is published.
    qsizetype moveCount_ = 0;
    RenameState endState_;
    // Into another directory: the moves' names, encoded by the plan's thread.
    std::optional<EncodedAhead> encoded_;
    // Destroyed first: it stops between two files and is joined.
    std::jthread thread_;
};
