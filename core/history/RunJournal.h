#pragma once

#include "core/fs/FsResult.h"
#include "core/history/RunHistory.h"
#include "core/history/RunRecord.h"

#include <QByteArray>

#include <memory>
#include <optional>

// The journal of one run as it is written: records are kept in memory until
// the next write, and every write reaches the disk (fdatasync) before it
// returns, so that a move made after a write is always announced there. A
// new run's journal file is made at its first write: a run that never gets
// to a move leaves the history as it was.
class RunJournal {
public:
    // The journal of a new run.
    RunJournal(const RunHistory& history, RunHeader header);
    // The journal of an earlier run, `file` open and locked, to append to
    // from `soundEnd` on (a record cut short by a kill is dropped);
    // `phases` is how many it holds.
    RunJournal(const RunHistory& history, RunHeader header, std::unique_ptr<JournalFile> file,
               qsizetype soundEnd, qsizetype phases);
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    // Starts a phase; its record goes out with the next write. Returns its number.
    qsizetype beginPhase(const PhaseSetup& setup);
    // Keeps records for the next write.
    void keep(const QByteArray& records) { kept_ += records; }
    // Writes what is kept, then `records`, and waits until it is on the disk.
    FsStatus write(const QByteArray& records = {});

    bool exists() const { return file_ != nullptr; }
    QString id() const { return file_ ? file_->id : QString(); }
    const RunHeader& header() const { return header_; }
    // The first write that failed; the journal takes no more after it.
    const std::optional<FsError>& failure() const { return failure_; }

    // Removes the journal of a run that moved nothing.
    void discard();

private:
    FsStatus append(const QByteArray& bytes);

    const RunHistory& history_;
    RunHeader header_;
    std::unique_ptr<JournalFile> file_;
    QByteArray kept_;
    qsizetype phases_ = 0;
    qint64 soundEnd_ = 0;
    std::optional<FsError> failure_;
};
