#include "ui/rename/frm_Verlauf.h"

#include "core/fs/LocalFileSystem.h"
#include "core/history/HistoryActions.h"
#include "core/history/HistoryText.h"
#include "core/rename/MainPrg.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/StateHome.h"
#include "tests/support/TempTree.h"
#include "tests/support/WidgetLookup.h"
#include "ui/main/frm_Main.h"
#include "ui/rename/frm_ChangeFilename.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class HistoryWindow : public testing::Test {
protected:
    HistoryWindow() : prg(fileSystem), dialog(prg) { dialog.show(); }

    void run(const QString& text, const QString& from, const QString& to) {
        tree.dir(from);
        prg.SourceDir = tree.dir(from);
        prg.TargetDir = tree.dir(to);
        prg.CurrentOperation = u"AddText"_s;
        control<QLineEdit>(dialog, u"txt_Suchstring"_s)->setText(text);
        click(dialog, u"cmd_Start"_s);
    }

    // Opens the history from the dialog, and `inside` works in it.
    void inHistory(const std::function<void(QWidget&)>& inside) {
        bool opened = false;
        answerModal(
            [&](QWidget* window) {
                opened = true;
                EXPECT_EQ(window->objectName(), u"frm_Verlauf"_s);
                inside(*window);
                click(*window, u"cmd_VerlaufSchliessen"_s);
            },
            &dialog);
        click(dialog, u"cmd_Verlauf"_s);
        EXPECT_TRUE(opened);
    }

    static QStringList cells(const QTreeWidget& list, int row) {
        QStringList texts;
        for (int column = 0; column < list.columnCount(); ++column)
            texts.append(list.topLevelItem(row)->text(column));
        return texts;
    }

    TemporaryStateHome stateHome;
    TempTree tree;
    LocalFileSystem fileSystem;
    MainPrg prg;
    frm_ChangeFilename dialog;
};

TEST_F(HistoryWindow, hasItsControlsInTheirPlacesAndListsTheRunsNewestFirst) {
    tree.dir(u"one"_s);
    tree.writeFile(u"one/a.mp3"_s);
    tree.dir(u"two"_s);
    tree.writeFile(u"two/b.mp3"_s);
    tree.writeFile(u"two/c.mp3"_s);
    run(u"_1"_s, u"one"_s, u"one-out"_s);
    run(u"_2"_s, u"two"_s, u"two"_s);
    inHistory([&](QWidget& window) {
        EXPECT_EQ(window.size(), QSize(720, 288));
        EXPECT_EQ(window.windowTitle(), u"Verlauf"_s);
        const struct {
            const char* name;
            const char* kind;
            QString text;
            QRect twips;
        } rows[] = {
            {"lst_Verlauf", "QTreeWidget", {}, {120, 120, 10560, 3480}},
            {"cmd_VerlaufRueckgaengig", "QPushButton", u"Rückgängig"_s, {8370, 3720, 1095, 375}},
            {"cmd_VerlaufSchliessen", "QPushButton", u"Schließen"_s, {9585, 3720, 1095, 375}},
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.name);
            QWidget* widget = control(window, QString::fromUtf8(row.name));
            ASSERT_NE(widget, nullptr);
            EXPECT_TRUE(widget->inherits(row.kind));
            EXPECT_EQ(widget->geometry(), QRect(row.twips.x() / 15, row.twips.y() / 15,
                                                row.twips.width() / 15, row.twips.height() / 15));
            if (auto* button = qobject_cast<QPushButton*>(widget)) {
                EXPECT_EQ(button->text(), row.text);
            }
        }
        const auto& list = *control<QTreeWidget>(window, u"lst_Verlauf"_s);
        QStringList header;
        for (int column = 0; column < list.columnCount(); ++column)
            header.append(list.headerItem()->text(column));
        EXPECT_EQ(header, (QStringList{u"Datum"_s, u"Vorgang"_s, u"Quellverzeichnis"_s,
                                       u"Zielverzeichnis"_s, u"Dateien"_s, u"Zustand"_s}));
        ASSERT_EQ(list.topLevelItemCount(), 2);
        EXPECT_EQ(cells(list, 0).mid(1),
                  (QStringList{u"AddText"_s, tree.root() + u"two/"_s, tree.root() + u"two/"_s,
                               u"2"_s, u"beendet"_s}));
        EXPECT_EQ(cells(list, 1).mid(1),
                  (QStringList{u"AddText"_s, tree.root() + u"one/"_s, tree.root() + u"one-out/"_s,
                               u"1"_s, u"beendet"_s}));
        EXPECT_TRUE(QDateTime::fromString(cells(list, 0)[0], u"dd.MM.yyyy HH:mm:ss"_s).isValid());
    });
}

