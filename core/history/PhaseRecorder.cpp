#include "core/history/PhaseRecorder.h"

#include "core/fs/FileSystem.h"
#include "core/history/HistorySteps.h"
#include "core/history/HistoryText.h"
#include "core/history/RunJournal.h"

#include <QDateTime>

#include <algorithm>
#include <optional>

namespace {

constexpr qsizetype firstBatch = 1024;
constexpr qsizetype largestBatch = 65536;

PhaseSetup counting(PhaseSetup setup, qsizetype files) {
    setup.files = files;
    return setup;
}

} // namespace

qint64 listedNow() {
    return QDateTime::currentMSecsSinceEpoch() + 1;
}

PhaseSetup phaseBetween(const FileSystem& fileSystem, PhaseKind kind, const QString& fromDir,
                        const QString& toDir, bool inPlace, qint64 listedMs) {
    PhaseSetup setup;
    setup.listedMs = listedMs;
    setup.kind = kind;
    setup.fromDir = fromDir;
    setup.toDir = toDir;
    setup.inPlace = inPlace;
    const FsResult<DirectoryVolume> from = fileSystem.volumeOf(fromDir);
    const FsResult<DirectoryVolume> to = fileSystem.volumeOf(toDir);
    if (from && to) {
        setup.fromVolume = from.value().id;
        setup.toVolume = to.value().id;
        if (setup.fromVolume == setup.toVolume)
            setup.check =
                from.value().stableInodes ? IdentityCheck::ByInode : IdentityCheck::ByStamp;
    }
    return setup;
}

PhaseRecorder::PhaseRecorder(RunJournal& journal, const FileSystem& fileSystem,
                             const PhaseSetup& setup, const PhaseFiles& files)
    : journal_(journal), fileSystem_(fileSystem), setup_(counting(setup, files.to.size())),
      files_(files), phase_(journal.beginPhase(setup_)), batch_(firstBatch), events_(phase_),
      outcome_(size_t(files.to.size()), Pending) {}

FileIdentity PhaseRecorder::identityOf(qsizetype file) const {
    if (files_.identities)
        return (*files_.identities)[file];
    if (setup_.check == IdentityCheck::ByInode && files_.inodes &&
        qsizetype(files_.inodes->size()) > file)
        return FileIdentity{(*files_.inodes)[size_t(file)], -1, 0, 0};
    const FsResult<FileIdentity> identity =
        fileSystem_.identityOf(setup_.fromDir + files_.from[file]);
    // A file gone since its listing matches nothing; its move finds it gone.
    return identity ? identity.value() : FileIdentity{0, -1, -1, 0};
}

FsStatus PhaseRecorder::written(const FsStatus& status) const {
    if (status)
        return status;
    return FsStatus::failure(historyWriteFailure(status.error()));
}

QByteArray PhaseRecorder::intentsOf(qsizetype begin, qsizetype end) const {
    journal::IntentsRecord intents(phase_, setup_.check, files_.originals != nullptr, begin);
    for (qsizetype index = begin; index < end; ++index)
        intents.add(files_.from[index], files_.to[index], identityOf(index),
                    files_.originals ? (*files_.originals)[size_t(index)] : -1);
    return intents.bytes();
}

qsizetype PhaseRecorder::namedUpTo(qsizetype end) const {
    return files_.namedUpTo ? files_.namedUpTo(end) : end;
}

FsStatus PhaseRecorder::mayMove(qsizetype file) {
    if (file < announced_)
        return FsStatus::success();
    const qsizetype count = files_.to.size();
    const qsizetype end = namedUpTo(std::min(count, std::max(file + 1, announced_ + batch_)));
    batch_ = std::min(batch_ * 2, largestBatch);
    // A record made ahead for other files (a cycle moved a later file first)
    // is dropped.
    std::optional<Batch> ahead;
    if (next_.valid())
        ahead = next_.get();
    QByteArray intents = ahead && nextBegin_ == announced_ && ahead->end == end
                             ? std::move(ahead->intents)
                             : intentsOf(announced_, end);
    const FsStatus status = written(journal_.write(events_.take() + intents));
    if (!status)
        return status;
    announced_ = end;
    // Moves wait for the disk; meanwhile another thread makes the next record.
    nextBegin_ = end;
    const qsizetype nextEnd = std::min(count, end + batch_);
    if (nextBegin_ < nextEnd)
        next_ = std::async(std::launch::async, [this, begin = nextBegin_, nextEnd] {
            const qsizetype named = namedUpTo(nextEnd);
            return Batch{named, intentsOf(begin, named)};
        });
    return status;
}

FsStatus PhaseRecorder::beforeLastMoveOfCycle(qsizetype file) {
    // With inode numbers every file of the cycle is told apart on the disk;
    // elsewhere a cycle done and one not begun can look alike.
    if (setup_.check == IdentityCheck::ByInode)
        return FsStatus::success();
    return written(journal_.write(events_.take() + journal::cycleStepRecord(phase_, file)));
}

void PhaseRecorder::moved(qsizetype file, const QString& fromName, const QString& toName) {
    reachedHistoryStep(HistoryStep::FileMoved);
    const QString& from = files_.from[file];
    const QString& to = files_.to[file];
    if (fromName == from && toName == to) {
        events_.moved(file);
        ++moved_;
        outcome_[size_t(file)] = Reached;
    } else if (fromName == from) {
        events_.movedAside(file, toName);
        ++aside_;
    } else if (toName == to) {
        events_.event(journal::EventKind::FromAside, file);
        --aside_;
        ++moved_;
        outcome_[size_t(file)] = Reached;
    } else if (fromName == to && toName == from) {
        // Given its old name back after a later move of its cycle failed.
        events_.event(journal::EventKind::Stayed, file);
        --moved_;
        outcome_[size_t(file)] = Pending;
    } else {
        events_.event(journal::EventKind::BackFromAside, file);
        --aside_;
    }
}

void PhaseRecorder::gone(qsizetype file) {
    reachedHistoryStep(HistoryStep::FileMoved);
    events_.event(journal::EventKind::Gone, file);
    outcome_[size_t(file)] = Missing;
}

void PhaseRecorder::end() {
    // What the phase's files are may change once it has ended.
    if (next_.valid())
        next_.wait();
    journal_.keep(events_.take() + journal::phaseEndRecord(phase_));
}
