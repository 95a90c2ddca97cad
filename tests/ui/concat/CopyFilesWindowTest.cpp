#include "core/concat/HelpText.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/TempTree.h"
#include "tests/support/WidgetLookup.h"
#include "ui/concat/frm_CopyFiles.h"
#include "ui/main/frm_Main.h"
#include "ui/widgets/Twips.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct ControlRow {
    const char16_t* name;
    const char* kind;
    const char16_t* parent;
    const char16_t* caption;
    QRect twips;
};

TEST(CopyFilesWindow, HasEveryControlWithItsKindCaptionAndPlace) {
    frm_CopyFiles window;
    EXPECT_EQ(window.objectName(), u"frm_CopyFiles"_s);
    EXPECT_EQ(window.windowTitle(), u"Mehrere Dateien aneinanderkopieren"_s);
    EXPECT_EQ(window.size(), QSize(twipsToPixels(7050), twipsToPixels(7275)));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_NE(window.minimumSize(), window.maximumSize());

    const ControlRow rows[] = {
        {u"Frame1", "QGroupBox", u"frm_CopyFiles", u"Input", {240, 120, 4095, 3615}},
        {u"Label1", "QLabel", u"Frame1", u"Datei1", {120, 240, 1575, 255}},
        {u"txt_Datei1", "QLineEdit", u"Frame1", u"", {120, 480, 3015, 350}},
        {u"cmd_VerzEinlesen1", "QPushButton", u"Frame1", u"", {3240, 480, 255, 255}},
        {u"Label2", "QLabel", u"Frame1", u"Datei2", {120, 960, 1335, 255}},
        {u"txt_Datei2", "QLineEdit", u"Frame1", u"Automatisch", {120, 1200, 3015, 350}},
        {u"cmd_VerzEinlesen2", "QPushButton", u"Frame1", u"", {3240, 1200, 255, 255}},
        {u"Label3", "QLabel", u"Frame1", u"Datei 3", {120, 1680, 1815, 255}},
        {u"txt_Datei3", "QLineEdit", u"Frame1", u"Automatisch", {120, 1920, 3015, 350}},
        {u"cmd_VerzEinlesen3", "QPushButton", u"Frame1", u"", {3240, 1920, 255, 255}},
        {u"Label4", "QLabel", u"Frame1", u"Datei 4", {120, 2400, 1455, 255}},
        {u"txt_Datei4", "QLineEdit", u"Frame1", u"Automatisch", {120, 2640, 3015, 350}},
        {u"cmd_VerzEinlesen4", "QPushButton", u"Frame1", u"", {3240, 2640, 255, 255}},
        {u"Label9", "QLabel", u"Frame1", u"Automatikmodus:", {120, 3120, 1455, 255}},
        {u"Option3", "QRadioButton", u"Frame1", u"ja", {1800, 3120, 615, 255}},
        {u"Option4", "QRadioButton", u"Frame1", u"nein", {2640, 3120, 735, 255}},
        {u"Frame2", "QGroupBox", u"frm_CopyFiles", u"Output", {240, 3960, 4095, 2775}},
        {u"Label5", "QLabel", u"Frame2", u"Hauptverzeichnis:", {120, 240, 2055, 255}},
        {u"txt_MainDir", "QLineEdit", u"Frame2", u"", {120, 480, 3015, 350}},
        {u"Label6", "QLabel", u"Frame2", u"Ausgabeverzeichnis", {120, 960, 2655, 255}},
        {u"txt_OutputDir", "QLineEdit", u"Frame2", u"", {120, 1200, 3015, 350}},
        {u"Label7", "QLabel", u"Frame2", u"Verschiebeverzeichnis", {120, 1680, 1935, 255}},
        {u"txt_MoveDir", "QLineEdit", u"Frame2", u"", {120, 1920, 3015, 350}},
        {u"Label8", "QLabel", u"Frame2", u"Einzeln bestätigen:", {120, 2400, 1455, 255}},
        {u"Option1", "QRadioButton", u"Frame2", u"ja", {1800, 2400, 495, 255}},
        {u"Option2", "QRadioButton", u"Frame2", u"nein", {2400, 2400, 615, 255}},
        {u"cmd_Start", "QPushButton", u"frm_CopyFiles", u"Start", {4800, 240, 1695, 615}},
        {u"cmd_Abbrechen", "QPushButton", u"frm_CopyFiles", u"Abbrechen", {4800, 1200, 1695, 615}},
        {u"cmd_Hilfe", "QPushButton", u"frm_CopyFiles", u"Hilfe", {4800, 2160, 1695, 615}},
        {u"txt_Progress", "QPlainTextEdit", u"frm_CopyFiles", u"", {4800, 4080, 1815, 975}},
    };
    for (const ControlRow& row : rows) {
        const QString name = QString::fromUtf16(row.name);
        SCOPED_TRACE(name.toStdString());
        auto* widget = window.findChild<QWidget*>(name);
        ASSERT_NE(widget, nullptr);
        EXPECT_STREQ(widget->metaObject()->className(), row.kind);
        EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromUtf16(row.parent));
        EXPECT_EQ(widget->geometry(),
                  twipsRect(row.twips.x(), row.twips.y(), row.twips.width(), row.twips.height()));
        QString caption;
        if (auto* box = qobject_cast<QGroupBox*>(widget))
            caption = box->title();
        else if (auto* label = qobject_cast<QLabel*>(widget))
            caption = label->text();
        else if (auto* field = qobject_cast<QLineEdit*>(widget))
            caption = field->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            caption = button->text();
        else if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
            caption = text->toPlainText();
        EXPECT_EQ(caption, QString::fromUtf16(row.caption));
    }
    EXPECT_TRUE(control<QRadioButton>(window, u"Option3"_s)->isChecked());
    EXPECT_TRUE(control<QRadioButton>(window, u"Option2"_s)->isChecked());
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        // The file dialog's own buttons belong to its window.
        if (button->window() == &window) {
            EXPECT_FALSE(button->autoDefault() || button->isDefault());
        }
    }
}

