#include "ui/main/frm_Information.h"
#include "ui/main/frm_Main.h"

#include "tests/support/ModalAnswer.h"
#include "tests/support/TempTree.h"
#include "tests/support/WidgetLookup.h"
#include "ui/rename/frm_ChangeFilename.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

constexpr int px(int twips) {
    return twips / 15;
}

QString text(const QObject& dialog, const QString& name) {
    if (auto* label = dialog.findChild<QLabel*>(name))
        return label->text();
    return control<QLineEdit>(dialog, name)->text();
}

bool shown(const QObject& dialog, const QString& name) {
    return control(dialog, name)->isVisible();
}

// Picks a directory in the picker that the dialog's button opens.
void chooseDirectory(QWidget& dialog, const QString& button, QString directory) {
    directory.chop(1);
    answerModal(
        [directory](QWidget* picker) {
            control(*picker, u"lstVerzeichnisbox"_s)->setProperty("path", directory);
            click(*picker, u"cmd_OK"_s);
        },
        &dialog);
    click(dialog, button);
}

class MainWindow : public testing::Test {
protected:
    MainWindow() {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    frm_ChangeFilename* dialog() const { return window.findChild<frm_ChangeFilename*>(); }

    // Clicks a button of the main window, runs `inside` while the parameter
    // dialog is shown and leaves the dialog with "Ende".
    void open(const QString& button, const std::function<void(QWidget&)>& inside = {}) {
        bool answered = false;
        answerModal([&](QWidget* modal) {
            EXPECT_EQ(modal, dialog());
            if (inside)
                inside(*modal);
            answered = true;
            click(*modal, u"cmd_Ende"_s);
        });
        click(window, button);
        EXPECT_TRUE(answered) << button.toStdString();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }

    frm_Main window;
};

TEST_F(MainWindow, hasItsCaptionAFixedClientAreaBelowTheMenuAndNoMinimiseOrMaximise) {
    EXPECT_EQ(window.objectName(), u"frm_Main"_s);
    EXPECT_EQ(window.windowTitle(), u"Brenk's Toolbox für Tessavo"_s);
    EXPECT_EQ(window.centralWidget()->size(), QSize(px(4785), px(7830)));
    EXPECT_EQ(window.centralWidget()->y(), window.menuBar()->height());
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_TRUE(window.windowIcon().availableSizes().contains(QSize(32, 32)));
}

TEST_F(MainWindow, menusHaveTheirEntries) {
    const struct {
        const char* menu;
        QString title;
        const char* entry;
        QString entryText;
    } rows[] = {
        {"menueDatei", u"Datei"_s, "menueBeenden", u"Beenden"_s},
        {"menueHilfe", u"Hilfe"_s, "menueInformation", u"Über ..."_s},
    };
    for (const auto& row : rows) {
        const auto* menu = control<QMenu>(window, QString::fromLatin1(row.menu));
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->title(), row.title);
        const auto* entry = control<QAction>(window, QString::fromLatin1(row.entry));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->text(), row.entryText);
        EXPECT_TRUE(menu->actions().contains(entry));
    }
    EXPECT_EQ(window.menuBar()->actions().size(), 2);
}

