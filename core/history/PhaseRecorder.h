#pragma once

#include "core/history/JournalRecords.h"
#include "core/history/RunRecord.h"
#include "core/rename/MoveRecorder.h"

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <future>
#include <vector>

class FileSystem;
class RunJournal;

// The files of a phase: file i moves from from[i] to to[i], for the files
// that `to` holds (a plan that stops early names fewer than it lists). Their
// identities come from `identities` where they are known already (an undo),
// else from `inodes` (the listing's) where the phase checks by inode, else
// from the file system, asked file by file when their moves are announced.
struct PhaseFiles {
    const QStringList& from;
    const QStringList& to;
    const std::vector<quint64>* inodes = nullptr;
    const QList<FileIdentity>* identities = nullptr;
    const std::vector<qsizetype>* originals = nullptr; // of an Undo or Repair phase
    // Where the names of `to` are still being made while files move: waits
    // until those of the files before `end` are there, and returns `end`, or
    // fewer when the moves end before it. `to` is then as long as `from`.
    std::function<qsizetype(qsizetype end)> namedUpTo = {};
};

// How files moving from `fromDir` into `toDir` are told from namesakes.
// `listedMs`: when the phase's files were listed (listedNow()).
PhaseSetup phaseBetween(const FileSystem& fileSystem, PhaseKind kind, const QString& fromDir,
                        const QString& toDir, bool inPlace, qint64 listedMs);

// Now, rounded up to the next ms, for a listing just taken.
qint64 listedNow();

// Records one phase of a run in its journal. Moves are announced in batches,
// each one write and one sync for up to 65,536 moves, growing from 1,024 so
// that the first move need not wait for many. The next batch's record is
// made on a thread of its own while the files of one batch move.
class PhaseRecorder final : public MoveRecorder {
public:
    PhaseRecorder(RunJournal& journal, const FileSystem& fileSystem, const PhaseSetup& setup,
                  const PhaseFiles& files);

    FsStatus mayMove(qsizetype file) override;
    FsStatus beforeLastMoveOfCycle(qsizetype file) override;
    void moved(qsizetype file, const QString& fromName, const QString& toName) override;
    void gone(qsizetype file) override;

    // Ends the phase; what is left to record goes out with the journal's next write.
    void end();
    // How many files reached their new name, and whether `file` did.
    qsizetype movedCount() const { return moved_; }
    bool reached(qsizetype file) const { return outcome_[size_t(file)] == Reached; }
    // How many files are under a temporary name.
    qsizetype asideCount() const { return aside_; }
    // Whether `file` had gone before its move.
    bool wentMissing(qsizetype file) const { return outcome_[size_t(file)] == Missing; }

private:
    FileIdentity identityOf(qsizetype file) const;
    // The record that announces the moves of files `begin` to `end` - 1.
    QByteArray intentsOf(qsizetype begin, qsizetype end) const;
    // `end`, or fewer where the phase's names end before it.
    qsizetype namedUpTo(qsizetype end) const;
    FsStatus written(const FsStatus& status) const;

    RunJournal& journal_;
    const FileSystem& fileSystem_;
    const PhaseSetup setup_;
    const PhaseFiles files_;
    const qsizetype phase_;
    qsizetype announced_ = 0;
    qsizetype batch_;
    qsizetype moved_ = 0;
    qsizetype aside_ = 0;
    journal::EventsRecord events_;
    enum : quint8 { Pending, Reached, Missing };
    std::vector<quint8> outcome_;
    // A batch's record of the files up to `end`.
    struct Batch {
        qsizetype end = 0;
        QByteArray intents;
    };
    // The next batch, made ahead; destroyed first, it waits for its thread.
    qsizetype nextBegin_ = 0;
    std::future<Batch> next_;
};