TEST(CopyFilesWindow, TabOrderFollowsTheTabIndices) {
    frm_CopyFiles window;
    const QStringList expected = {u"txt_Datei1"_s,
                                  u"txt_Datei2"_s,
                                  u"txt_Datei3"_s,
                                  u"txt_Datei4"_s,
                                  u"txt_MainDir"_s,
                                  u"txt_OutputDir"_s,
                                  u"txt_MoveDir"_s,
                                  u"cmd_VerzEinlesen1"_s,
                                  u"cmd_VerzEinlesen2"_s,
                                  u"cmd_VerzEinlesen3"_s,
                                  u"cmd_VerzEinlesen4"_s,
                                  u"cmd_Start"_s,
                                  u"cmd_Abbrechen"_s,
                                  u"cmd_Hilfe"_s,
                                  u"txt_Progress"_s,
                                  u"Option1"_s,
                                  u"Option2"_s,
                                  u"Option3"_s,
                                  u"Option4"_s};
    QStringList chain;
    QWidget* widget = control<QWidget>(window, expected.first());
    while (chain.size() < expected.size()) {
        if (expected.contains(widget->objectName()))
            chain.append(widget->objectName());
        widget = widget->nextInFocusChain();
    }
    EXPECT_EQ(chain, expected);
}

