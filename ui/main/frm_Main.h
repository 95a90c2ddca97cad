#pragma once

#include "core/fs/LocalFileSystem.h"
#include "core/rename/MainPrg.h"

#include <QMainWindow>

#include <memory>

class frm_ChangeFilename;
class frm_CopyFiles;
class frm_Information;
struct RenameSetup;

// The start window: one row per operation, each with a small button that
// prepares and opens the window of that operation, and a menu. Closing it
// ends the program.
class frm_Main final : public QMainWindow {
    Q_OBJECT

public:
    frm_Main();
    ~frm_Main() override;

    // The state shared by the launcher, the parameter dialog and the runs.
    const MainPrg& mainPrg() const { return mainPrg_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void buildFrames();
    frm_ChangeFilename& changeFilenameDialog();
    void openRenameDialog(const RenameSetup& setup);
    void openReadID3Dialog();
    void openCopyFiles();
    void showInformation();
    // Asks about the runs a kill interrupted, once, after the window first shows.
    void recoverInterruptedRuns();

    LocalFileSystem fileSystem_;
    MainPrg mainPrg_;
    // Declared after mainPrg_, so the windows that use it go first.
    std::unique_ptr<frm_ChangeFilename> changeFilename_;
    std::unique_ptr<frm_CopyFiles> copyFiles_;
    std::unique_ptr<frm_Information> information_;
    bool recoveryAsked_ = false;
};
