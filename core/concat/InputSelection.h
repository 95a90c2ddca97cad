#pragma once

class CopyFilesWindow;
class FileSystem;
class QString;
struct ConcatState;

// The four input slots and the automatic-mode option of the window.
class InputSelection {
public:
    InputSelection(ConcatState& state, CopyFilesWindow& window, FileSystem& fileSystem);

    // The click of a slot's button (1 to 4); refused while a run is under way.
    void chooseSlot(int slot);

    // Shows the file dialog and takes its path apart; returns the chosen
    // file's name, or an empty text when nothing usable was chosen.
    QString ChooseInputFile(int slot);

    // Fills fields 2 to 4 with "Automatisch" on grey in automatic mode, and
    // empties them on white otherwise.
    void ShowAutoMode();

private:
    ConcatState& state_;
    CopyFilesWindow& window_;
    FileSystem& fileSystem_;
};