TEST(CopyFilesWindow, Colours) {
    frm_CopyFiles window;
    const QPalette palette = window.palette();
    const QColor grey = palette.color(QPalette::Button);
    for (const QString& name : {u"txt_Datei2"_s, u"txt_Datei3"_s, u"txt_Datei4"_s, u"txt_MainDir"_s,
                                u"txt_OutputDir"_s, u"txt_MoveDir"_s})
        EXPECT_EQ(control<QLineEdit>(window, name)->palette().color(QPalette::Base), grey)
            << name.toStdString();
    EXPECT_EQ(control<QLineEdit>(window, u"txt_Datei1"_s)->palette().color(QPalette::Base),
              palette.color(QPalette::Base));

    auto* progress = control<QPlainTextEdit>(window, u"txt_Progress"_s);
    EXPECT_EQ(progress->palette().color(QPalette::Base), grey);
    EXPECT_EQ(progress->palette().color(QPalette::Text),
              palette.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(progress->lineWrapMode(), QPlainTextEdit::WidgetWidth);

    click(window, u"Option4"_s);
    EXPECT_EQ(control<QLineEdit>(window, u"txt_Datei3"_s)->text(), QString());
    EXPECT_EQ(control<QLineEdit>(window, u"txt_Datei3"_s)->palette().color(QPalette::Base),
              palette.color(QPalette::Base));
    click(window, u"Option3"_s);
    EXPECT_EQ(control<QLineEdit>(window, u"txt_Datei3"_s)->text(), u"Automatisch"_s);
}

// Debian has no Verdana, and the fallback once took the dialog font's 8.25
// point along with its face.
TEST(CopyFilesWindow, ProgressIsNinePointBoldInWhateverFaceItGets) {
    frm_CopyFiles window;
    const QFont font = control<QPlainTextEdit>(window, u"txt_Progress"_s)->font();
    EXPECT_EQ(font.families().value(0), u"Verdana"_s);
    const QFontInfo shown(font);
    EXPECT_DOUBLE_EQ(shown.pointSizeF(), 9.0) << shown.family().toStdString();
    EXPECT_TRUE(shown.bold()) << shown.family().toStdString();
    if (shown.family() != u"Verdana"_s) {
        EXPECT_EQ(shown.family(), QFontInfo(window.font()).family());
    }
}

class CopyFilesRun : public testing::Test {
protected:
    CopyFilesRun() {
        tree.dir(u"MP3"_s);
        tree.dir(u"MP3/Album"_s);
        for (const char* name : {"01.mp3", "02.mp3", "03.mp3"})
            tree.writeFile(u"MP3/Album/"_s + QString::fromUtf8(name), name);
        window.show();
    }

    // Chooses a file through the real file dialog, answered from a timer.
    void chooseThroughDialog(int slot, const QString& path) {
        answerModal([path](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->objectName(), u"CommonDialog1"_s);
            // Typed as a user would: selectFile() leaves a focused name field alone.
            auto* name = dialog->findChild<QLineEdit*>(u"fileNameEdit"_s);
            ASSERT_NE(name, nullptr);
            name->setText(path);
            // QFileDialog::accept is protected; it checks the chosen file.
            static_cast<QDialog*>(dialog)->accept();
        });
        click(window, u"cmd_VerzEinlesen"_s + QString::number(slot));
    }

    QString text(const QString& name) { return window.fieldText(name); }

    TempTree tree;
    frm_CopyFiles window;
};

TEST_F(CopyFilesRun, FileDialogChoosesSlotOneAndSetsUpTheWorkDirectories) {
    chooseThroughDialog(1, tree.root() + u"MP3/Album/02.mp3"_s);

    EXPECT_EQ(text(u"txt_Datei1"_s), u"02.mp3"_s);
    EXPECT_EQ(text(u"txt_Datei2"_s), u"Automatisch"_s);
    EXPECT_TRUE(tree.exists(u"MP3/Out"_s));
    EXPECT_TRUE(tree.exists(u"MP3/Move"_s));
    const QString outputDir = tree.root() + u"MP3/Out/"_s;
    EXPECT_EQ(text(u"txt_OutputDir"_s), u"..."_s + outputDir.right(35));
}

TEST_F(CopyFilesRun, StartJoinsAndReportsThroughRealMessageBoxes) {
    chooseThroughDialog(1, tree.root() + u"MP3/Album/01.mp3"_s);
    SeenMessageBox report;
    answerMessageBox(report);

    click(window, u"cmd_Start"_s);

    EXPECT_EQ(report.text, u"Erledigt!\nAlle Dateien zusammengefasst.\n\n"_s);
    EXPECT_EQ(report.title, u"Tessavo"_s);
    EXPECT_EQ(report.icon, QMessageBox::Information);
    EXPECT_EQ(tree.readFile(u"MP3/Out/01_02_03.mp3"_s), "01.mp302.mp303.mp3");
    EXPECT_EQ(tree.entries(u"MP3/Album"_s), QStringList());
    EXPECT_EQ(text(u"txt_Progress"_s), QString());
    EXPECT_EQ(text(u"txt_Datei1"_s), u"01.mp3"_s);
}

