#include "ui/rename/frm_Directory.h"

#include "core/fs/LocalFileSystem.h"
#include "core/rename/MainPrg.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/TempTree.h"
#include "ui/widgets/DirectoryList.h"
#include "ui/widgets/DriveList.h"

#include <QDir>
#include <QFontInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

class Picker : public testing::Test {
protected:
    Picker() : prg(fileSystem), picker(prg, &sourceField, &targetField) {
        list = picker.findChild<DirectoryList*>(u"lstVerzeichnisbox"_s);
        drives = picker.findChild<DriveList*>(u"lstLaufwerksbox"_s);
        picker.show();
    }

    // The tree's root as a list path: no closing separator.
    QString at(const QString& relative = {}) const {
        return relative.isEmpty() ? tree.root().chopped(1) : tree.root() + relative;
    }

    void click(const QString& button) {
        QTest::mouseClick(picker.findChild<QPushButton*>(button), Qt::LeftButton);
    }

    TempTree tree;
    LocalFileSystem fileSystem;
    MainPrg prg;
    QLineEdit sourceField;
    QLineEdit targetField;
    frm_Directory picker;
    DirectoryList* list = nullptr;
    DriveList* drives = nullptr;
};

TEST_F(Picker, windowAndControlsHaveTheirCaptionPlacesFontsAndFocusOrder) {
    EXPECT_EQ(picker.windowTitle(), u"Verzeichnis auswählen"_s);
    EXPECT_EQ(picker.size(), QSize(392, 338));
    const struct {
        const char* name;
        QRect pixels;
    } rows[] = {
        {"lstVerzeichnisbox", {8, 0, 369, 216}},
        {"lstLaufwerksbox", {8, 248, 185, 21}},
        {"cmd_OK", {272, 248, 105, 25}},
        {"cmd_Abbrechen", {272, 280, 105, 25}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto* widget = picker.findChild<QWidget*>(QString::fromUtf8(row.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), row.pixels);
    }
    ASSERT_NE(list, nullptr);
    ASSERT_NE(drives, nullptr);
    for (const QString& button : {u"cmd_OK"_s, u"cmd_Abbrechen"_s}) {
        const auto* pushButton = picker.findChild<QPushButton*>(button);
        EXPECT_TRUE(pushButton->font().bold());
        EXPECT_DOUBLE_EQ(pushButton->font().pointSizeF(), 8.25);
    }
    EXPECT_EQ(picker.findChild<QPushButton*>(u"cmd_OK"_s)->text(), u"OK"_s);
    EXPECT_EQ(picker.findChild<QPushButton*>(u"cmd_Abbrechen"_s)->text(), u"Abbrechen"_s);

    QWidget* abbrechen = picker.findChild<QWidget*>(u"cmd_Abbrechen"_s);
    EXPECT_EQ(picker.focusWidget(), abbrechen);
    EXPECT_EQ(abbrechen->nextInFocusChain(), picker.findChild<QWidget*>(u"cmd_OK"_s));
    EXPECT_EQ(abbrechen->nextInFocusChain()->nextInFocusChain(), drives);
    EXPECT_EQ(drives->nextInFocusChain(), list);
}

TEST_F(Picker, firstOpeningShowsTheWorkingDirectory) {
    EXPECT_EQ(list->path(), QDir::currentPath());
    prg.DirectoryRequest = u"Quelle"_s;
    click(u"cmd_OK"_s);
    EXPECT_EQ(prg.SourceDir, QDir::currentPath() + u'/');
}

TEST_F(Picker, okStoresThePathWithOneSeparatorWhereTheRequestSays) {
    const struct {
        const char* name;
        QString request;
        QString path;
        QString source;
        QString target;
    } rows[] = {
        {"Quelle fills the source", u"Quelle"_s, at(u"a"_s), at(u"a"_s) + u'/', {}},
        {"Ziel fills the target", u"Ziel"_s, at(u"a"_s), {}, at(u"a"_s) + u'/'},
        {"the root gets a second separator", u"Quelle"_s, u"/"_s, u"//"_s, {}},
        {"requests compare case-sensitively", u"quelle"_s, at(u"a"_s), {}, {}},
        {"an empty request fills nothing", {}, at(u"a"_s), {}, {}},
    };
    tree.makeDir(u"a"_s);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        prg.SourceDir.clear();
        prg.TargetDir.clear();
        sourceField.clear();
        targetField.clear();
        prg.DirectoryRequest = row.request;
        picker.show();
        list->setProperty("path", row.path);
        click(u"cmd_OK"_s);
        EXPECT_EQ(prg.SourceDir, row.source);
        EXPECT_EQ(sourceField.text(), row.source);
        EXPECT_EQ(prg.TargetDir, row.target);
        EXPECT_EQ(targetField.text(), row.target);
        EXPECT_FALSE(picker.isVisible());
    }
}

