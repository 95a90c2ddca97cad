#include "ui/id3/Id3Setup.h"

#include "core/fs/LocalFileSystem.h"
#include "core/rename/MainPrg.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/TempTree.h"
#include "tests/support/WidgetLookup.h"
#include "ui/rename/frm_ChangeFilename.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

QString caption(const QObject& dialog, const QString& label) {
    return control<QLabel>(dialog, label)->text();
}

// A file of `size` bytes whose last 128 bytes begin with `tag`.
QByteArray fileWithTrailer(qsizetype size, const QByteArray& tag = "TAG") {
    QByteArray bytes(size, 'x');
    if (size >= 128)
        bytes.replace(size - 128, tag.size(), tag);
    return bytes;
}

struct ShownBox {
    QString text;
    QString title;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
};

// Does `action` and confirms, recording them, the message boxes shown meanwhile.
QList<ShownBox> answeringBoxes(const std::function<void()>& action) {
    QList<ShownBox> shown;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, &timer, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        shown.append({box->text(), box->windowTitle(), box->icon(), box->standardButtons()});
        box->button(QMessageBox::Ok)->click();
    });
    timer.start();
    action();
    return shown;
}

class Id3Setup : public testing::Test {
protected:
    Id3Setup() : prg(fileSystem), dialog(prg) {}

    // Opens the dialog for the ID3 check, does `inside` while it is shown and
    // puts it away with `leave`.
    void openDialog(const std::function<void()>& inside, const std::function<void()>& leave = {}) {
        bool answered = false;
        answerModal([&](QWidget* modal) {
            EXPECT_EQ(modal, &dialog);
            if (inside)
                inside();
            answered = true;
            if (leave)
                leave();
            else
                click(dialog, u"cmd_Ende"_s);
        });
        showReadID3Dialog(dialog, prg);
        EXPECT_TRUE(answered);
        EXPECT_FALSE(dialog.isVisible());
    }

    void chooseSourceDirectory(QString directory) {
        directory.chop(1);
        answerModal(
            [directory](QWidget* picker) {
                control(*picker, u"lstVerzeichnisbox"_s)->setProperty("path", directory);
                click(*picker, u"cmd_OK"_s);
            },
            &dialog);
        click(dialog, u"cmd_Quellverzeichnis"_s);
    }

    QString log() const { return dialog.fieldText(u"txt_Filename"_s); }

    LocalFileSystem fileSystem;
    MainPrg prg;
    frm_ChangeFilename dialog;
};

TEST_F(Id3Setup, asksOnlyForTheMp3DirectoryWhileShown) {
    control<QLineEdit>(dialog, u"txt_Suchstring"_s)->resize(2655 / 15, 285 / 15);
    const QRect searchGeometry = control(dialog, u"txt_Suchstring"_s)->geometry();

    openDialog([&] {
        EXPECT_EQ(prg.CurrentOperation, u"ReadID3"_s);
        EXPECT_EQ(dialog.windowTitle(), u"ID3-Informationen aus MP3 auslesen"_s);
        const struct {
            const char* label;
            QString caption;
        } labels[] = {{"Label1", QString()},
                      {"Label2", u"MP3-Verzeichnis"_s},
                      {"Label3", QString()},
                      {"Label4", u"Dateinamen"_s},
                      {"Label7", u"MoveBack"_s}};
        for (const auto& row : labels)
            EXPECT_EQ(caption(dialog, QString::fromLatin1(row.label)), row.caption) << row.label;

        const struct {
            const char* name;
            bool shown;
        } controls[] = {
            {"txt_Suchstring", false},
            {"txt_Zielverzeichnis", false},
            {"cmd_Zielverzeichnis", false},
            {"Label5", false},
            {"txt_Step", false},
            {"Label6", false},
            {"chk_Leerz", false},
            {"cmd_Vorschau", false},
            {"txt_Quellverzeichnis", true},
            {"cmd_Quellverzeichnis", true},
            {"chk_MoveBack", true},
            {"Label7", true},
            {"txt_Filename", true},
            {"cmd_Start", true},
            {"cmd_Ende", true},
        };
        for (const auto& row : controls)
            EXPECT_EQ(control(dialog, QString::fromLatin1(row.name))->isVisible(), row.shown)
                << row.name;
    });
    EXPECT_EQ(control(dialog, u"txt_Suchstring"_s)->geometry(), searchGeometry);
}

