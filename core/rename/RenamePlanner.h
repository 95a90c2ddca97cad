#pragma once

#include "core/rename/FoldedClaims.h"
#include "core/rename/RenamePlan.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class FileSystem;
struct RenameOperation;
struct RenameState;

// Works a rename plan out: gives each listed file, in the listing's order,
// its new name as the transform makes it, checks that name by the target's
// rules and claims it there, until the first file that stops the run.
class RenamePlanner {
public:
    // Fills in what `plan` holds before its first file (the listing, whether
    // the run is in place, both directories' rules) and reads what the
    // target holds; `plan` must outlive the planner. `stillWorking`, when
    // given, is called now and then while a directory answers.
    RenamePlanner(const RenameOperation& operation, const RenameState& state,
                  const QStringList& listed, const FileSystem& fileSystem, bool moveBack,
                  RenamePlan& plan, const std::function<void()>& stillWorking);
    RenamePlanner(const RenamePlanner&) = delete;
    RenamePlanner& operator=(const RenamePlanner&) = delete;

    // Plans every file from `state`, the new names of a large directory in
    // two halves at once, and leaves `state` as the transform left it for
    // the last file named.
    void planEveryFile(RenameState& state, const std::function<void()>& stillWorking);

    // Plans file `index`, the files before it planned already, from `state`:
    // its new name goes into `newName`. Returns the stop when the run ends at
    // this file; a stop after its move leaves the name claimed.
    std::optional<PlanStop> planFile(RenameState& state, qsizetype index, QString& newName);

    // In place, a new name that another file still holds is free only once
    // that file has moved; see the definition.
    void stopWhereNamesStayTaken();

private:
    // What new names in the target directory can collide with.
    struct TargetNames {
        QSet<QString> entries;
        // Why no file can be moved there at all; a target that cannot be
        // listed for another reason is left to the moves themselves.
        std::optional<QString> unusable;
    };

    // `plan` with what it holds before its first file.
    static RenamePlan& framed(RenamePlan& plan, const RenameState& state, const QStringList& listed,
                              const FileSystem& fileSystem, bool moveBack,
                              const std::function<void()>& stillWorking);
    static TargetNames targetNames(const FileSystem& fileSystem, const QString& targetDir,
                                   const std::function<void()>& stillWorking);
    // Read only: the listing is shared, and a write would copy it (and,
    // while files move, change what the moves read).
    const QStringList& listed() const { return plan_.listed; }
    int numberStep(const RenameState& state) const;
    std::optional<PlanStop> nameFile(RenameState& state, qsizetype index, QString& newName) const;
    std::optional<PlanStop> nameFiles(RenameState& state, qsizetype begin, qsizetype end,
                                      std::vector<QString>& named) const;
    void stopAt(qsizetype index, const QString& reason);
    std::optional<QString> claim(const QString& newName, qsizetype index);

    const RenameOperation& operation_;
    RenamePlan& plan_;
    const TargetRules& rules_;
    const TargetNames target_;
    // Why no file can be moved at all; none when every one can.
    const std::optional<QString> unwritable_;
    std::optional<FoldedClaims> folded_;    // where the target ignores case
    QHash<QString, qsizetype> listedIndex_; // in place only
    QHash<QString, qsizetype> takenBy_;     // new name -> 1 + the file that gets it
};