TEST_F(Picker, abbrechenAndClosingStoreNothingAndTheNextOpeningStartsWhereTheUserLeft) {
    tree.makeDir(u"a"_s);
    tree.makeDir(u"b"_s);
    prg.DirectoryRequest = u"Quelle"_s;
    list->setPath(at(u"a"_s));
    click(u"cmd_OK"_s);

    for (const char* leave : {"cmd_Abbrechen", "close"}) {
        SCOPED_TRACE(leave);
        picker.show();
        list->setPath(at(u"b"_s));
        if (QByteArray(leave) == "close")
            picker.close();
        else
            click(QString::fromUtf8(leave));
        EXPECT_FALSE(picker.isVisible());
        EXPECT_EQ(prg.SourceDir, at(u"a"_s) + u'/');
        EXPECT_EQ(sourceField.text(), at(u"a"_s) + u'/');
        picker.show();
        EXPECT_EQ(list->path(), at(u"b"_s));
    }
}

TEST_F(Picker, reopeningAfterTheDirectoryVanishedShowsItsNearestAncestor) {
    tree.makeDir(u"a"_s);
    tree.makeDir(u"a/b"_s);
    tree.makeDir(u"a/b/c"_s);
    list->setPath(at(u"a/b/c"_s));
    click(u"cmd_Abbrechen"_s);
    ASSERT_EQ(::rmdir(QFile::encodeName(at(u"a/b/c"_s))), 0);
    ASSERT_EQ(::rmdir(QFile::encodeName(at(u"a/b"_s))), 0);
    picker.show();
    EXPECT_EQ(list->path(), at(u"a"_s));
}

TEST_F(Picker, unreadableDriveShowsTheDriveErrorAndLeavesTheListWhereItWas) {
    tree.makeDir(u"a"_s);
    drives->setDrives({{u"/"_s, {}}, {at(u"vanished"_s), {}}});
    list->setPath(at(u"a"_s));

    SeenMessageBox box;
    answerMessageBox(box);
    drives->setCurrentIndex(1);

    EXPECT_EQ(box.text, u"Fehler beim Laufwerkzugriff"_s);
    EXPECT_EQ(box.title, u"Fehler!"_s);
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    EXPECT_EQ(list->path(), at(u"a"_s));
    EXPECT_EQ(drives->currentIndex(), 1);
    EXPECT_TRUE(picker.isVisible());

    prg.DirectoryRequest = u"Ziel"_s;
    click(u"cmd_OK"_s);
    EXPECT_EQ(prg.TargetDir, at(u"a"_s) + u'/');
}

TEST_F(Picker, choosingAReadableDriveShowsItsRootAndTheDriveFollowsTheList) {
    tree.makeDir(u"mnt"_s);
    tree.makeDir(u"mnt/sub"_s);
    drives->setDrives({{u"/"_s, {}}, {at(u"mnt"_s), u"STICK"_s}});
    drives->setCurrentIndex(1);
    EXPECT_EQ(list->path(), at(u"mnt"_s));
    EXPECT_EQ(drives->currentText(), at(u"mnt"_s) + u" [STICK]"_s);

    list->setPath(at(u"mnt/sub"_s));
    EXPECT_EQ(drives->currentIndex(), 1);
    list->setPath(at());
    EXPECT_EQ(drives->currentIndex(), 0);
}

TEST_F(Picker, enterInTheDirectoryListOpensTheEntryAndKeepsThePickerOpen) {
    tree.makeDir(u"a"_s);
    list->setPath(at());
    list->setFocus();
    const QList<QTreeWidgetItem*> found = list->findItems(u"a"_s, Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    list->setCurrentItem(found.first());
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(list->path(), at(u"a"_s));
    EXPECT_TRUE(picker.isVisible());
}

} // namespace
