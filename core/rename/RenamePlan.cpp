#include "core/rename/RenamePlan.h"

#include "core/fs/FailureReason.h"
#include "core/fs/FileSystem.h"
#include "core/fs/NaturalOrder.h"
#include "core/rename/RenamePlanner.h"
#include "core/rename/RenameState.h"
#include "core/run/WhileWaiting.h"

#include <QSet>

#include <functional>

RenamePlan planRenames(const RenameOperation& operation, RenameState& state,
                       const QStringList& listed, const FileSystem& fileSystem, bool moveBack,
                       const std::function<void()>& stillWorking) {
    RenamePlan plan;
    RenamePlanner planner(operation, state, listed, fileSystem, moveBack, plan, stillWorking);
    planner.planEveryFile(state, stillWorking);
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
