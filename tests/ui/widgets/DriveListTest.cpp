#include "ui/widgets/DriveList.h"

#include "tests/support/QtPrinters.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QStorageInfo>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(DriveList, mountedDrivesStartWithTheRootAndHoldOnlyDirectoriesOfRealVolumes) {
    const QList<DriveList::Drive> drives = DriveList::mountedDrives();
    ASSERT_FALSE(drives.isEmpty());
    EXPECT_EQ(drives.first().rootPath, u"/"_s);
    QStringList roots;
    for (const DriveList::Drive& drive : drives) {
        SCOPED_TRACE(drive.rootPath.toStdString());
        EXPECT_TRUE(QFileInfo(drive.rootPath).isDir());
        EXPECT_FALSE(roots.contains(drive.rootPath));
        roots.append(drive.rootPath);
        const QByteArray type = QStorageInfo(drive.rootPath).fileSystemType();
        for (const char* pseudo : {"proc", "sysfs", "devpts", "cgroup2", "mqueue"})
            EXPECT_NE(type, pseudo);
        EXPECT_FALSE(drive.rootPath.startsWith(u"/proc"_s) || drive.rootPath.startsWith(u"/sys"_s));
    }
}

TEST(DriveList, showDriveOfPicksTheLongestHoldingRootWithoutASignal) {
    DriveList list;
    list.setDrives({{u"/"_s, {}}, {u"/media/a"_s, {}}, {u"/media/ab"_s, u"Musik"_s}});
    QSignalSpy chosen(&list, &DriveList::driveChosen);
    const struct {
        const char* name;
        QString path;
        QString drive;
    } rows[] = {
        {"path below a mount", u"/media/ab/x"_s, u"/media/ab"_s},
        {"the mount itself", u"/media/a"_s, u"/media/a"_s},
        {"a name sharing a prefix is not below it", u"/media/abc"_s, u"/"_s},
        {"everything else is on the root", u"/home"_s, u"/"_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        list.showDriveOf(row.path);
        EXPECT_EQ(list.currentDrive(), row.drive);
    }
    EXPECT_EQ(chosen.count(), 0);
    EXPECT_EQ(list.itemText(2), u"/media/ab [Musik]"_s);
}

TEST(DriveList, choosingADriveEmitsItsRootAndNewDrivesKeepTheChoice) {
    DriveList list;
    list.setDrives({{u"/"_s, {}}, {u"/media/a"_s, {}}});
    QSignalSpy chosen(&list, &DriveList::driveChosen);
    list.setCurrentIndex(1);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.first().first().toString(), u"/media/a"_s);

    list.setDrives({{u"/"_s, {}}, {u"/boot"_s, {}}, {u"/media/a"_s, {}}});
    EXPECT_EQ(list.currentDrive(), u"/media/a"_s);
    EXPECT_EQ(chosen.count(), 1);
}

} // namespace
