#pragma once

#include "core/fs/Descriptor.h"
#include "core/fs/FsResult.h"
#include "core/history/JournalReader.h"

#include <QList>
#include <QString>

#include <memory>

// A journal file, open and locked against every other process for as long
// as this lives: the process that holds it is at work on that run.
struct JournalFile {
    JournalFile(QString id, int fd) : id(std::move(id)), descriptor(fd) {}

    QString id;
    Descriptor descriptor;
};

// A run as the history lists it.
struct HistoryEntry {
    QString id;
    JournalSummary summary;
    bool running = false; // another process (or window) holds its journal
    qint64 bytes = 0;
};

// The history of runs on the disk: one journal file per run, named after
// when it began, in a directory readable by the user alone. It keeps the
// last 20 runs and at most 64 MiB; older runs are dropped whole. Every
// change to the directory's set of files is made under a lock, so that
// Tessavo processes of one user never take each other's runs apart.
class RunHistory {
public:
    static constexpr qsizetype keptRuns = 20;
    static constexpr qint64 keptBytes = 64 * 1024 * 1024;

    // The history in `directory`, a directory string ending with '/'; empty
    // when there is none, and then every run fails to start.
    explicit RunHistory(QString directory);

    const QString& directory() const { return directory_; }
    QString pathOf(const QString& id) const;

    // Makes the journal of a new run, locked, with `firstBytes` written and
    // on the disk.
    FsResult<std::unique_ptr<JournalFile>> create(const QByteArray& firstBytes) const;
    // Opens a run's journal to read and append to; fails with AccessDenied
    // while another process holds it.
    FsResult<std::unique_ptr<JournalFile>> open(const QString& id) const;
    // Removes a journal that holds no move.
    void remove(const JournalFile& file) const;
    // Renames a journal that cannot be used to "<id>.journal.unused", where
    // it no longer counts as a run but keeps its bytes.
    FsResult<QString> setAside(const QString& id) const;
    // Drops the oldest runs beyond what is kept; never `newest`, nor a run
    // another process holds.
    void prune(const QString& newest) const;

    // Every run, newest first; see summarizeJournal for `checkEveryRecord`.
    QList<HistoryEntry> entries(bool checkEveryRecord) const;

private:
    // The ids of the journals, oldest first; `withUnused`: the file names
    // instead, and those of journals put aside too.
    QStringList journalIds(bool withUnused) const;
    FsResult<Descriptor> lockDirectory() const;

    QString directory_;
};
