#include "core/rename/RenamePlan.h"

#include "core/fs/FailureReason.h"
#include "core/fs/FileSystem.h"
#include "core/fs/NameCodec.h"
#include "core/fs/NaturalOrder.h"
#include "core/rename/FoldedClaims.h"
#include "core/rename/PlanDirectories.h"
#include "core/rename/RenameFaults.h"
#include "core/rename/RenameOperation.h"
#include "core/run/TwoHalves.h"
#include "core/run/WhileWaiting.h"

#include <QHash>

#include <functional>

#include <algorithm>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// How many names are claimed between two reports that the plan is under way.
constexpr qsizetype filesBetweenReports = 2048;
// From how many files on the new names are made in two halves at once.
constexpr qsizetype filesNamedInHalves = 8192;

QString quoted(const QString& name) {
    return u"„"_s + displayFileName(name) + u"“"_s;
}

// What new names in the target directory can collide with.
struct TargetNames {
    QSet<QString> entries;
    // Why no file can be moved there at all; a target that cannot be listed
    // for another reason is left to the moves themselves.
    std::optional<QString> unusable;
};

TargetNames targetNames(const FileSystem& fileSystem, const QString& targetDir,
                        const std::function<void()>& stillWorking) {
    const FsResult<QStringList> entries =
        whileWaiting([&] { return fileSystem.listEntries(targetDir); }, stillWorking);
    if (entries)
        return {QSet<QString>(entries.value().begin(), entries.value().end()), std::nullopt};
    const FsErrorCode code = entries.error().code;
    if (code == FsErrorCode::NotFound || code == FsErrorCode::NotAFile)
        return {{}, failureReason(entries.error())};
    return {};
}

class Planner {
public:
    Planner(const RenameOperation& operation, RenameState& state, const FileSystem& fileSystem,
            RenamePlan& plan, const std::function<void()>& stillWorking)
        : operation_(operation), state_(state), plan_(plan), rules_(plan.targetRules),
          target_(targetNames(fileSystem, state.TargetDir, stillWorking)),
          unwritable_(unwritableFault(plan.targetRules, plan.sourceRules)) {
        if (rules_.ignoresCase())
            folded_.emplace(plan_, target_.entries);
        if (plan_.inPlace && !folded_) {
            listedIndex_.reserve(plan_.listed.size());
            for (qsizetype index = 0; index < plan_.listed.size(); ++index)
                listedIndex_.insert(plan_.listed[index], index);
        }
        takenBy_.reserve(plan_.listed.size());
        plan_.newNames.reserve(plan_.listed.size());
    }

    void planEveryFile(const std::function<void()>& stillWorking) {
        const qsizetype count = plan_.listed.size();
        std::vector<QString> named(static_cast<size_t>(count));
        // The new names are made in two halves at once, each half from a
        // state of its own, while the window paints; the claims need the
        // order and follow.
        std::optional<PlanStop> stop = whileWaiting(
            [&] {
                RenameState secondState = state_;
                std::optional<PlanStop> firstStop;
                std::optional<PlanStop> secondStop;
                bool secondNamed = false;
                inTwoHalves(count, filesNamedInHalves, [&](qsizetype begin, qsizetype end) {
                    if (begin == 0) {
                        firstStop = nameFiles(state_, begin, end, named);
                        return;
                    }
                    // A number beyond the range here stops the first half.
                    const qint64 number =
                        secondState.RunningNumber + qint64(begin) * numberStep(secondState);
                    if (number < -32768 || number > 32767)
                        return;
                    secondState.RunningNumber = qint16(number);
                    secondStop = nameFiles(secondState, begin, end, named);
                    secondNamed = true;
                });
                if (secondNamed && !firstStop)
                    state_ = std::move(secondState);
                return firstStop ? firstStop : secondStop;
            },
            stillWorking);
        const qsizetype claimed = stop ? stop->index + (stop->afterMove ? 1 : 0) : count;
        for (qsizetype index = 0; index < claimed; ++index) {
            if (stillWorking && index % filesBetweenReports == 0)
                stillWorking();
            if (const std::optional<QString> clash = claim(named[size_t(index)], index))
                return stopAt(index, *clash);
            plan_.newNames.append(std::move(named[size_t(index)]));
        }
        plan_.stop = std::move(stop);
    }

