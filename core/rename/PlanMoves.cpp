#include "core/rename/PlanMoves.h"

#include "core/fs/DirectoryMoves.h"
#include "core/fs/FailureReason.h"
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

QString quoted(const QString& name) {
    return u"„"_s + displayFileName(name) + u"“"_s;
}

// Adds to the cause of `failure` that a file was left under its temporary name.
void keptTemporaryName(MoveFailure& failure, const QString& name, const QString& aside) {
    failure.error.cause =
        failureReason(failure.error) +
        u" Deshalb heißt die Datei, die %1 hieß, noch %2."_s.arg(quoted(name), quoted(aside));
}

// A name as the target compares it: the name itself where it compares
// exactly, so that a target that tells case apart costs no copy; the key in
// `folded` otherwise.
const QString& compared(const RenamePlan& plan, const QString& name, QString& folded) {
    if (!plan.targetRules.ignoresCase())
        return name;
    folded = plan.targetRules.comparisonKey(name);
    return folded;
}

// In place: a moved file no longer holds its listed name. Out of line, so
// that a move into another directory pays nothing for it.
Q_NEVER_INLINE void stopWaiting(QHash<QString, qsizetype>& waitingByName, const RenamePlan& plan,
                                qsizetype index) {
    QString folded;
    waitingByName.remove(compared(plan, plan.listed[index], folded));
}

} // namespace

bool sourceIsGone(const FsError& error, const QString& from) {
    return error.path == from &&
           (error.code == FsErrorCode::NotFound || error.code == FsErrorCode::NotAFile);
}

PlanMoves::PlanMoves(FileSystem& fileSystem, const RenamePlan& plan, const QString& sourceDir,
                     const QString& targetDir, MoveRecorder& recorder,
                     std::function<EncodedNames(qsizetype)> encodedAhead)
    : plan_(plan), recorder_(recorder), encodedAhead_(std::move(encodedAhead)),
      intoTarget_(fileSystem.movesBetween(sourceDir, targetDir)),
      withinTarget_(fileSystem.movesBetween(targetDir, targetDir)),
      moved_(size_t(plan.moveCount()), false) {
    if (plan_.inPlace) {
        QString folded;
        for (qsizetype index = 0; index < plan_.moveCount(); ++index)
            waitingByName_.insert(compared(plan_, plan_.listed[index], folded), index);
    }
}

std::optional<MoveFailure> PlanMoves::moveListed(qsizetype index) {
    if (moved_[size_t(index)])
        return std::nullopt;
    if (!plan_.inPlace) {
        std::optional<MoveFailure> failure = announce(index, index);
        if (!failure) {
            std::optional<EncodedNames> encoded;
            if (encodedAhead_)
                encoded = encodedAhead_(index);
            failure = move(*intoTarget_, index, plan_.listed[index], plan_.newNames[index],
                           encoded ? &*encoded : nullptr);
        }
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
        QString folded;
        const qsizetype holder = waitingByName_.value(compared(plan_, wanted, folded), -1);
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
        giveBackFirstName(first, rest, aside, *restFailed);
        return restFailed;
    }
    if (const FsStatus announced = recorder_.beforeLastMoveOfCycle(first); !announced)
        return MoveFailure{firstName, announced.error()};
    return move(*withinTarget_, first, aside, plan_.newNames[first]);
}

// The rest of a cycle moved from its end until one failed; those that moved
// go back, the last to move first, which frees the first file's old name for
// it. Where that fails, `failure` says which name the first file has now.
void PlanMoves::giveBackFirstName(qsizetype first, const std::vector<qsizetype>& rest,
                                  const QString& aside, MoveFailure& failure) {
    const QString& firstName = plan_.listed[first];
    const auto movedFrom = std::find_if(rest.begin(), rest.end(),
                                        [this](qsizetype index) { return moved_[size_t(index)]; });
    for (auto file = movedFrom; file != rest.end(); ++file) {
        if (move(*withinTarget_, *file, plan_.newNames[*file], plan_.listed[*file]))
            return keptTemporaryName(failure, firstName, aside);
    }
    if (move(*withinTarget_, first, aside, firstName))
        keptTemporaryName(failure, firstName, aside);
}

std::optional<MoveFailure> PlanMoves::move(DirectoryMoves& moves, qsizetype file,
                                           const QString& fromName, const QString& toName,
                                           const EncodedNames* encoded) {
    const FsStatus moved =
        encoded ? moves.moveEncoded(fromName, toName, *encoded) : moves.move(fromName, toName);
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
        stopWaiting(waitingByName_, plan_, index);
}