TEST_F(MainWindow, framesHoldTheirRowsOfDescriptionAndSmallButton) {
    const struct {
        QString frame;
        QRect twips;
        QStringList descriptions;
        QStringList buttons;
    } frames[] = {
        {u"Tauschen"_s,
         {240, 420, 3975, 1815},
         {u"Anhand eines Suchstrings den Dateinamen in zwei Teile splitten und die Teile "
          u"vertauschen"_s,
          u"Die ersten 3 Stellen des Dateinamens entfernen und durch lfd. Nummern ersetzen"_s,
          u"Einen Suchstring im Dateinamen durch einen anderen ersetzen"_s},
         {u"cmd_ChangeFilename"_s, u"cmd_CutandNumber"_s, u"cmd_ChangeString"_s}},
        {u"Hinzufügen"_s,
         {240, 2460, 3975, 1335},
         {u"Füge dem Dateinamen zu Beginn laufende Nummern hinzu"_s,
          u"Füge dem Dateinamen am Ende einen definierten Text hinzu"_s},
         {u"cmd_AddNumber"_s, u"cmd_AddText"_s}},
        {u"Kürzen"_s,
         {240, 4020, 3975, 1815},
         {u"Den Dateinamen am Anfang um eine oder mehrere Stellen kürzen"_s,
          u"Den Dateinamen am Ende um eine oder mehrere Stellen kürzen"_s,
          u"Anhand eines Suchstrings den Dateinamen um den Teil hinter dem Suchstring "
          u"kürzen"_s},
         {u"cmd_CutNameFirst"_s, u"cmd_CutNameLast"_s, u"cmd_CutNameStringLast"_s}},
        {u"Sonstiges"_s,
         {240, 6060, 3975, 1335},
         {u"ID3-Tag von mp3-Dateien auslesen"_s, u"MP3-Dateien zusammenkopieren"_s},
         {u"cmd_ReadID3"_s, u"cmd_CopyFiles"_s}},
    };

    const QList<QGroupBox*> boxes = window.centralWidget()->findChildren<QGroupBox*>();
    ASSERT_EQ(boxes.size(), std::size(frames));
    for (qsizetype f = 0; f < boxes.size(); ++f) {
        const auto& frame = frames[f];
        const QGroupBox* box = boxes[f];
        EXPECT_EQ(box->title(), frame.frame);
        EXPECT_EQ(box->geometry(), QRect(px(frame.twips.x()), px(frame.twips.y()),
                                         px(frame.twips.width()), px(frame.twips.height())));

        const QList<QLabel*> labels = box->findChildren<QLabel*>();
        const QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
        ASSERT_EQ(labels.size(), frame.descriptions.size()) << frame.frame.toStdString();
        ASSERT_EQ(buttons.size(), frame.buttons.size());
        for (qsizetype r = 0; r < labels.size(); ++r) {
            const QLabel* label = labels[r];
            const QPushButton* button = buttons[r];
            SCOPED_TRACE(frame.buttons[r].toStdString());
            EXPECT_EQ(label->text(), frame.descriptions[r]);
            EXPECT_TRUE(label->wordWrap());
            EXPECT_EQ(button->objectName(), frame.buttons[r]);
            EXPECT_TRUE(button->text().isEmpty());
            EXPECT_EQ(button->size(), QSize(px(255), px(255)));
            // Level with its label, right of it, inside the frame.
            EXPECT_GE(button->geometry().center().y(), label->geometry().top());
            EXPECT_LE(button->geometry().center().y(), label->geometry().bottom());
            EXPECT_GT(button->x(), label->geometry().right());
            EXPECT_LE(button->geometry().right(), box->contentsRect().right());
            // The whole description shows: at most two lines, none cut off.
            const QFontMetrics metrics(label->font());
            const QRect needed =
                metrics.boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text());
            EXPECT_LE(needed.height(), label->contentsRect().height());
            EXPECT_LT(needed.height(), 3 * metrics.lineSpacing());
            if (r > 0) {
                EXPECT_GE(label->y(), labels[r - 1]->geometry().bottom());
            }
        }
    }
}

struct SetupRow {
    QString button;
    QString key;
    QString caption;
    QString firstLabel;
    int searchWidth;
    QString secondLabel; // empty: Label5 and txt_Step hidden
    QString optionLabel; // empty: Label6 and chk_Leerz hidden
};