    // In place, a new name that another file still holds is free only once
    // that file has moved. When the run ends before it does, the file that
    // wanted the name stops the run instead, and so on backwards; its reason
    // names the file where the run would have ended, and why.
    void stopWhereNamesStayTaken() {
        const qsizetype moving = plan_.moveCount();
        std::vector<qsizetype> holder(size_t(moving), -1);
        for (qsizetype index = 0; index < moving; ++index) {
            const QString& newName = plan_.newNames[index];
            if (newName != plan_.listed[index])
                holder[size_t(index)] =
                    folded_ ? folded_->holderOf(newName) : listedIndex_.value(newName, -1);
        }
        // The run can go on up to `end` when no file before it needs the name
        // of a file from `end` on; the largest such end is where it stops.
        std::vector<qsizetype> highestHolderBefore(size_t(moving) + 1, -1);
        for (qsizetype index = 0; index < moving; ++index)
            highestHolderBefore[size_t(index) + 1] =
                std::max(highestHolderBefore[size_t(index)], holder[size_t(index)]);
        qsizetype end = moving;
        while (highestHolderBefore[size_t(end)] >= end)
            --end;
        if (end == moving)
            return;
        // Only a stop makes a holder stay: without one every file moves.
        Q_ASSERT(plan_.stop);
        const PlanStop cause = *plan_.stop;
        const QString& holderName = plan_.listed[holder[size_t(end)]];
        plan_.newNames.resize(end);
        plan_.stop =
            PlanStop{end, plan_.listed[end],
                     u"Den neuen Namen hat noch %1, und der Lauf endet schon bei %2: %3"_s.arg(
                         quoted(holderName), quoted(cause.name), cause.reason)};
    }

private:
    // The step from one file's number to the next; none unless numbering.
    int numberStep(const RenameState& state) const {
        return operation_.parameters == RenameParameters::Numbering ? state.NumberStep : 0;
    }

    // Gives the files `begin` to `end` - 1 their new names in `named`, each
    // as the transform makes it from `state`, and checks each name on its
    // own; the first file that stops the run ends it.
    std::optional<PlanStop> nameFiles(RenameState& state, qsizetype begin, qsizetype end,
                                      std::vector<QString>& named) const {
        const bool numbering = operation_.parameters == RenameParameters::Numbering;
        // Read only: the listing is shared, and a write would copy it.
        const QStringList& listed = plan_.listed;
        const auto stop = [&](qsizetype index, QString reason, bool afterMove = false) {
            return PlanStop{index, listed[index], std::move(reason), afterMove};
        };
        for (qsizetype index = begin; index < end; ++index) {
            const QString& name = listed[index];
            state.CurrentName = name;
            if (!operation_.transform(state))
                return stop(index, transformFault(operation_, state));
            if (const std::optional<QString> fault = newNameFault(state.NewName))
                return stop(index, *fault);
            QString& newName = named[size_t(index)];
            newName = state.NewName.isEmpty() ? name : state.NewName;
            // In place, a file that keeps its name is not moved.
            if (!plan_.inPlace || newName != name) {
                if (unwritable_)
                    return stop(index, *unwritable_);
                if (const std::optional<QString> refusal = rules_.refusal(newName))
                    return stop(index, *refusal);
            }
            if (numbering) {
                const int next = state.RunningNumber + state.NumberStep;
                if (next < -32768 || next > 32767)
                    return stop(index, numberRangeFault(), true);
                state.RunningNumber = qint16(next);
            }
        }
        return std::nullopt;
    }

    void stopAt(qsizetype index, const QString& reason, bool afterMove = false) {
        plan_.stop = PlanStop{index, plan_.listed[index], reason, afterMove};
    }

    // Gives `newName` to file `index`, or tells why it cannot have it.
    std::optional<QString> claim(const QString& newName, qsizetype index) {
        if (target_.unusable)
            return target_.unusable;
        if (folded_)
            return folded_->claim(newName, index);
        // One lookup finds the file that has the name already or makes room.
        qsizetype& taker = takenBy_[newName];
        if (taker != 0)
            return sameNewNameFault(plan_.listed[taker - 1]);
        taker = index + 1;
        // In place, a listed name is given up when its file moves.
        if (plan_.inPlace && listedIndex_.contains(newName))
            return std::nullopt;
        if (target_.entries.contains(newName))
            return takenFault();
        return std::nullopt;
    }

