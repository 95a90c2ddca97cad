#pragma once

#include "core/fs/DirectoryMoves.h"
#include "core/fs/FsResult.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class FileSystem;
class MoveRecorder;
struct RenamePlan;

// A move that failed: the name of the file it concerned, and why.
struct MoveFailure {
    QString name;
    FsError error;
};

// Whether a move failed only because its source, a listed file, has gone
// since the listing: that file has nothing left to move.
bool sourceIsGone(const FsError& error, const QString& from);

// Carries out a plan's moves one listed file at a time; each is announced to
// the recorder before it is made and recorded after. In place, a file whose new name another file
// still holds moves after that file, and a cycle of names goes through a temporary name, so that no
// move ever needs to replace a file.
class PlanMoves {
public:
    // `encodedAhead`, when given, tells the encoded names of listed file i's
    // move into another directory, asked in the listing's order.
    PlanMoves(FileSystem& fileSystem, const RenamePlan& plan, const QString& sourceDir,
              const QString& targetDir, MoveRecorder& recorder,
              std::function<EncodedNames(qsizetype)> encodedAhead = {});

    // Moves listed file `index` under its new name, with whatever has to move
    // first. A file gone since the listing counts as moved. A move the
    // recorder cannot announce is not made, and fails with its cause.
    std::optional<MoveFailure> moveListed(qsizetype index);

private:
    std::optional<MoveFailure> moveChainBack(const std::vector<qsizetype>& chain);
    std::optional<MoveFailure> moveThroughTemporaryName(const std::vector<qsizetype>& cycle);
    // Has the moves of the files up to `last` announced before file `index` moves.
    std::optional<MoveFailure> announce(qsizetype index, qsizetype last);
    void giveBackFirstName(qsizetype first, const std::vector<qsizetype>& rest,
                           const QString& aside, MoveFailure& failure);
    std::optional<MoveFailure> move(DirectoryMoves& moves, qsizetype file, const QString& fromName,
                                    const QString& toName, const EncodedNames* encoded = nullptr);
    void markMoved(qsizetype index);

    const RenamePlan& plan_;
    MoveRecorder& recorder_;
    const std::function<EncodedNames(qsizetype)> encodedAhead_;
    std::unique_ptr<DirectoryMoves> intoTarget_;
    std::unique_ptr<DirectoryMoves> withinTarget_; // through a temporary name
    std::vector<bool> moved_;
    QHash<QString, qsizetype> waitingByName_; // in place: listed name -> file not moved yet
};
