#include "ui/rename/frm_ChangeFilename.h"

#include "core/fs/LocalFileSystem.h"
#include "core/rename/MainPrg.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/TempTree.h"
#include "ui/rename/frm_Directory.h"
#include "ui/widgets/LogField.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

class Dialog : public testing::Test {
protected:
    Dialog() : prg(fileSystem), dialog(prg) {
        prg.SourceDir = tree.dir(u"src"_s);
        prg.TargetDir = tree.dir(u"dst"_s);
    }

    template <typename Control = QWidget> Control* control(const QString& name) {
        auto* found = dialog.findChild<Control*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    void click(const QString& button) { QTest::mouseClick(control(button), Qt::LeftButton); }
    void type(const QString& field, const QString& text) {
        control<QLineEdit>(field)->setText(text);
    }
    void files(const QStringList& names) {
        for (const QString& name : names)
            tree.writeFile(u"src/"_s + name);
    }

    TempTree tree;
    LocalFileSystem fileSystem;
    MainPrg prg;
    frm_ChangeFilename dialog;
};

struct ControlRow {
    const char* name;
    const char* kind;
    QString text;
    QRect twips;
};

TEST_F(Dialog, everyControlHasItsKindTextPlaceAndSizeAlsoAfterResizing) {
    const ControlRow rows[] = {
        {"Label1", "QLabel", u"Suchstring"_s, {240, 240, 1575, 255}},
        {"txt_Suchstring", "QLineEdit", {}, {240, 480, 975, 285}},
        {"Label5", "QLabel", u"Step"_s, {1800, 240, 855, 255}},
        {"txt_Step", "QLineEdit", {}, {1800, 480, 975, 285}},
        {"Label6", "QLabel", u"Leerz."_s, {3000, 240, 975, 255}},
        {"chk_Leerz", "QCheckBox", {}, {3000, 480, 255, 255}},
        {"cmd_Start", "QPushButton", u"Start"_s, {4680, 240, 1095, 375}},
        {"cmd_Ende", "QPushButton", u"Ende"_s, {4680, 720, 1095, 375}},
        {"cmd_Vorschau", "QPushButton", u"Vorschau"_s, {4680, 1200, 1095, 375}},
        {"cmd_Rueckgaengig", "QPushButton", u"Rückgängig"_s, {4680, 1680, 1095, 375}},
        {"cmd_Verlauf", "QPushButton", u"Verlauf…"_s, {4680, 2160, 1095, 375}},
        {"Label2", "QLabel", u"Quellverzeichnis"_s, {240, 960, 1335, 255}},
        {"txt_Quellverzeichnis", "QLineEdit", {}, {240, 1200, 2655, 285}},
        {"cmd_Quellverzeichnis", "QPushButton", {}, {3000, 1200, 255, 255}},
        {"Label3", "QLabel", u"Zielverzeichnis"_s, {240, 1680, 1335, 255}},
        {"txt_Zielverzeichnis", "QLineEdit", {}, {240, 1920, 2655, 285}},
        {"cmd_Zielverzeichnis", "QPushButton", {}, {3000, 1920, 255, 255}},
        {"Label7", "QLabel", u"MoveBack"_s, {3720, 1680, 855, 255}},
        {"chk_MoveBack", "QCheckBox", {}, {3720, 1920, 255, 255}},
        {"Label4", "QLabel", u"Dateinamen"_s, {240, 2400, 3015, 255}},
        {"txt_Filename", "LogField", {}, {240, 2640, 5175, 2055}},
    };
    EXPECT_EQ(dialog.size(), QSize(396, 339));
    for (const QSize windowSize : {dialog.size(), QSize(700, 500)}) {
        dialog.resize(windowSize);
        for (const ControlRow& row : rows) {
            SCOPED_TRACE(row.name);
            QWidget* widget = control(QString::fromUtf8(row.name));
            ASSERT_NE(widget, nullptr);
            EXPECT_TRUE(widget->inherits(row.kind));
            const QRect expected(row.twips.x() / 15, row.twips.y() / 15, row.twips.width() / 15,
                                 row.twips.height() / 15);
            EXPECT_EQ(widget->geometry(), expected);
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                EXPECT_EQ(label->text(), row.text);
            } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                EXPECT_EQ(button->text(), row.text);
            } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
                EXPECT_TRUE(field->text().isEmpty());
            }
            if (auto* box = qobject_cast<QCheckBox*>(widget)) {
                EXPECT_FALSE(box->isChecked());
            }
        }
    }
}

