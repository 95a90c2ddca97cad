#include "core/rename/RenamePlanner.h"

#include "core/fs/FailureReason.h"
#include "core/fs/FileSystem.h"
#include "core/fs/NameCodec.h"
#include "core/rename/PlanDirectories.h"
#include "core/rename/RenameFaults.h"
#include "core/rename/RenameOperation.h"
#include "core/run/TwoHalves.h"
#include "core/run/WhileWaiting.h"

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// How many names are claimed between two reports that the plan is under way.
constexpr qsizetype filesBetweenReports = 2048;
// From how many files on the new names are made in two halves at once.
constexpr qsizetype filesNamedInHalves = 8192;

QString quoted(const QString& name) {
    return u"„"_s + displayFileName(name) + u"“"_s;
}

} // namespace

RenamePlanner::RenamePlanner(const RenameOperation& operation, const RenameState& state,
                             const QStringList& listed, const FileSystem& fileSystem, bool moveBack,
                             RenamePlan& plan, const std::function<void()>& stillWorking)
    : operation_(operation), plan_(framed(plan, state, listed, fileSystem, moveBack, stillWorking)),
      rules_(plan.targetRules), target_(targetNames(fileSystem, state.TargetDir, stillWorking)),
      unwritable_(unwritableFault(plan.targetRules, plan.sourceRules)) {
    if (rules_.ignoresCase())
        folded_.emplace(plan_, target_.entries);
    if (plan_.inPlace && !folded_) {
        listedIndex_.reserve(listed.size());
        for (qsizetype index = 0; index < listed.size(); ++index)
            listedIndex_.insert(listed[index], index);
    }
    takenBy_.reserve(listed.size());
}

RenamePlan& RenamePlanner::framed(RenamePlan& plan, const RenameState& state,
                                  const QStringList& listed, const FileSystem& fileSystem,
                                  bool moveBack, const std::function<void()>& stillWorking) {
    plan.listed = listed;
    plan.moveBack = moveBack;
    const FsResult<bool> same = fileSystem.isSameDirectory(state.SourceDir, state.TargetDir);
    plan.inPlace = same && same.value();
    PlanDirectories directories =
        planDirectories(fileSystem, state.SourceDir, state.TargetDir, plan.inPlace, stillWorking);
    plan.targetRules = std::move(directories.target);
    plan.sourceRules = std::move(directories.source);
    return plan;
}