const QList<SetupRow> setupRows = {
    {u"cmd_ChangeFilename"_s,
     u"ChangeFilename"_s,
     u"Tausche Teil 1 und Teil 2"_s,
     u"Suchstring"_s,
     855,
     {},
     {}},
    {u"cmd_CutandNumber"_s, u"CutandNumber"_s, u"Lfd. Nummer ersetzen"_s, u"Neue Startnummer"_s,
     855, u"Step"_s, u"Leerz"_s},
    {u"cmd_ChangeString"_s, u"ChangeString"_s, u"Tausche String 1 gegen String 2"_s, u"String 1"_s,
     855, u"String 2"_s, u"Mehrfach"_s},
    {u"cmd_AddNumber"_s, u"AddNumber"_s, u"Nummer hinzufügen"_s, u"Startnummer"_s, 855, u"Step"_s,
     u"Leerz"_s},
    {u"cmd_CutNameFirst"_s,
     u"CutNameFirst"_s,
     u"Namen am Anfang kürzen"_s,
     u"Zahl der Stellen"_s,
     855,
     {},
     {}},
    {u"cmd_CutNameLast"_s,
     u"CutNameLast"_s,
     u"Namen am Ende kürzen"_s,
     u"Zahl der Stellen"_s,
     855,
     {},
     {}},
    {u"cmd_CutNameStringLast"_s,
     u"CutNameStringLast"_s,
     u"Namen hinter dem Suchstring kürzen"_s,
     u"Suchstring"_s,
     855,
     {},
     {}},
    {u"cmd_AddText"_s,
     u"AddText"_s,
     u"Dem Namen am Ende Text hinzufügen"_s,
     u"hinzuzufügender Text"_s,
     2655,
     {},
     {}},
};

// Checks one opening against its row; a hidden field's label must keep the
// caption it had before.
void expectSetUp(const frm_Main& window, QWidget& dialog, const SetupRow& row,
                 const QString& label5Before, const QString& label6Before) {
    SCOPED_TRACE(row.button.toStdString());
    EXPECT_EQ(window.mainPrg().CurrentOperation, row.key);
    EXPECT_EQ(dialog.windowTitle(), row.caption);
    EXPECT_EQ(text(dialog, u"Label1"_s), row.firstLabel);
    const QWidget* search = control(dialog, u"txt_Suchstring"_s);
    EXPECT_EQ(search->geometry(), QRect(px(240), px(480), px(row.searchWidth), px(285)));
    EXPECT_TRUE(search->isVisible());

    const bool withSecond = !row.secondLabel.isEmpty();
    EXPECT_EQ(shown(dialog, u"Label5"_s), withSecond);
    EXPECT_EQ(shown(dialog, u"txt_Step"_s), withSecond);
    EXPECT_EQ(text(dialog, u"Label5"_s), withSecond ? row.secondLabel : label5Before);

    const bool withOption = !row.optionLabel.isEmpty();
    EXPECT_EQ(shown(dialog, u"Label6"_s), withOption);
    EXPECT_EQ(shown(dialog, u"chk_Leerz"_s), withOption);
    EXPECT_EQ(text(dialog, u"Label6"_s), withOption ? row.optionLabel : label6Before);
}

TEST_F(MainWindow, everyRenameButtonSetsUpTheDialogWhateverTheOpeningBeforeLeft) {
    EXPECT_EQ(dialog(), nullptr);
    QString label5 = u"Step"_s;
    QString label6 = u"Leerz."_s;
    QList<SetupRow> order = setupRows;
    std::reverse_copy(setupRows.cbegin(), setupRows.cend(), std::back_inserter(order));
    for (const SetupRow& row : order) {
        open(row.button, [&](QWidget& dialog) {
            expectSetUp(window, dialog, row, label5, label6);
            label5 = text(dialog, u"Label5"_s);
            label6 = text(dialog, u"Label6"_s);
        });
    }
    EXPECT_EQ(window.findChildren<frm_ChangeFilename*>().size(), 1);
}

TEST_F(MainWindow, addTextWidensTheSearchFieldAndTheNextOpeningNarrowsItAgain) {
    open(u"cmd_AddText"_s, [](QWidget& dialog) {
        EXPECT_EQ(control(dialog, u"txt_Suchstring"_s)->width(), px(2655));
    });
    open(u"cmd_CutNameLast"_s, [](QWidget& dialog) {
        EXPECT_EQ(control(dialog, u"txt_Suchstring"_s)->width(), px(855));
    });
}

TEST_F(MainWindow, stepTypedForCutandNumberIsShownAgainForAddNumber) {
    open(u"cmd_CutandNumber"_s,
         [](QWidget& dialog) { QTest::keyClicks(control(dialog, u"txt_Step"_s), u"5"_s); });
    open(u"cmd_AddNumber"_s, [](QWidget& dialog) {
        EXPECT_TRUE(shown(dialog, u"txt_Step"_s));
        EXPECT_EQ(text(dialog, u"txt_Step"_s), u"5"_s);
        EXPECT_EQ(text(dialog, u"Label5"_s), u"Step"_s);
    });
}