TEST_F(Dialog, logFieldIsAFixedPitchMultiLineFieldWithBothScrollBarsAndNoWrapping) {
    auto* log = control<LogField>(u"txt_Filename"_s);
    EXPECT_TRUE(log->text().isEmpty());
    EXPECT_TRUE(QFontInfo(log->font()).fixedPitch());
    EXPECT_DOUBLE_EQ(log->font().pointSizeF(), 8.25);
    EXPECT_EQ(log->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    dialog.setText(u"txt_Filename"_s, QString(300, u'x'));
    EXPECT_EQ(log->lineCount(), 1) << "a long name stays one line";
    EXPECT_GT(log->horizontalScrollBar()->maximum(), 0);
}

TEST_F(Dialog, startRunsOnlyAnExactlyMatchingKey) {
    const struct {
        const char* name;
        QString key;
        bool runs;
    } rows[] = {
        {"empty key does nothing", {}, false},
        {"lower case does nothing", u"addtext"_s, false},
        {"trailing blank does nothing", u"AddText "_s, false},
        {"unknown text does nothing", u"Irgendwas"_s, false},
        {"exact key runs", u"AddText"_s, true},
    };
    type(u"txt_Suchstring"_s, u"_x"_s);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        files({u"a.mp3"_s});
        dialog.setText(u"txt_Filename"_s, u"vorher"_s);
        prg.CurrentOperation = row.key;
        click(u"cmd_Start"_s);
        EXPECT_EQ(tree.exists(u"dst/a_x.mp3"_s), row.runs);
        EXPECT_EQ(tree.exists(u"src/a.mp3"_s), !row.runs);
        EXPECT_EQ(dialog.fieldText(u"txt_Filename"_s), row.runs ? u"a.mp3\r\n"_s : u"vorher"_s);
    }
}

TEST_F(Dialog, runFromStartMovesFilesAndLogsEachNameWithCrLf) {
    files({u"b.mp3"_s, u"a.mp3"_s});
    prg.CurrentOperation = u"AddText"_s;
    type(u"txt_Suchstring"_s, u"_x"_s);
    click(u"cmd_Start"_s);

    EXPECT_EQ(tree.entries(u"dst"_s), (QStringList{u"a_x.mp3"_s, u"b_x.mp3"_s}));
    EXPECT_TRUE(tree.entries(u"src"_s).isEmpty());
    EXPECT_EQ(dialog.fieldText(u"txt_Filename"_s), u"a.mp3\r\nb.mp3\r\n"_s);
    EXPECT_EQ(control<LogField>(u"txt_Filename"_s)->lineCount(), 3);
}

TEST_F(Dialog, moveBackTickedRenamesInPlace) {
    files({u"a.mp3"_s});
    prg.CurrentOperation = u"AddText"_s;
    type(u"txt_Suchstring"_s, u"_x"_s);
    control<QCheckBox>(u"chk_MoveBack"_s)->setChecked(true);
    click(u"cmd_Start"_s);

    EXPECT_EQ(tree.entries(u"src"_s), QStringList{u"a_x.mp3"_s});
    EXPECT_TRUE(tree.entries(u"dst"_s).isEmpty());
}

TEST_F(Dialog, failingRunShowsItsMessageWithoutIconUnderTheApplicationTitle) {
    files({u"abc"_s});
    prg.CurrentOperation = u"AddText"_s;
    dialog.setWindowTitle(u"Dem Namen am Ende Text hinzufügen"_s);
    SeenMessageBox box;
    answerMessageBox(box);
    click(u"cmd_Start"_s);

    EXPECT_EQ(box.text, u"Fehler im Modul AddText"_s);
    EXPECT_EQ(box.title, u"Tessavo"_s);
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    EXPECT_EQ(box.informativeText, u"Datei: abc\nDer Name hat weniger als vier Zeichen."_s);
    EXPECT_EQ(dialog.fieldText(u"txt_Filename"_s), u"abc\r\n"_s);
    EXPECT_TRUE(tree.exists(u"src/abc"_s));
    EXPECT_EQ(dialog.windowTitle(), u"Dem Namen am Ende Text hinzufügen"_s);
    EXPECT_TRUE(control(u"cmd_Start"_s)->isEnabled());
}

