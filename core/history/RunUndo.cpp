#include "core/history/RunUndo.h"

#include "core/fs/FailureReason.h"
#include "core/fs/FileSystem.h"
#include "core/fs/IdentitiesAhead.h"
#include "core/history/FileMatch.h"
#include "core/history/HistoryText.h"
#include "core/history/PhaseRecorder.h"
#include "core/history/RunJournal.h"
#include "core/rename/PlanMoves.h"
#include "core/rename/RenamePlan.h"
#include "core/run/WhileWaiting.h"

#include <QMap>
#include <QStringList>

#include <vector>

namespace {

bool worksOnAnotherPhase(PhaseKind kind) {
    return kind == PhaseKind::Undo || kind == PhaseKind::Repair;
}

QString reasonOf(const FsError& error) {
    if (error.code == FsErrorCode::AlreadyExists)
        return takenReason();
    if (error.code == FsErrorCode::NotFound)
        return goneReason();
    return failureReason(error);
}

} // namespace

AwayFiles awayIn(const RunRecord& run, qsizetype phase) {
    const PhaseRecord& record = run.phases[phase];
    // Where each file is; a null name: at its old place.
    std::vector<QString> where(size_t(record.intents.size()));
    for (qsizetype file = 0; file < record.intents.size(); ++file) {
        if (record.states[size_t(file)] == FileState::Moved)
            where[size_t(file)] = record.intents[file].to;
        else if (record.states[size_t(file)] == FileState::Aside)
            where[size_t(file)] = record.aside.value(file);
    }
    for (qsizetype later = phase + 1; later < run.phases.size(); ++later) {
        const PhaseRecord& back = run.phases[later];
        if (back.setup.undoes != phase || !worksOnAnotherPhase(back.setup.kind))
            continue;
        for (qsizetype file = 0; file < back.intents.size(); ++file) {
            const auto original = size_t(back.intents[file].original);
            if (original >= where.size())
                continue;
            if (back.states[size_t(file)] == FileState::Moved)
                where[original] = QString();
            else if (back.states[size_t(file)] == FileState::Aside)
                where[original] = back.aside.value(file);
        }
    }
    AwayFiles away;
    for (size_t file = 0; file < where.size(); ++file)
        if (!where[file].isNull())
            away.append({qsizetype(file), std::move(where[file])});
    return away;
}

RunUndo::RunUndo(FileSystem& fileSystem, RunJournal& journal, RunRecord& run)
    : fileSystem_(fileSystem), journal_(journal), run_(run) {}

const QList<std::pair<qsizetype, AwayFiles>>& RunUndo::passes() {
    if (passes_)
        return *passes_;
    passes_.emplace();
    for (qsizetype phase = run_.phases.size() - 1; phase >= 0; --phase) {
        if (worksOnAnotherPhase(run_.phases[phase].setup.kind))
            continue;
        AwayFiles away = awayIn(run_, phase);
        if (!away.isEmpty())
            passes_->append({phase, std::move(away)});
    }
    return *passes_;
}

qsizetype RunUndo::awayCount() {
    qsizetype away = 0;
    for (const auto& [phase, files] : passes())
        away += files.size();
    return away;
}

UndoOutcome RunUndo::undo(const UndoProgress& progress, const RestoredName& restored) {
    progress_ = progress;
    restored_ = restored;
    total_ += awayCount();
    UndoOutcome outcome;
    for (const auto& [phase, away] : passes()) {
        putBack(phase, PhaseKind::Undo, away, outcome);
        if (outcome.journalFailure)
            break;
    }
    return outcome;
}