TEST_F(MainWindow, changeStringRelabelsTheFieldsButKeepsTextAndTick) {
    open(u"cmd_CutandNumber"_s, [](QWidget& dialog) {
        control<QLineEdit>(dialog, u"txt_Step"_s)->setText(u"3"_s);
        control<QCheckBox>(dialog, u"chk_Leerz"_s)->setChecked(true);
    });
    open(u"cmd_ChangeString"_s, [](QWidget& dialog) {
        EXPECT_EQ(text(dialog, u"Label5"_s), u"String 2"_s);
        EXPECT_EQ(text(dialog, u"Label6"_s), u"Mehrfach"_s);
        EXPECT_EQ(text(dialog, u"txt_Step"_s), u"3"_s);
        EXPECT_TRUE(control<QCheckBox>(dialog, u"chk_Leerz"_s)->isChecked());
    });
}

TEST_F(MainWindow, cutNameFirstHidesTheOptionalFieldsAndAddNumberBringsThemBackFilled) {
    open(u"cmd_AddNumber"_s, [](QWidget& dialog) {
        control<QLineEdit>(dialog, u"txt_Suchstring"_s)->setText(u"07"_s);
        control<QLineEdit>(dialog, u"txt_Step"_s)->setText(u"2"_s);
        control<QCheckBox>(dialog, u"chk_Leerz"_s)->setChecked(true);
    });
    open(u"cmd_CutNameFirst"_s, [](QWidget& dialog) {
        for (const QString& name : {u"Label5"_s, u"txt_Step"_s, u"Label6"_s, u"chk_Leerz"_s})
            EXPECT_FALSE(shown(dialog, name)) << name.toStdString();
        EXPECT_EQ(text(dialog, u"txt_Suchstring"_s), u"07"_s);
    });
    open(u"cmd_AddNumber"_s, [](QWidget& dialog) {
        for (const QString& name : {u"Label5"_s, u"txt_Step"_s, u"Label6"_s, u"chk_Leerz"_s})
            EXPECT_TRUE(shown(dialog, name)) << name.toStdString();
        EXPECT_EQ(text(dialog, u"txt_Step"_s), u"2"_s);
        EXPECT_TRUE(control<QCheckBox>(dialog, u"chk_Leerz"_s)->isChecked());
    });
}

TEST_F(MainWindow, renameOpeningAfterTheId3CheckShowsTheFieldsAndLabelsForRenaming) {
    open(u"cmd_ReadID3"_s, [this](QWidget& dialog) {
        EXPECT_EQ(window.mainPrg().CurrentOperation, u"ReadID3"_s);
        EXPECT_EQ(text(dialog, u"Label2"_s), u"MP3-Verzeichnis"_s);
        EXPECT_FALSE(shown(dialog, u"txt_Suchstring"_s));
        EXPECT_FALSE(shown(dialog, u"txt_Zielverzeichnis"_s));
    });
    open(u"cmd_ChangeFilename"_s, [](QWidget& dialog) {
        for (const QString& name :
             {u"txt_Suchstring"_s, u"txt_Zielverzeichnis"_s, u"cmd_Zielverzeichnis"_s})
            EXPECT_TRUE(shown(dialog, name)) << name.toStdString();
        EXPECT_EQ(text(dialog, u"Label1"_s), u"Suchstring"_s);
        EXPECT_EQ(text(dialog, u"Label2"_s), u"Quellverzeichnis"_s);
        EXPECT_EQ(text(dialog, u"Label3"_s), u"Zielverzeichnis"_s);
    });
}