TEST_F(Dialog, previewFillsTheLogWithOldAndNewNamesAndMovesNothing) {
    files({u"b.mp3"_s, u"a.mp3"_s, u"ab"_s});
    tree.writeFile(u"dst/b_x.mp3"_s);
    prg.CurrentOperation = u"AddText"_s;
    type(u"txt_Suchstring"_s, u"_x"_s);
    QWidget* modalSeen = nullptr;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &dialog, [&modalSeen] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modalSeen = modal;
            modal->close();
        }
    });
    watch.start(5);
    click(u"cmd_Vorschau"_s);
    watch.stop();

    EXPECT_EQ(modalSeen, nullptr);
    const QStringList lines = dialog.fieldText(u"txt_Filename"_s).split(u"\r\n"_s);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], u"Quelle: "_s + prg.SourceDir);
    EXPECT_TRUE(lines[1].startsWith(u"Ziel: "_s + prg.TargetDir + u" ("_s))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(u", Groß-/Kleinschreibung unterschieden)"_s));
    EXPECT_EQ(lines.mid(2),
              (QStringList{u"a.mp3  ->  a_x.mp3"_s,
                           u"ab  ->  (Fehler: Der Name hat weniger als vier Zeichen.)"_s,
                           u"b.mp3  ->  (bleibt, der Lauf endet vorher)"_s, QString()}));
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"a.mp3"_s, u"ab"_s, u"b.mp3"_s}));
    EXPECT_FALSE(control(u"cmd_Rueckgaengig"_s)->isEnabled());
}

TEST_F(Dialog, undoIsEnabledAfterARunThatMovedAndPutsEveryFileBack) {
    files({u"a.mp3"_s, u"b.mp3"_s});
    prg.CurrentOperation = u"AddText"_s;
    type(u"txt_Suchstring"_s, u"_x"_s);
    control<QCheckBox>(u"chk_MoveBack"_s)->setChecked(true);
    EXPECT_FALSE(control(u"cmd_Rueckgaengig"_s)->isEnabled());

    click(u"cmd_Start"_s);
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"a_x.mp3"_s, u"b_x.mp3"_s}));
    ASSERT_TRUE(control(u"cmd_Rueckgaengig"_s)->isEnabled());

    click(u"cmd_Rueckgaengig"_s);
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"a.mp3"_s, u"b.mp3"_s}));
    EXPECT_TRUE(tree.entries(u"dst"_s).isEmpty());
    EXPECT_EQ(dialog.fieldText(u"txt_Filename"_s), u"b.mp3\r\na.mp3\r\n"_s);
    EXPECT_FALSE(control(u"cmd_Rueckgaengig"_s)->isEnabled());
    EXPECT_TRUE(control(u"cmd_Start"_s)->isEnabled());
}

TEST_F(Dialog, undoIsNotOfferedAfterARunThatMovedNothing) {
    files({u"abc"_s});
    prg.CurrentOperation = u"AddText"_s;
    SeenMessageBox box;
    answerMessageBox(box);
    click(u"cmd_Start"_s);
    EXPECT_EQ(box.text, u"Fehler im Modul AddText"_s);
    EXPECT_FALSE(control(u"cmd_Rueckgaengig"_s)->isEnabled());
}

TEST_F(Dialog, undoThatCannotPutAFileBackNamesItInOneMessage) {
    files({u"a.mp3"_s});
    prg.CurrentOperation = u"AddText"_s;
    type(u"txt_Suchstring"_s, u"_x"_s);
    click(u"cmd_Start"_s);
    tree.writeFile(u"src/a.mp3"_s, "taken meanwhile");
    SeenMessageBox box;
    answerMessageBox(box);
    click(u"cmd_Rueckgaengig"_s);
    EXPECT_EQ(box.text, u"1 Datei konnte nicht zurückbenannt werden:\na_x.mp3 – Den früheren "
                        u"Namen trägt jetzt eine andere Datei."_s);
    EXPECT_EQ(box.title, u"Tessavo"_s);
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    EXPECT_EQ(tree.readFile(u"src/a.mp3"_s), "taken meanwhile");
    EXPECT_TRUE(tree.exists(u"dst/a_x.mp3"_s));
}

