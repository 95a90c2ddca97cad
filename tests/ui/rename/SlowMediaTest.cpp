#include "ui/rename/frm_ChangeFilename.h"

#include "core/rename/MainPrg.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/TempTree.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

// Waits until `seen` is set, or for ten seconds, after which the test fails.
void waitUntil(const std::atomic<bool>& seen) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!seen && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// The dialog set up for a run over two tagged files on slow media.
class SlowMedia : public testing::Test {
protected:
    SlowMedia() : prg(fileSystem), dialog(prg) {
        prg.SourceDir = tree.dir(u"src"_s);
        prg.TargetDir = tree.dir(u"dst"_s);
        tree.writeFile(u"src/a.mp3"_s, QByteArray(128, 'x').replace(0, 3, "TAG"));
        tree.writeFile(u"src/b.mp3"_s, QByteArray(128, 'x').replace(0, 3, "TAG"));
    }

    void showFor(const QString& operation, bool moveBack) {
        prg.CurrentOperation = operation;
        dialog.findChild<QLineEdit*>(u"txt_Suchstring"_s)->setText(u"_x"_s);
        dialog.findChild<QCheckBox*>(u"chk_MoveBack"_s)->setChecked(moveBack);
        dialog.setWindowTitle(u"Lauf"_s);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    // Clicks `button`; while the run goes on, `look` is asked on every pass
    // of the event loop until it first returns true, which sets `seen`.
    void clickWatching(const QString& button, std::atomic<bool>& seen,
                       const std::function<bool()>& look) {
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, &dialog, [&] {
            if (!seen && look())
                seen = true;
        });
        watch.start(0);
        QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
        watch.stop();
    }

    TempTree tree;
    FaultyFileSystem fileSystem;
    MainPrg prg;
    frm_ChangeFilename dialog;
};

// A directory on slow media: its listing returns only once the test has
// seen the dialog alive, or after a deadline that fails the test.
struct SlowListingRow {
    const char* name;
    QString operation;
    QString button;
    bool moveBack;
    int slowListing; // 1: the run's first listing, 2: MoveBack's
    int logLines;    // a preview's heading included
};

class SlowDirectory : public SlowMedia, public testing::WithParamInterface<SlowListingRow> {};

TEST_P(SlowDirectory, dialogPaintsAndSaysItIsReadingWhileTheListingTakesLong) {
    const SlowListingRow& row = GetParam();
    showFor(row.operation, row.moveBack);

    std::atomic<bool> seenAlive = false;
    std::atomic<int> listings = 0;
    fileSystem.afterListing = [&] {
        if (++listings == row.slowListing)
            waitUntil(seenAlive);
    };
    QString captionWhileReading;
    clickWatching(row.button, seenAlive, [&] {
        if (listings < row.slowListing)
            return false;
        captionWhileReading = dialog.windowTitle();
        return true;
    });

    EXPECT_TRUE(seenAlive);
    EXPECT_EQ(captionWhileReading, u"Lauf – Verzeichnis wird gelesen …"_s);
    EXPECT_EQ(dialog.windowTitle(), u"Lauf"_s);
    EXPECT_EQ(dialog.fieldText(u"txt_Filename"_s).count(u"\r\n"_s), row.logLines);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SlowDirectory,
    testing::Values(SlowListingRow{"renameRun", u"AddText"_s, u"cmd_Start"_s, false, 1, 2},
                    SlowListingRow{"moveBackAfterTheRun", u"AddText"_s, u"cmd_Start"_s, true, 2, 2},
                    SlowListingRow{"preview", u"AddText"_s, u"cmd_Vorschau"_s, false, 1, 4},
                    SlowListingRow{"id3Check", u"ReadID3"_s, u"cmd_Start"_s, false, 1, 2}),
    [](const testing::TestParamInfo<SlowListingRow>& info) { return info.param.name; });

// A file on slow media: the move or read of the second file returns only
// once the test has seen the dialog log and count the first in its caption,
// or after a deadline that fails the test.
struct SlowFileRow {
    const char* name;
    QString operation;
    bool moveBack;
    int slowStep; // which move or read takes long, counted from 1
    QString logMeanwhile;
};

class SlowFile : public SlowMedia, public testing::WithParamInterface<SlowFileRow> {};

TEST_P(SlowFile, dialogLogsTheFilesDoneWhileTheNextTakesLong) {
    const SlowFileRow& row = GetParam();
    showFor(row.operation, row.moveBack);

    std::atomic<bool> firstShown = false;
    std::atomic<int> steps = 0;
    fileSystem.beforeMoveOrRead = [&] {
        if (++steps == row.slowStep)
            waitUntil(firstShown);
    };
    QString logWhileWaiting;
    clickWatching(u"cmd_Start"_s, firstShown, [&] {
        if (steps < row.slowStep || dialog.windowTitle() != u"Lauf – 1 von 2"_s)
            return false;
        logWhileWaiting = dialog.fieldText(u"txt_Filename"_s);
        return true;
    });

    EXPECT_TRUE(firstShown);
    EXPECT_EQ(logWhileWaiting, row.logMeanwhile);
    EXPECT_EQ(dialog.fieldText(u"txt_Filename"_s), u"a.mp3\r\nb.mp3\r\n"_s);
    EXPECT_EQ(dialog.windowTitle(), u"Lauf"_s);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SlowFile,
    testing::Values(SlowFileRow{"renameRun", u"AddText"_s, false, 2, u"a.mp3\r\n"_s},
                    SlowFileRow{"moveBackAfterTheRun", u"AddText"_s, true, 4,
                                u"a.mp3\r\nb.mp3\r\n"_s},
                    SlowFileRow{"id3Check", u"ReadID3"_s, false, 2, u"a.mp3\r\n"_s}),
    [](const testing::TestParamInfo<SlowFileRow>& info) { return info.param.name; });

// Restored from the task bar while the run's thread records its moves, the
// dialog reads nothing of the run and keeps "Rückgängig" disabled. The second
// move waits for the restore through a relaxed atomic, which orders nothing
// for ThreadSanitizer: only the dialog's own code may keep the threads apart.
TEST_F(SlowMedia, restoringTheDialogDuringARunLeavesTheUndoJournalToTheRun) {
    showFor(u"AddText"_s, false);
    auto* undo = dialog.findChild<QPushButton*>(u"cmd_Rueckgaengig"_s);

    std::atomic<bool> restored = false;
    std::atomic<int> steps = 0;
    fileSystem.beforeMoveOrRead = [&] {
        if (++steps != 2)
            return;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!restored.load(std::memory_order_relaxed) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    bool undoEnabledWhileRunning = true;
    std::atomic<bool> seen = false;
    clickWatching(u"cmd_Start"_s, seen, [&] {
        if (steps < 2)
            return false;
        dialog.showMinimized();
        dialog.showNormal();
        undoEnabledWhileRunning = undo->isEnabled();
        restored.store(true, std::memory_order_relaxed);
        return true;
    });

    EXPECT_TRUE(restored);
    EXPECT_FALSE(undoEnabledWhileRunning);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(dialog.fieldText(u"txt_Filename"_s), u"a.mp3\r\nb.mp3\r\n"_s);
}

} // namespace