UndoOutcome RunUndo::repairTemporaryNames(const UndoProgress& progress) {
    progress_ = progress;
    UndoOutcome outcome;
    for (qsizetype phase = 0; phase < run_.phases.size() && !outcome.journalFailure; ++phase) {
        const PhaseRecord& record = run_.phases[phase];
        QHash<qsizetype, QString> away;
        for (const auto& [file, name] : awayIn(run_, phase))
            away.insert(file, name);
        QHash<QString, qsizetype> oldNames;
        for (qsizetype file = 0; file < record.intents.size(); ++file)
            oldNames.insert(record.intents[file].from, file);
        // A file under a temporary name, and the files of its cycle that
        // took the names before it, go back to where they were.
        QMap<qsizetype, QString> back;
        for (auto file = away.cbegin(); file != away.cend(); ++file) {
            if (file.value() == record.intents[file.key()].to)
                continue;
            back.insert(file.key(), file.value());
            for (qsizetype next = oldNames.value(record.intents[file.key()].to, -1);
                 next >= 0 && next != file.key() && !back.contains(next);
                 next = oldNames.value(record.intents[next].to, -1)) {
                if (away.contains(next))
                    back.insert(next, away.value(next));
            }
        }
        AwayFiles files;
        for (auto file = back.cbegin(); file != back.cend(); ++file)
            files.append({file.key(), file.value()});
        total_ += files.size();
        if (!files.isEmpty())
            putBack(phase, PhaseKind::Repair, files, outcome);
    }
    return outcome;
}

QSet<QString> RunUndo::placesBefore(qsizetype phase) const {
    QSet<QString> places;
    for (qsizetype earlier = 0; earlier < phase; ++earlier) {
        const PhaseRecord& record = run_.phases[earlier];
        if (worksOnAnotherPhase(record.setup.kind))
            continue;
        for (qsizetype file = 0; file < record.intents.size(); ++file)
            if (record.states[size_t(file)] != FileState::NotMoved)
                places.insert(record.setup.toDir + record.intents[file].to);
    }
    return places;
}