TEST_F(Dialog, longRunRepaintsWithProgressInTheCaptionButTakesNoSecondStartOrClose) {
    QStringList names;
    // Enough files that the run reports progress after its first moves.
    for (int index = 0; index < 3000; ++index)
        names.append(u"Titel %1.mp3"_s.arg(index));
    files(names);
    prg.CurrentOperation = u"AddText"_s;
    type(u"txt_Suchstring"_s, u"_x"_s);
    dialog.setWindowTitle(u"Lauf"_s);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    QString captionDuringRun;
    bool startEnabledDuringRun = true;
    bool closedDuringRun = true;
    bool logShownDuringRun = false;
    // Looks at the dialog each time the run lets events through, until the
    // first moves are in the log.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &dialog, [&] {
        // The field has taken more lines than it can show at once.
        if (control<LogField>(u"txt_Filename"_s)->verticalScrollBar()->maximum() == 0)
            return;
        watch.stop();
        logShownDuringRun = true;
        captionDuringRun = dialog.windowTitle();
        startEnabledDuringRun = control(u"cmd_Start"_s)->isEnabled();
        click(u"cmd_Start"_s);
        closedDuringRun = dialog.close();
    });
    watch.start(0);
    click(u"cmd_Start"_s);
    watch.stop();

    EXPECT_TRUE(captionDuringRun.startsWith(u"Lauf – "_s)) << captionDuringRun.toStdString();
    EXPECT_TRUE(captionDuringRun.endsWith(u" von 3000"_s)) << captionDuringRun.toStdString();
    EXPECT_TRUE(logShownDuringRun);
    EXPECT_FALSE(startEnabledDuringRun);
    EXPECT_FALSE(closedDuringRun);
    EXPECT_EQ(dialog.windowTitle(), u"Lauf"_s);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(tree.entries(u"dst"_s).size(), 3000);
    EXPECT_EQ(dialog.fieldText(u"txt_Filename"_s).count(u"\r\n"_s), 3000);
    EXPECT_TRUE(control(u"cmd_Start"_s)->isEnabled());
}

TEST_F(Dialog, inputDuringARunIsDroppedButItsMessageBoxTakesInput) {
    QStringList names;
    for (int index = 0; index < 50; ++index)
        names.append(u"Titel %1.mp3"_s.arg(index));
    files(names);
    tree.writeFile(u"dst/Titel 49_x.mp3"_s, "taken");
    prg.CurrentOperation = u"AddText"_s;
    type(u"txt_Suchstring"_s, u"_x"_s);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    QTimer::singleShot(0, &dialog, [&] {
        QTest::keyClicks(control(u"txt_Step"_s), u"typed"_s);
        QTest::mouseClick(control(u"chk_MoveBack"_s), Qt::LeftButton);
    });
    bool boxAnswered = false;
    answerModal([&](QWidget* box) {
        QTest::mouseClick(qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok), Qt::LeftButton);
        boxAnswered = true;
    });
    click(u"cmd_Start"_s);

    EXPECT_TRUE(boxAnswered);
    EXPECT_FALSE(QApplication::activeModalWidget() && QApplication::activeModalWidget() != &dialog);
    EXPECT_EQ(control<QLineEdit>(u"txt_Step"_s)->text(), QString());
    EXPECT_FALSE(control<QCheckBox>(u"chk_MoveBack"_s)->isChecked());
    EXPECT_EQ(tree.entries(u"dst"_s).size(), 50);
    // Input reaches the dialog again once the run has ended.
    QTest::keyClicks(control(u"txt_Step"_s), u"after"_s);
    EXPECT_EQ(control<QLineEdit>(u"txt_Step"_s)->text(), u"after"_s);
}

TEST_F(Dialog, endeHidesAndTheNextOpeningKeepsFieldsTicksLogAndPicker) {
    files({u"a.mp3"_s});
    prg.CurrentOperation = u"AddText"_s;
    dialog.show();
    QTest::keyClicks(control(u"txt_Suchstring"_s), u"_x"_s);
    QTest::keyClicks(control(u"txt_Step"_s), u"5"_s);
    control<QCheckBox>(u"chk_Leerz"_s)->setChecked(true);
    click(u"cmd_Start"_s);
    click(u"cmd_Ende"_s);
    EXPECT_FALSE(dialog.isVisible());

    dialog.show();
    EXPECT_EQ(dialog.fieldText(u"txt_Suchstring"_s), u"_x"_s);
    EXPECT_EQ(dialog.fieldText(u"txt_Step"_s), u"5"_s);
    EXPECT_TRUE(dialog.isTicked(u"chk_Leerz"_s));
    EXPECT_EQ(dialog.fieldText(u"txt_Filename"_s), u"a.mp3\r\n"_s);
}

