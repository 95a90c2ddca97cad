#include "core/rename/PlanMoves.h"

#include "core/fs/DirectoryMoves.h"
#include "core/fs/FileSystem.h"
#include "core/fs/NameCodec.h"
#include "core/rename/MoveRecorder.h"
#include "core/rename/RenamePlan.h"

#include <QRandomGenerator>

#include <algorithm>

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
                     const QString& targetDir, MoveRecorder& recorder)
    : plan_(plan), recorder_(recorder), intoTarget_(fileSystem.movesBetween(sourceDir, targetDir)),
      withinTarget_(fileSystem.movesBetween(targetDir, targetDir)),
      moved_(size_t(plan.moveCount()), false) {
    if (plan_.inPlace) {
        for (qsizetype index = 0; index < plan_.moveCount(); ++index)
            waitingByName_.insert(plan_.listed[index], index);
    }
}

std::optional<MoveFailure> PlanMoves::moveListed(qsizetype index) {
    if (moved_[size_t(index)])
        return std::nullopt;
    if (!plan_.inPlace) {
        std::optional<MoveFailure> failure = announce(index, index);
        if (!failure)
            failure = move(*intoTarget_, index, plan_.listed[index], plan_.newNames[index]);
        markMoved(index);
        return failure;
    }
    // Follow the names: this file wants the name of another that has not
    // moved yet, which wants the name of a third, and so on.
    std::vector<qsizetype> chain{index};
    for (qsizetype current = index;;) {
        const QString& wanted = plan_.newNames[current];
        if (wanted == plan_.listed[current])
            break;
        const qsizetype holder = waitingByName_.value(wanted, -1);
        if (holder < 0)
            break;
        if (holder == index) {
            if (std::optional<MoveFailure> failure =
                    announce(index, *std::max_element(chain.begin(), chain.end())))
                return failure;
            return moveThroughTemporaryName(chain);
        }
        chain.push_back(holder);
        current = holder;
    }
    if (std::optional<MoveFailure> failure =
            announce(index, *std::max_element(chain.begin(), chain.end())))
        return failure;
    return moveChainBack(chain);
}

std::optional<MoveFailure> PlanMoves::announce(qsizetype index, qsizetype last) {
    const FsStatus announced = recorder_.mayMove(last);
    if (announced)
        return std::nullopt;
    return MoveFailure{plan_.listed[index], announced.error()};
}

// The last file of the chain wants a free name; each before it then finds
// its name freed.
std::optional<MoveFailure> PlanMoves::moveChainBack(const std::vector<qsizetype>& chain) {
    for (auto file = chain.rbegin(); file != chain.rend(); ++file) {
        const qsizetype index = *file;
        if (plan_.newNames[index] != plan_.listed[index]) {
            if (std::optional<MoveFailure> failure =
                    move(*intoTarget_, index, plan_.listed[index], plan_.newNames[index]))
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
        failure = move(*intoTarget_, first, firstName, aside);
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
            (void)move(*withinTarget_, first, aside, firstName);
        return restFailed;
    }
    if (const FsStatus announced = recorder_.beforeLastMoveOfCycle(first); !announced)
        return MoveFailure{firstName, announced.error()};
    return move(*withinTarget_, first, aside, plan_.newNames[first]);
}

std::optional<MoveFailure> PlanMoves::move(DirectoryMoves& moves, qsizetype file,
                                           const QString& fromName, const QString& toName) {
    const FsStatus moved = moves.move(fromName, toName);
    if (moved) {
        recorder_.moved(file, fromName, toName);
        return std::nullopt;
    }
    if (sourceIsGone(moved.error(), moves.fromDir() + fromName)) {
        recorder_.gone(file);
        return std::nullopt;
    }
    return MoveFailure{fromName, moved.error()};
}

void PlanMoves::markMoved(qsizetype index) {
    moved_[size_t(index)] = true;
    if (plan_.inPlace)
        waitingByName_.remove(plan_.listed[index]);
}