TEST_F(Id3Setup, isUndoneHoweverTheDialogIsPutAway) {
    const struct {
        const char* name;
        std::function<void(QWidget&)> leave;
    } ways[] = {
        {"Ende", [](QWidget& dialog) { click(dialog, u"cmd_Ende"_s); }},
        {"close button", [](QWidget& dialog) { dialog.close(); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        openDialog({}, [&] { way.leave(dialog); });
        for (const QString& name : {u"txt_Suchstring"_s, u"txt_Zielverzeichnis"_s,
                                    u"cmd_Zielverzeichnis"_s, u"cmd_Vorschau"_s})
            EXPECT_FALSE(control(dialog, name)->isHidden()) << name.toStdString();
        EXPECT_EQ(caption(dialog, u"Label2"_s), u"Quellverzeichnis"_s);
        EXPECT_EQ(caption(dialog, u"Label3"_s), u"Zielverzeichnis"_s);
        // Left for the next rename opening to set.
        EXPECT_TRUE(control(dialog, u"txt_Step"_s)->isHidden());
        EXPECT_EQ(caption(dialog, u"Label1"_s), QString());
    }
}

struct RunCase {
    const char* name;
    std::function<void(TempTree&)> files;
    QString log;
    QString message; // empty: none
};

const QList<RunCase> runCases = {
    {"emptyDirectoryClearsTheLogAndShowsNothing", [](TempTree&) {}, {}, {}},
    {"everyTaggedFileIsListedOnceAndTheRunEndsSilently",
     [](TempTree& tree) {
         tree.writeFile(u"src/1.mp3"_s, fileWithTrailer(4000));
         tree.writeFile(u"src/2.mp3"_s, fileWithTrailer(300));
         tree.writeFile(u"src/3.mp3"_s, fileWithTrailer(129));
     },
     u"1.mp3\r\n2.mp3\r\n3.mp3\r\n"_s,
     {}},
    {"fileOfExactly128BytesStartingWithTagIsTagged",
     [](TempTree& tree) { tree.writeFile(u"src/only.mp3"_s, fileWithTrailer(128)); },
     u"only.mp3\r\n"_s,
     {}},
    {"fileOf127BytesFailsWithTheModuleMessage",
     [](TempTree& tree) { tree.writeFile(u"src/short.mp3"_s, "TAG" + QByteArray(124, 'x')); },
     u"short.mp3\r\n"_s, u"Fehler im Modul ReadID3"_s},
    {"lowercaseTagIsNoTag",
     [](TempTree& tree) { tree.writeFile(u"src/lower.mp3"_s, fileWithTrailer(500, "tag")); },
     u"lower.mp3\r\n"_s, u"Kein MP3-File"_s},
    {"capitalisedTagIsNoTag",
     [](TempTree& tree) { tree.writeFile(u"src/mixed.mp3"_s, fileWithTrailer(500, "Tag")); },
     u"mixed.mp3\r\n"_s, u"Kein MP3-File"_s},
    {"untaggedFileInTheMiddleEndsTheListingThere",
     [](TempTree& tree) {
         tree.writeFile(u"src/1.mp3"_s, fileWithTrailer(400));
         tree.writeFile(u"src/2.txt"_s, QByteArray(400, 'y'));
         tree.writeFile(u"src/3.mp3"_s, fileWithTrailer(400));
     },
     u"1.mp3\r\n2.txt\r\n"_s, u"Kein MP3-File"_s},
    {"linkToATaggedFileIsReadThroughTheLink",
     [](TempTree& tree) {
         tree.makeDir(u"elsewhere"_s);
         tree.writeFile(u"elsewhere/real.mp3"_s, fileWithTrailer(256));
         tree.makeSymlink(tree.root() + u"elsewhere/real.mp3"_s, u"src/link.mp3"_s);
     },
     u"link.mp3\r\n"_s,
     {}},
};

TEST_F(Id3Setup, runStartedInTheDialogListsUpToTheFirstUntaggedFile) {
    for (const RunCase& row : runCases) {
        SCOPED_TRACE(row.name);
        TempTree files;
        const QString source = files.dir(u"src"_s);
        row.files(files);
        const QStringList before = files.entries(u"src"_s);
        QList<ShownBox> shown;
        openDialog([&] {
            chooseSourceDirectory(source);
            dialog.setText(u"txt_Filename"_s, u"from an earlier run\r\n"_s);
            // The rename fields have no say in the check.
            control<QLineEdit>(dialog, u"txt_Suchstring"_s)->setText(u"x"_s);
            control<QCheckBox>(dialog, u"chk_MoveBack"_s)->setChecked(true);
            shown = answeringBoxes([&] { click(dialog, u"cmd_Start"_s); });
            EXPECT_EQ(log(), row.log);
        });
        EXPECT_EQ(prg.SourceDir, source);
        EXPECT_EQ(log(), row.log);
        EXPECT_EQ(files.entries(u"src"_s), before);
        if (row.message.isEmpty()) {
            EXPECT_TRUE(shown.isEmpty());
            continue;
        }
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].text, row.message);
        EXPECT_EQ(shown[0].title, u"Tessavo"_s);
        EXPECT_EQ(shown[0].icon, QMessageBox::NoIcon);
        EXPECT_EQ(shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
}

} // namespace