TEST_F(MainWindow, numberingRunStartedHereMovesTheFilesAndItsLogOutlivesTheOpening) {
    TempTree tree;
    const QString source = tree.dir(u"src"_s);
    const QString target = tree.dir(u"dst"_s);
    tree.writeFile(u"src/a.mp3"_s, "a");
    tree.writeFile(u"src/b.mp3"_s, "b");

    open(u"cmd_AddNumber"_s, [&](QWidget& dialog) {
        chooseDirectory(dialog, u"cmd_Quellverzeichnis"_s, source);
        chooseDirectory(dialog, u"cmd_Zielverzeichnis"_s, target);
        EXPECT_EQ(text(dialog, u"txt_Quellverzeichnis"_s), source);
        EXPECT_EQ(text(dialog, u"txt_Zielverzeichnis"_s), target);
        control<QLineEdit>(dialog, u"txt_Suchstring"_s)->setText(u"1"_s);
        control<QLineEdit>(dialog, u"txt_Step"_s)->setText(u"1"_s);
        control<QCheckBox>(dialog, u"chk_Leerz"_s)->setChecked(true);
        click(dialog, u"cmd_Start"_s);
    });
    EXPECT_EQ(window.mainPrg().SourceDir, source);
    EXPECT_EQ(tree.entries(u"src"_s), QStringList());
    EXPECT_EQ(tree.entries(u"dst"_s), QStringList({u"01 a.mp3"_s, u"02 b.mp3"_s}));
    EXPECT_EQ(tree.readFile(u"dst/02 b.mp3"_s), "b");

    open(u"cmd_AddNumber"_s,
         [](QWidget& dialog) { EXPECT_TRUE(control(dialog, u"cmd_Rueckgaengig"_s)->isEnabled()); });
    open(u"cmd_CutNameFirst"_s, [this](QWidget& opened) {
        EXPECT_EQ(dialog()->fieldText(u"txt_Filename"_s), u"a.mp3\r\nb.mp3\r\n"_s);
        EXPECT_FALSE(control(opened, u"cmd_Rueckgaengig"_s)->isEnabled())
            << "the undo belongs to the operation the dialog was set up for";
    });
}

TEST_F(MainWindow, copyFilesShowsTheOneConcatenationWindowModally) {
    QWidget* first = nullptr;
    for (int opening = 0; opening < 2; ++opening) {
        bool answered = false;
        answerModal([&](QWidget* modal) {
            EXPECT_EQ(modal->objectName(), u"frm_CopyFiles"_s);
            EXPECT_TRUE(modal->isModal());
            if (!first)
                first = modal;
            EXPECT_EQ(modal, first);
            answered = true;
            modal->close();
        });
        click(window, u"cmd_CopyFiles"_s);
        EXPECT_TRUE(answered);
    }
}

TEST_F(MainWindow, informationChosenTwiceIsOneWindowThatDoesNotBlock) {
    auto* menueInformation = control<QAction>(window, u"menueInformation"_s);
    menueInformation->trigger();
    menueInformation->trigger();

    QList<frm_Information*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* information = qobject_cast<frm_Information*>(widget))
            windows.append(information);
    }
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows[0]->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    windows[0]->close();
    menueInformation->trigger();
    EXPECT_TRUE(windows[0]->isVisible());
}

// The program's end: each case runs the event loop, which only the window
// can end.
class ProgramEnd : public MainWindow {
protected:
    // Runs the event loop, does `end` from it and tells the exit code.
    int runUntil(const std::function<void()>& end) {
        QTimer giveUp;
        giveUp.setSingleShot(true);
        QObject::connect(&giveUp, &QTimer::timeout, &giveUp, [] { QApplication::exit(1); });
        giveUp.start(10000);
        QTimer::singleShot(0, &window, end);
        return QApplication::exec();
    }

    frm_Information* openInformation() {
        control<QAction>(window, u"menueInformation"_s)->trigger();
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* information = qobject_cast<frm_Information*>(widget))
                return information;
        }
        return nullptr;
    }
};

TEST_F(ProgramEnd, beendenEndsAtOnceAndClosesTheInformationWindow) {
    open(u"cmd_AddText"_s);
    frm_Information* information = openInformation();
    ASSERT_NE(information, nullptr);

    EXPECT_EQ(runUntil([this] { control<QAction>(window, u"menueBeenden"_s)->trigger(); }), 0);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(information->isVisible());
}

TEST_F(ProgramEnd, closingTheMainWindowEndsEvenAfterTheDialogWasHidden) {
    open(u"cmd_ChangeString"_s);
    open(u"cmd_ReadID3"_s);

    EXPECT_EQ(runUntil([this] { window.close(); }), 0);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
