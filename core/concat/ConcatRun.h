#pragma once

#include "core/concat/ConcatState.h"
#include "core/fs/FsResult.h"

#include <QStringList>

class CopyFilesWindow;
class FileJoiner;
class FileSystem;
struct Message;

// The run behind "Start": lists the inputs, then joins them pass after pass
// into the output directory and moves each pass's inputs into the move
// directory once its output is safely written.
class ConcatRun {
public:
    ConcatRun(ConcatState& state, CopyFilesWindow& window, FileSystem& fileSystem,
              FileJoiner& joiner);

    // The click of "Start"; returns when the run has ended. Refused while a
    // run is already under way.
    void Start();

    // What stands for the slot's input of the current pass in the output name.
    QString ShortName(int slot) const;

    // Shows the current pass's names in the four file fields.
    void ShowPassNames();

private:
    void run();
    bool inputsChosen();
    bool listInputs();
    bool listManual();
    bool listAutomatic();
    // Joins and moves the current pass; false when the run has to stop.
    bool runPass();
    // Takes back a pass whose input `failed` could not be moved into the
    // move directory: the inputs moved before it go back, then its output goes.
    bool rollBackPass(const QStringList& inputs, const QStringList& targets, qsizetype failed,
                      const FsError& error);
    void finalReport();
    bool stop(const Message& message);

    ConcatState& state_;
    CopyFilesWindow& window_;
    FileSystem& fileSystem_;
    FileJoiner& joiner_;

    qint32 SlotCount = 0;
    qint32 PassCount = 0;
    bool ConfirmEach = false;
};
