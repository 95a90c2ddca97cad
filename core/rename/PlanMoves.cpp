#include "core/rename/PlanMoves.h"

#include "core/fs/DirectoryMoves.h"
#include "core/fs/FileSystem.h"
#include "core/fs/NameCodec.h"
#include "core/rename/RenamePlan.h"
#include "core/rename/UndoJournal.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace {

constexpr int temporaryNameAttempts = 16;
constexpr qsizetype maxNameBytes = 255;

// A visible name, so that a file caught there by a crash is not hidden from
// its owner.
QString temporaryName(const QString& name) {
    const QString suffix =
        u".tessavo-"_s + QString::number(QRandomGenerator::global()->generate(), 16);
    if (encodeFileName(name + suffix).size() <= maxNameBytes)
        return name + suffix;
    return u"tessavo"_s + suffix;
}

} // namespace

bool sourceIsGone(const FsError& error, const QString& from) {
    return error.path == from &&
           (error.code == FsErrorCode::NotFound || error.code == FsErrorCode::NotAFile);
}

PlanMoves::PlanMoves(FileSystem& fileSystem, const RenamePlan& plan, const QString& sourceDir,
                     const QString& targetDir, UndoJournal& journal)
    : plan_(plan), journal_(journal), intoTarget_(fileSystem.movesBetween(sourceDir, targetDir)),
      withinTarget_(fileSystem.movesBetween(targetDir, targetDir)),
      moved_(size_t(plan.moveCount()), false) {
    if (plan_.inPlace) {
        for (qsizetype index = 0; index < plan_.moveCount(); ++index)
            waitingByName_.insert(plan_.targetRules.comparisonKey(plan_.listed[index]), index);
    }
}

std::optional<MoveFailure> PlanMoves::moveListed(qsizetype index) {
    if (moved_[size_t(index)])
        return std::nullopt;
    if (!plan_.inPlace) {
        std::optional<MoveFailure> failure =
            move(*intoTarget_, plan_.listed[index], plan_.newNames[index]);
        markMoved(index);
        return failure;
    }
    // Follow the names: this file wants the name of another that has not
    // moved yet, which wants the name of a third, and so on. Where the
    // target ignores case, a file whose new name differs from its own only
    // in case holds that name itself: it goes through a temporary name, as a
    // cycle does.
    std::vector<qsizetype> chain{index};
    for (qsizetype current = index;;) {
        const QString& wanted = plan_.newNames[current];
        if (wanted == plan_.listed[current])
            break;
        const qsizetype holder = waitingByName_.value(plan_.targetRules.comparisonKey(wanted), -1);
        if (holder < 0)
            break;
        if (holder == index)
            return moveThroughTemporaryName(chain);
        chain.push_back(holder);
        current = holder;
    }
    return moveChainBack(chain);
}

// The last file of the chain wants a free name; each before it then finds
// its name freed.
std::optional<MoveFailure> PlanMoves::moveChainBack(const std::vector<qsizetype>& chain) {
    for (auto file = chain.rbegin(); file != chain.rend(); ++file) {
        const qsizetype index = *file;
        if (plan_.newNames[index] != plan_.listed[index]) {
            if (std::optional<MoveFailure> failure =
                    move(*intoTarget_, plan_.listed[index], plan_.newNames[index]))
                return failure;
        }
        markMoved(index);
    }
    return std::nullopt;
}

// Every file of the cycle wants the name of the next one, the last the name
// of the first: the first steps aside, the rest move, the first follows.
std::optional<MoveFailure>
PlanMoves::moveThroughTemporaryName(const std::vector<qsizetype>& cycle) {
    const qsizetype first = cycle.front();
    const QString& firstName = plan_.listed[first];
    QString aside;
    std::optional<MoveFailure> failure;
    for (int attempt = 0; attempt < temporaryNameAttempts; ++attempt) {
        aside = temporaryName(firstName);
        failure = move(*intoTarget_, firstName, aside);
        if (!failure || failure->error.code != FsErrorCode::AlreadyExists)
            break;
    }
    if (failure)
        return failure;
    markMoved(first);
    const std::vector<qsizetype> rest(cycle.begin() + 1, cycle.end());
    if (std::optional<MoveFailure> restFailed = moveChainBack(rest)) {
        // When the file that wanted the first one's name could not move, that
        // name is still free, and the first file goes back there.
        if (!moved_[size_t(rest.back())])
            (void)move(*withinTarget_, aside, firstName);
        return restFailed;
    }
    return move(*withinTarget_, aside, plan_.newNames[first]);
}

std::optional<MoveFailure> PlanMoves::move(DirectoryMoves& moves, const QString& fromName,
                                           const QString& toName) {
    const FsStatus moved = moves.move(fromName, toName);
    if (moved) {
        journal_.record(moves.fromDir(), fromName, moves.toDir(), toName);
        return std::nullopt;
    }
    if (sourceIsGone(moved.error(), moves.fromDir() + fromName))
        return std::nullopt;
    return MoveFailure{fromName, moved.error()};
}

void PlanMoves::markMoved(qsizetype index) {
    moved_[size_t(index)] = true;
    if (plan_.inPlace)
        waitingByName_.remove(plan_.targetRules.comparisonKey(plan_.listed[index]));
}