TEST_F(CopyFilesRun, AbbrechenDuringThePauseCancelsAndHidesWhileStartIsRefused) {
    chooseThroughDialog(1, tree.root() + u"MP3/Album/01.mp3"_s);
    bool startRefused = false;
    QTimer::singleShot(300, &window, [this, &startRefused] {
        EXPECT_EQ(text(u"txt_Progress"_s), u"Bearbeitung läuft!  Durchlauf Nr. 1"_s);
        startRefused = !control<QPushButton>(window, u"cmd_Start"_s)->isEnabled() &&
                       !control<QPushButton>(window, u"cmd_VerzEinlesen1"_s)->isEnabled();
        click(window, u"cmd_Abbrechen"_s);
    });

    click(window, u"cmd_Start"_s);

    EXPECT_TRUE(startRefused);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.isCancelled());
    EXPECT_EQ(tree.entries(u"MP3/Album"_s).size(), 3);
    EXPECT_EQ(tree.entries(u"MP3/Out"_s), QStringList());
    EXPECT_TRUE(control<QPushButton>(window, u"cmd_Start"_s)->isEnabled());
}

TEST_F(CopyFilesRun, ClosingTheWindowDuringThePauseCancelsTheRun) {
    chooseThroughDialog(1, tree.root() + u"MP3/Album/01.mp3"_s);
    QTimer::singleShot(300, &window, [this] { window.close(); });

    click(window, u"cmd_Start"_s);

    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(tree.entries(u"MP3/Album"_s).size(), 3);
    EXPECT_EQ(tree.entries(u"MP3/Out"_s), QStringList());
}

TEST_F(CopyFilesRun, PauseHandlesClicksAndReturnsAfterItsTime) {
    QTimer::singleShot(100, &window, [this] { click(window, u"cmd_Abbrechen"_s); });
    QElapsedTimer clock;
    clock.start();

    window.Pause(1);

    EXPECT_GE(clock.elapsed(), 1000);
    EXPECT_TRUE(window.isCancelled());
}

TEST_F(CopyFilesRun, HilfeShowsTheHelpText) {
    SeenMessageBox help;
    answerMessageBox(help);

    click(window, u"cmd_Hilfe"_s);

    EXPECT_EQ(help.title, u"Information"_s);
    EXPECT_EQ(help.icon, QMessageBox::NoIcon);
    const QString& shown = help.text;
    EXPECT_EQ(shown.toUtf8(), helpMessage().text.toUtf8());
    EXPECT_TRUE(shown.contains(u"wird.\n\r\n\rIm Automatikmodus"_s));
}

TEST(CopyFilesFromMainWindow, OpensModallyAndKeepsItsStateWhenHidden) {
    frm_Main main;
    main.show();
    frm_CopyFiles* first = nullptr;
    answerModal(
        [&first](QWidget* modal) {
            first = qobject_cast<frm_CopyFiles*>(modal);
            ASSERT_NE(first, nullptr);
            control<QLineEdit>(*first, u"txt_Datei1"_s)->setText(u"bleibt"_s);
            click(*first, u"cmd_Abbrechen"_s);
        },
        &main);
    click(main, u"cmd_CopyFiles"_s);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->isVisible());

    QString kept;
    answerModal(
        [&kept, first](QWidget* modal) {
            EXPECT_EQ(modal, first);
            kept = control<QLineEdit>(*modal, u"txt_Datei1"_s)->text();
            click(*modal, u"cmd_Abbrechen"_s);
        },
        &main);
    click(main, u"cmd_CopyFiles"_s);
    EXPECT_EQ(kept, u"bleibt"_s);
    EXPECT_EQ(main.findChildren<frm_CopyFiles*>().size(), 1);
}

} // namespace
