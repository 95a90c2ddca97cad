#pragma once

#include "rename/RenameState.h"

#include <QByteArray>
#include <QString>

class FileSystem;
class RunWindow;
struct RenameOperation;

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

private:
    void RenameRun(const RenameOperation& operation);
    bool MoveBack();
    // Moves a file found by a listing; one that is no longer there counts as
    // done. False when the move failed.
    bool moveListedFile(const QString& from, const QString& to);
    void fail(const QString& message);

    FileSystem& fileSystem_;
    RunWindow* window_ = nullptr;
};