    const RenameOperation& operation_;
    RenameState& state_;
    RenamePlan& plan_;
    const TargetRules& rules_;
    const TargetNames target_;
    // Why no file can be moved at all; none when every one can.
    const std::optional<QString> unwritable_;
    std::optional<FoldedClaims> folded_;    // where the target ignores case
    QHash<QString, qsizetype> listedIndex_; // in place only
    QHash<QString, qsizetype> takenBy_;     // new name -> 1 + the file that gets it
};

} // namespace

RenamePlan planRenames(const RenameOperation& operation, RenameState& state,
                       const QStringList& listed, const FileSystem& fileSystem, bool moveBack,
                       const std::function<void()>& stillWorking) {
    RenamePlan plan;
    plan.listed = listed;
    plan.moveBack = moveBack;
    const FsResult<bool> same = fileSystem.isSameDirectory(state.SourceDir, state.TargetDir);
    plan.inPlace = same && same.value();
    PlanDirectories directories =
        planDirectories(fileSystem, state.SourceDir, state.TargetDir, plan.inPlace, stillWorking);
    plan.targetRules = std::move(directories.target);
    plan.sourceRules = std::move(directories.source);

    Planner planner(operation, state, fileSystem, plan, stillWorking);
    planner.planEveryFile(stillWorking);
    if (plan.inPlace)
        planner.stopWhereNamesStayTaken();
    return plan;
}

// MoveBack lists the target directory after the run and moves every file
// back under the name it has there, by the source's rules; a name the
// source still holds, or refuses, stops it. The reasons are those its moves
// would give.
void planMoveBack(RenamePlan& plan, const FileSystem& fileSystem, const RenameState& state,
                  const std::function<void()>& stillWorking) {
    if (!plan.moveBack || plan.stop || plan.inPlace)
        return;
    const FsResult<QStringList> inTarget =
        fileSystem.listFilesReporting(state.TargetDir, stillWorking);
    if (!inTarget) {
        plan.moveBackStop = PlanStop{-1, state.TargetDir, failureReason(inTarget.error())};
        return;
    }
    const TargetRules& source = plan.sourceRules;
    QSet<QString> stayInSource;
    if (const FsResult<QStringList> inSource =
            whileWaiting([&] { return fileSystem.listEntries(state.SourceDir); }, stillWorking)) {
        for (const QString& name : inSource.value())
            stayInSource.insert(source.comparisonKey(name));
        for (const QString& name : plan.listed)
            stayInSource.remove(source.comparisonKey(name));
    }
    plan.alreadyInTarget = QSet<QString>(inTarget.value().begin(), inTarget.value().end());
    plan.moveBackNames = inTarget.value() + plan.newNames;
    sortNaturally(plan.moveBackNames);
    const int unwritable = source.unwritable != 0 ? source.unwritable : plan.targetRules.unwritable;
    const QString taken = failureReason({FsErrorCode::AlreadyExists, {}, 0});
    // Names of a target that tells case apart can meet in a source that does not.
    QSet<QString> given;
    // MoveBack checks each name by the rules before it moves the file.
    const auto moveBackFault = [&](const QString& name) -> std::optional<QString> {
        if (std::optional<QString> refusal = source.refusal(name))
            return refusal;
        if (unwritable != 0)
            return failureReason({FsErrorCode::AccessDenied, {}, unwritable});
        const QString key = source.comparisonKey(name);
        if (stayInSource.contains(key))
            return taken;
        if (source.ignoresCase()) {
            if (given.contains(key))
                return taken;
            given.insert(key);
        }
        return std::nullopt;
    };
    for (qsizetype index = 0; index < plan.moveBackNames.size(); ++index) {
        if (std::optional<QString> fault = moveBackFault(plan.moveBackNames[index])) {
            plan.moveBackStop = PlanStop{index, plan.moveBackNames[index], *fault};
            return;
        }
    }
}