TEST_F(HistoryWindow, undoesTheChosenRunLogsItsNamesAndShowsItUndone) {
    tree.dir(u"one"_s);
    tree.writeFile(u"one/a.mp3"_s);
    tree.dir(u"two"_s);
    tree.writeFile(u"two/b.mp3"_s);
    run(u"_1"_s, u"one"_s, u"one-out"_s);
    run(u"_2"_s, u"two"_s, u"two-out"_s);
    ASSERT_TRUE(control(dialog, u"cmd_Rueckgaengig"_s)->isEnabled());
    inHistory([&](QWidget& window) {
        auto& list = *control<QTreeWidget>(window, u"lst_Verlauf"_s);
        list.setCurrentItem(list.topLevelItem(1));
        click(window, u"cmd_VerlaufRueckgaengig"_s);
        EXPECT_EQ(cells(list, 1)[5], u"rückgängig gemacht"_s);
        EXPECT_FALSE(control(window, u"cmd_VerlaufRueckgaengig"_s)->isEnabled());
        list.setCurrentItem(list.topLevelItem(0));
        EXPECT_TRUE(control(window, u"cmd_VerlaufRueckgaengig"_s)->isEnabled());
        click(window, u"cmd_VerlaufRueckgaengig"_s);
        EXPECT_EQ(cells(list, 0)[5], u"rückgängig gemacht"_s);
    });
    EXPECT_EQ(tree.entries(u"one"_s), QStringList{u"a.mp3"_s});
    EXPECT_EQ(tree.entries(u"two"_s), QStringList{u"b.mp3"_s});
    EXPECT_EQ(dialog.fieldText(u"txt_Filename"_s), u"b.mp3\r\n"_s);
    EXPECT_FALSE(control(dialog, u"cmd_Rueckgaengig"_s)->isEnabled())
        << "the last run was undone from the history";
}

TEST(RecoveryAtStart, mainWindowAsksOnceAndPutsEveryFileBack) {
    TemporaryStateHome stateHome;
    TempTree tree;
    tree.dir(u"src"_s);
    tree.writeFile(u"src/a.mp3"_s, "a");
    tree.writeFile(u"src/b.mp3"_s, "b");
    LocalFileSystem fileSystem;
    {
        RecordingWindow window;
        MainPrg prg(fileSystem);
        prg.setWindow(&window);
        prg.SourceDir = tree.dir(u"src"_s);
        prg.TargetDir = tree.dir(u"dst"_s);
        window.fields[u"txt_Suchstring"_s] = u"_x"_s;
        ASSERT_TRUE(prg.runOperation(u"AddText"_s));
        // The run's last record cut short, as a kill just before its end leaves it.
        QFile journal(stateHome.historyDirectory() + prg.historyRows()[0].id + u".journal"_s);
        ASSERT_TRUE(journal.open(QIODevice::ReadWrite) && journal.resize(journal.size() - 3));
    }

    SeenMessageBox question;
    answerModal([&question](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        question = {box->text(), box->informativeText(), box->windowTitle(), box->icon(), {}};
        QList<QString> buttons;
        for (QAbstractButton* button : box->buttons())
            buttons.append(button->text());
        EXPECT_EQ(buttons.size(), 2);
        EXPECT_TRUE(buttons.contains(u"Rückgängig machen"_s));
        EXPECT_TRUE(buttons.contains(u"Behalten"_s));
        click(*box, u"cmd_RueckgaengigMachen"_s);
    });
    {
        frm_Main window;
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(tree.entries(u"src"_s), (QStringList{u"a.mp3"_s, u"b.mp3"_s}),
                                  10000);
    }
    EXPECT_EQ(question.text, interruptedRunText());
    EXPECT_TRUE(question.informativeText.startsWith(u"Vorgang: AddText\n"_s));
    EXPECT_TRUE(question.informativeText.contains(u"Umbenannt: 2 von 2 Dateien"_s));
    EXPECT_EQ(question.title, u"Tessavo"_s);
    EXPECT_EQ(tree.entries(u"dst"_s), QStringList());

    // Nothing is asked twice.
    RecordingWindow window;
    MainPrg(fileSystem).recoverInterruptedRuns(window);
    EXPECT_TRUE(window.messages.isEmpty());
}

} // namespace
