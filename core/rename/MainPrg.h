#pragma once

#include "core/rename/RenameState.h"

#include "core/fs/FileIdentity.h"
#include "core/fs/FsResult.h"
#include "core/history/RunHistory.h"
#include "core/run/Disposal.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class FileSystem;
class RunJournal;
class RunWindow;
struct HistoryRow;
struct MoveFailure;
struct RenameOperation;
struct RunFiles;

// The ID3v1 trailer of the last tagged file read, one byte per character.
struct ID3TagRecord {
    QByteArray Tag;
    QByteArray Title;
    QByteArray Artist;
    QByteArray Album;
    QByteArray Year;
    QByteArray Comment;
    QByteArray Genre;
};

// The state shared by the main window, the parameter dialog, the directory
// picker and the runs, with one entry point per operation. A run reads its
// parameters from, and writes its log to, the window set with setWindow().
class MainPrg : public RenameState {
public:
    explicit MainPrg(FileSystem& fileSystem);

    void setWindow(RunWindow* window) { window_ = window; }

    QString CurrentOperation;
    QString DirectoryRequest;
    ID3TagRecord ID3Tag;

    void ChangeFilename();
    void CutandNumber();
    void ChangeString();
    void AddNumber();
    void CutNameFirst();
    void CutNameLast();
    void CutNameStringLast();
    void AddText();
    void ReadID3();

    // Runs the operation whose key is `key`, compared exactly; returns false,
    // doing nothing, for any other text.
    bool runOperation(const QString& key);

    // Fills the log with what the rename operation `key` would do now, and
    // moves nothing; false, doing nothing, for any other text.
    bool previewOperation(const QString& key);

    // Whether the last rename run moved a file that undoLastRun can put back.
    bool canUndo() const { return !lastRun_.isEmpty(); }
    // Moves the files of the last rename run back, last move first, and logs
    // the names restored; what cannot go back stays and is named, with why,
    // in a message. Every run is in the history on the disk, kept there for
    // later undoing when this button no longer serves it.
    void undoLastRun();
    // "Rückgängig" no longer serves the last run (the dialog serves another
    // operation); the history keeps it.
    void forgetLastRun() { lastRun_.clear(); }

    // The runs of the history, newest first, and undoing one of them.
    QList<HistoryRow> historyRows() const;
    void undoRun(const QString& id);
    // Asks through `window` about each run a kill interrupted.
    void recoverInterruptedRuns(RunWindow& window);
    bool anyInterruptedRuns() const;

private:
    // A directory's ordinary files, read while the window keeps painting.
    FsResult<QStringList> listFiles(const QString& directory) const;
    FsResult<IdentifiedFiles> listIdentified(const QString& directory) const;
    // Runs `step` for one listed file after the other, on another thread,
    // until it returns false; this thread meanwhile logs the names of the
    // files done and lets the window repaint. Returns how many files were
    // handled, the one whose step returned false included.
    qsizetype eachFileLogged(const QStringList& names, const std::function<bool(qsizetype)>& step);
    void RenameRun(const RenameOperation& operation);
    // The run itself; what it lists and plans goes into `files`.
    void renameFiles(const RenameOperation& operation, RunFiles& files);
    // Moves every file of the target back, recorded in `journal`; `moved`
    // tells how many files it moved, `files` holds what it listed.
    std::optional<MoveFailure> MoveBack(RunJournal& journal, qsizetype& moved,
                                        IdentifiedFiles& files);
    // Closes the run's journal; a run that moved nothing leaves no trace, and
    // "Rückgängig" and the history stay as they were.
    void endRun(RunJournal& journal, qsizetype renamed, qsizetype moved);
    void fail(const QString& message, const QString& cause = {});
    // The operation's message, with the file or directory and the cause below it.
    void failAt(const QString& message, const QString& file, const QString& cause);
    void failInDirectory(const QString& message, const QString& directory, const FsError& error);

    FileSystem& fileSystem_;
    RunWindow* window_ = nullptr;
    RunHistory history_;
    QString lastRun_;   // the journal of the last run that moved a file
    QString logLine_;   // the log's line being appended, its room kept
    Disposal disposal_; // frees what ended runs held
};
