#pragma once

#include <QString>

#include <optional>

class CopyFilesWindow;
class FileSystem;
struct ConcatState;

// The four input slots and the automatic-mode option of the window.
class InputSelection {
public:
    InputSelection(ConcatState& state, CopyFilesWindow& window, FileSystem& fileSystem);

    // The click of a slot's button (1 to 4); refused while a run is under way.
    void chooseSlot(int slot);

    // Shows the file dialog and takes its path apart; returns the chosen
    // file's name. A cancelled dialog, or a path without a directory part,
    // returns nothing and changes nothing.
    std::optional<QString> ChooseInputFile(int slot);

    // Fills fields 2 to 4 with "Automatisch" on grey in automatic mode, and
    // empties them on white otherwise.
    void ShowAutoMode();

private:
    ConcatState& state_;
    CopyFilesWindow& window_;
    FileSystem& fileSystem_;
};