void RunUndo::putBack(qsizetype phase, PhaseKind kind, const AwayFiles& files,
                      UndoOutcome& outcome) {
    const PhaseRecord& record = run_.phases[phase];
    const PhaseSetup& setup = record.setup;

    // Only files that are still the ones the run moved go back.
    bool sameVolume = true;
    if (setup.check == IdentityCheck::ByInode) {
        const FsResult<DirectoryVolume> volume = fileSystem_.volumeOf(setup.toDir);
        sameVolume = volume && volume.value().id == setup.toVolume;
    }
    RenamePlan plan;
    plan.inPlace = setup.inPlace;
    // Names go back as the run's source compares them, through a temporary
    // name where they differ only in case there.
    plan.targetRules = fileSystem_.targetRules(setup.fromDir);
    plan.listed.reserve(files.size());
    plan.newNames.reserve(files.size());
    QList<FileIdentity> identities;
    identities.reserve(files.size());
    std::vector<qsizetype> originals;
    originals.reserve(size_t(files.size()));
    const auto take = [&](qsizetype file, const QString& name) {
        plan.listed.append(name);
        plan.newNames.append(record.intents[file].from);
        identities.append(record.intents[file].identity);
        originals.push_back(file);
    };
    // A file whose old place a file that stays holds stays too.
    const auto stuck = [&](const Intent& intent, const QString& name) {
        if (stuckHomes_.isEmpty() || !stuckHomes_.contains(setup.toDir + name))
            return false;
        stuckHomes_.insert(setup.fromDir + intent.from);
        return true;
    };
    // Why the file found where the run left it may not go back; empty where
    // it may.
    const auto refusal = [&](const Intent& intent, const FsResult<FileIdentity>& identity) {
        if (!identity)
            return identity.error().code == FsErrorCode::NotFound ? goneReason()
                                                                  : failureReason(identity.error());
        if (!sameVolume)
            return otherVolumeReason();
        if (!isSameFile(setup, intent.identity, identity.value()))
            return replacedReason();
        return QString();
    };
    const auto stays = [&](const Intent& intent, const QString& name, const QString& reason) {
        outcome.left.append({name, reason});
        stuckHomes_.insert(setup.fromDir + intent.from);
    };

    // The files go back in the order they had moved, last first. In place a
    // file that stays keeps its name from the others, so the plan holds only
    // the files that may go back; elsewhere each file is checked on another
    // thread ahead of its move, where its names are encoded too.
    std::optional<IdentitiesAhead> ahead;
    if (setup.inPlace) {
        QStringList names;
        names.reserve(files.size());
        for (auto away = files.crbegin(); away != files.crend(); ++away)
            names.append(away->second);
        const std::vector<FsResult<FileIdentity>> found =
            whileWaiting([&] { return fileSystem_.identitiesIn(setup.toDir, names); },
                         [this] { progress_(done_, total_); });
        qsizetype checked = 0;
        for (auto away = files.crbegin(); away != files.crend(); ++away, ++checked) {
            const auto& [file, name] = *away;
            const Intent& intent = record.intents[file];
            if (stuck(intent, name))
                continue;
            if (const QString reason = refusal(intent, found[size_t(checked)]); !reason.isEmpty())
                stays(intent, name, reason);
            else
                take(file, name);
        }
    } else {
        for (auto away = files.crbegin(); away != files.crend(); ++away)
            if (!stuck(record.intents[away->first], away->second))
                take(away->first, away->second);
        ahead.emplace(fileSystem_, setup.toDir, plan.listed, plan.newNames);
    }
    done_ += files.size() - plan.listed.size();

    PhaseSetup backSetup;
    backSetup.kind = kind;
    backSetup.undoes = phase;
    backSetup.fromDir = setup.toDir;
    backSetup.toDir = setup.fromDir;
    backSetup.inPlace = setup.inPlace;
    backSetup.check = setup.check;
    backSetup.fromVolume = setup.toVolume;
    backSetup.toVolume = setup.fromVolume;
    backSetup.listedMs = setup.listedMs;
    PhaseRecorder recorder(journal_, fileSystem_, backSetup,
                           {plan.listed, plan.newNames, nullptr, &identities, &originals});
    PlanMoves moves(fileSystem_, plan, setup.toDir, setup.fromDir, recorder,
                    ahead ? [&ahead](qsizetype index) { return ahead->encodedNames(index); }
                          : std::function<EncodedNames(qsizetype)>());
    QHash<QString, FsError> failures;
    const qsizetype count = plan.listed.size();
    // A file that came to its place by an earlier phase was moved first there.
    const QSet<QString> earlier = kind == PhaseKind::Undo ? placesBefore(phase) : QSet<QString>();
    // The files put back are told as their steps end where a step moves its
    // own file alone; in place, where a step may move others first, at the end.
    qsizetype told = 0;
    const QStringList& oldNames = plan.newNames; // read on both threads, never detached
    const auto tellRestored = [&](qsizetype end) {
        for (; told < end; ++told) {
            if (restored_ && recorder.reached(told) &&
                (earlier.isEmpty() || !earlier.contains(setup.fromDir + oldNames[told])))
                restored_(oldNames[told]);
        }
    };
    std::vector<bool> refused(ahead ? size_t(count) : 0, false);
    stepsWhileWaiting(
        count,
        [&](qsizetype index) {
            if (ahead) {
                const Intent& intent = record.intents[originals[size_t(index)]];
                if (const QString reason = refusal(intent, ahead->at(index)); !reason.isEmpty()) {
                    refused[size_t(index)] = true;
                    stays(intent, std::as_const(plan.listed)[index], reason);
                    return true;
                }
            }
            if (const std::optional<MoveFailure> failure = moves.moveListed(index)) {
                if (journal_.failure()) {
                    outcome.journalFailure = journal_.failure();
                    return false;
                }
                failures.insert(failure->name, failure->error);
            }
            return true;
        },
        [&](qsizetype ended) {
            if (ahead)
                tellRestored(ended);
            progress_(done_ + ended, total_);
        });
    done_ += count;
    recorder.end();
    tellRestored(count);

    for (qsizetype index = 0; index < count; ++index) {
        const QString& name = plan.listed[index];
        if (recorder.reached(index) || (!refused.empty() && refused[size_t(index)]))
            continue;
        stuckHomes_.insert(setup.fromDir + plan.newNames[index]);
        if (outcome.journalFailure)
            continue;
        QString reason = recorder.wentMissing(index) ? goneReason() : takenReason();
        if (const auto failure = failures.constFind(name); failure != failures.cend())
            reason = reasonOf(*failure);
        outcome.left.append({name, reason});
    }
}