RenamePlanner::TargetNames RenamePlanner::targetNames(const FileSystem& fileSystem,
                                                      const QString& targetDir,
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

void RenamePlanner::planEveryFile(RenameState& state, const std::function<void()>& stillWorking) {
    const qsizetype count = listed().size();
    std::vector<QString> named(static_cast<size_t>(count));
    // The new names are made in two halves at once, each half from a state
    // of its own, while the window paints; the claims need the order and
    // follow.
    std::optional<PlanStop> stop = whileWaiting(
        [&] {
            RenameState secondState = state;
            std::optional<PlanStop> firstStop;
            std::optional<PlanStop> secondStop;
            bool secondNamed = false;
            inTwoHalves(count, filesNamedInHalves, [&](qsizetype begin, qsizetype end) {
                if (begin == 0) {
                    firstStop = nameFiles(state, begin, end, named);
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
                state = std::move(secondState);
            return firstStop ? firstStop : secondStop;
        },
        stillWorking);
    const qsizetype claimed = stop ? stop->index + (stop->afterMove ? 1 : 0) : count;
    plan_.newNames.reserve(claimed);
    for (qsizetype index = 0; index < claimed; ++index) {
        if (stillWorking && index % filesBetweenReports == 0)
            stillWorking();
        if (const std::optional<QString> clash = claim(named[size_t(index)], index))
            return stopAt(index, *clash);
        plan_.newNames.append(std::move(named[size_t(index)]));
    }
    plan_.stop = std::move(stop);
}

std::optional<PlanStop> RenamePlanner::planFile(RenameState& state, qsizetype index,
                                                QString& newName) {
    std::optional<PlanStop> stop = nameFile(state, index, newName);
    if (stop && !stop->afterMove)
        return stop;
    if (const std::optional<QString> clash = claim(newName, index))
        return PlanStop{index, listed()[index], *clash};
    return stop;
}

// In place, a new name that another file still holds is free only once that
// file has moved. When the run ends before it does, the file that wanted the
// name stops the run instead, and so on backwards; its reason names the file
// where the run would have ended, and why.
void RenamePlanner::stopWhereNamesStayTaken() {
    const qsizetype moving = plan_.moveCount();
    std::vector<qsizetype> holder(size_t(moving), -1);
    for (qsizetype index = 0; index < moving; ++index) {
        const QString& newName = plan_.newNames[index];
        if (newName != listed()[index])
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
    const QString& holderName = listed()[holder[size_t(end)]];
    plan_.newNames.resize(end);
    plan_.stop = PlanStop{end, listed()[end],
                          u"Den neuen Namen hat noch %1, und der Lauf endet schon bei %2: %3"_s.arg(
                              quoted(holderName), quoted(cause.name), cause.reason)};
}

// The step from one file's number to the next; none unless numbering.
int RenamePlanner::numberStep(const RenameState& state) const {
    return operation_.parameters == RenameParameters::Numbering ? state.NumberStep : 0;
}

// Gives file `index` its new name in `newName` as the transform makes it from
// `state`, and checks the name on its own.
std::optional<PlanStop> RenamePlanner::nameFile(RenameState& state, qsizetype index,
                                                QString& newName) const {
    const QString& name = listed()[index];
    const auto stop = [&](QString reason, bool afterMove = false) {
        return PlanStop{index, name, std::move(reason), afterMove};
    };
    state.CurrentName = name;
    if (!operation_.transform(state))
        return stop(transformFault(operation_, state));
    if (const std::optional<QString> fault = newNameFault(state.NewName))
        return stop(*fault);
    newName = state.NewName.isEmpty() ? name : state.NewName;
    // In place, a file that keeps its name is not moved.
    if (!plan_.inPlace || newName != name) {
        if (unwritable_)
            return stop(*unwritable_);
        if (const std::optional<QString> refusal = rules_.refusal(newName))
            return stop(*refusal);
    }
    if (operation_.parameters == RenameParameters::Numbering) {
        const int next = state.RunningNumber + state.NumberStep;
        if (next < -32768 || next > 32767)
            return stop(numberRangeFault(), true);
        state.RunningNumber = qint16(next);
    }
    return std::nullopt;
}

// Names the files `begin` to `end` - 1 into `named`; the first file that
// stops the run ends it.
std::optional<PlanStop> RenamePlanner::nameFiles(RenameState& state, qsizetype begin, qsizetype end,
                                                 std::vector<QString>& named) const {
    for (qsizetype index = begin; index < end; ++index) {
        if (std::optional<PlanStop> stop = nameFile(state, index, named[size_t(index)]))
            return stop;
    }
    return std::nullopt;
}

void RenamePlanner::stopAt(qsizetype index, const QString& reason) {
    plan_.stop = PlanStop{index, listed()[index], reason};
}

// Gives `newName` to file `index`, or tells why it cannot have it.
std::optional<QString> RenamePlanner::claim(const QString& newName, qsizetype index) {
    if (target_.unusable)
        return target_.unusable;
    if (folded_)
        return folded_->claim(newName, index);
    // One lookup finds the file that has the name already or makes room.
    qsizetype& taker = takenBy_[newName];
    if (taker != 0)
        return sameNewNameFault(listed()[taker - 1]);
    taker = index + 1;
    // In place, a listed name is given up when its file moves.
    if (plan_.inPlace && listedIndex_.contains(newName))
        return std::nullopt;
    if (target_.entries.contains(newName))
        return takenFault();
    return std::nullopt;
}