TEST_F(Dialog, directoryButtonsStoreTheirRequestAndShowTheSamePickerModally) {
    const struct {
        const char* button;
        QString request;
    } rows[] = {
        {"cmd_Quellverzeichnis", u"Quelle"_s},
        {"cmd_Zielverzeichnis", u"Ziel"_s},
        {"cmd_Quellverzeichnis", u"Quelle"_s},
    };
    QWidget* firstPicker = nullptr;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.button);
        QString request;
        QWidget* picker = nullptr;
        answerModal([&](QWidget* modal) {
            request = prg.DirectoryRequest;
            picker = modal;
            QTest::mouseClick(modal->findChild<QPushButton*>(u"cmd_Abbrechen"_s), Qt::LeftButton);
        });
        click(QString::fromUtf8(row.button));
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(request, row.request);
        EXPECT_EQ(picker->objectName(), u"frm_Directory"_s);
        EXPECT_FALSE(picker->isVisible());
        if (!firstPicker)
            firstPicker = picker;
        EXPECT_EQ(picker, firstPicker);
    }
}

TEST_F(Dialog, directoryFieldsShowTheChosenDirectoriesAndTakeNoTyping) {
    const QString source = prg.SourceDir;
    for (const QString& name : {u"txt_Quellverzeichnis"_s, u"txt_Zielverzeichnis"_s}) {
        SCOPED_TRACE(name.toStdString());
        auto* field = control<QLineEdit>(name);
        EXPECT_TRUE(field->isReadOnly());
        // As the picker's "OK" fills it.
        dialog.setText(name, u"/chosen/"_s);
        QTest::keyClicks(field, u"typed"_s);
        EXPECT_EQ(field->text(), u"/chosen/"_s);
    }
    EXPECT_EQ(prg.SourceDir, source);
}

TEST_F(Dialog, logEditedByHandIsReadBackExactly) {
    dialog.setText(u"txt_Filename"_s, u"a\r\nc\r\n"_s);
    auto* log = control<LogField>(u"txt_Filename"_s);
    QTest::keyClick(log, Qt::Key_Down);
    QTest::keyClicks(log, u"b"_s);
    QTest::keyClick(log, Qt::Key_Return);
    EXPECT_EQ(dialog.fieldText(u"txt_Filename"_s), u"a\r\nb\r\nc\r\n"_s);
}

TEST_F(Dialog, logFieldShowsWhatIsAppendedAfterANewTextAndAfterEditsByHand) {
    auto* log = control<LogField>(u"txt_Filename"_s);
    const auto typeAtEnd = [log](const QString& text) {
        QTest::keyClick(log, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(log, text);
    };
    const struct {
        const char* name;
        std::function<void()> change;
        QString logText;
    } steps[] = {
        {"a new text replaces the log", [&] { dialog.setText(u"txt_Filename"_s, u"a\r\n"_s); },
         u"a\r\n"_s},
        {"appended lines follow it",
         [&] {
             dialog.appendText(u"txt_Filename"_s, u"b\r\n"_s);
             dialog.appendText(u"txt_Filename"_s, u"c\r\n"_s);
         },
         u"a\r\nb\r\nc\r\n"_s},
        {"an edit by hand is kept", [&] { typeAtEnd(u"x"_s); }, u"a\r\nb\r\nc\r\nx"_s},
        {"appending goes on behind the edit",
         [&] { dialog.appendText(u"txt_Filename"_s, u"d\r\n"_s); }, u"a\r\nb\r\nc\r\nxd\r\n"_s},
        {"an empty text clears it", [&] { dialog.setText(u"txt_Filename"_s, QString()); },
         QString()},
        {"appending starts afresh", [&] { dialog.appendText(u"txt_Filename"_s, u"e\r\n"_s); },
         u"e\r\n"_s},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.change();
        EXPECT_EQ(dialog.fieldText(u"txt_Filename"_s), step.logText);
        QApplication::processEvents();
        EXPECT_EQ(log->lineCount(), step.logText.count(u"\r\n"_s) + 1);
    }
}

} // namespace
