#include "ui/widgets/DirectoryList.h"

#include "core/fs/DirectoryListing.h"
#include "core/fs/NameCodec.h"
#include "tests/support/TempTree.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// QTemporaryDir cannot remove names that are not UTF-8.
void removeDirectory(const QString& path) {
    ASSERT_EQ(::rmdir(encodeFileName(path).constData()), 0);
}

class DirectoryTree : public testing::Test {
protected:
    QString at(const QString& relative = {}) const {
        return relative.isEmpty() ? tree.root().chopped(1) : tree.root() + relative;
    }

    TempTree tree;
};

TEST_F(DirectoryTree, listingHoldsVisibleDirectoriesAndLinksToThemInNaturalOrder) {
    for (const QString& name : {u"10"_s, u"2"_s, u"b"_s, u"A"_s, u".hidden"_s, u"ziel"_s})
        tree.makeDir(name);
    tree.writeFile(u"file.mp3"_s);
    tree.makeSymlink(at(u"ziel"_s), u"link"_s);
    tree.makeSymlink(at(u"file.mp3"_s), u"filelink"_s);
    tree.makeSymlink(at(u"missing"_s), u"broken"_s);

    const FsResult<QStringList> listing = listDirectories(at());
    ASSERT_TRUE(listing.isOk());
    EXPECT_EQ(listing.value(),
              (QStringList{u"2"_s, u"10"_s, u"A"_s, u"b"_s, u"link"_s, u"ziel"_s}));
    EXPECT_EQ(listDirectories(tree.root()).value(), listing.value());
}

TEST_F(DirectoryTree, listingKeepsNamesThatAreNotUtf8) {
    const QString latin1Name = decodeFileName(QByteArray("\xe4rger"));
    tree.makeDir(latin1Name);
    const FsResult<QStringList> listing = listDirectories(at());
    ASSERT_TRUE(listing.isOk());
    ASSERT_EQ(listing.value(), QStringList{latin1Name});
    EXPECT_EQ(encodeFileName(listing.value().first()), QByteArray("\xe4rger"));
    removeDirectory(at(latin1Name));
}

TEST_F(DirectoryTree, listingAMissingDirectoryFails) {
    const FsResult<QStringList> listing = listDirectories(at(u"missing"_s));
    ASSERT_FALSE(listing.isOk());
    EXPECT_EQ(listing.error().code, FsErrorCode::NotFound);
}

// The entries as "depth:text", top to bottom.
QStringList shownEntries(const QTreeWidget& list) {
    QStringList shown;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&list)); *it; ++it) {
        int depth = 0;
        for (const QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent())
            ++depth;
        shown.append(QString::number(depth) + u':' + (*it)->text(0));
    }
    return shown;
}

// A real double click: the first click, then the second one.
void doubleClick(QTreeWidget& list, const QTreeWidgetItem* item) {
    const QPoint centre = list.visualItemRect(item).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, centre);
}

QTreeWidgetItem* entry(const QTreeWidget& list, const QString& text) {
    const QList<QTreeWidgetItem*> found = list.findItems(text, Qt::MatchRecursive);
    EXPECT_EQ(found.size(), 1) << text.toStdString();
    return found.value(0);
}

TEST_F(DirectoryTree, listShowsTheAncestorsIndentedAndTheSubDirectories) {
    tree.makeDir(u"a"_s);
    tree.makeDir(u"a/x"_s);
    tree.makeDir(u"a/y"_s);
    DirectoryList list;
    list.setPath(at(u"a"_s));

    const QStringList shown = shownEntries(list);
    const qsizetype depth = at().count(u'/');
    ASSERT_EQ(shown.size(), depth + 4);
    EXPECT_EQ(shown.first(), u"0:/"_s);
    EXPECT_EQ(shown.mid(depth + 1), (QStringList{u"%1:a"_s.arg(depth + 1), u"%1:x"_s.arg(depth + 2),
                                                 u"%1:y"_s.arg(depth + 2)}));
    EXPECT_EQ(list.currentItem()->text(0), u"a"_s);
}

TEST_F(DirectoryTree, pathPropertyDropsTheClosingSeparatorExceptAtTheRoot) {
    tree.makeDir(u"a"_s);
    const struct {
        const char* name;
        QString given;
        QString path;
    } rows[] = {
        {"closing separator dropped", at(u"a/"_s), at(u"a"_s)},
        {"repeated separators collapse", tree.root() + u"/a"_s, at(u"a"_s)},
        {"root stays the separator", u"/"_s, u"/"_s},
        {"vanished path shows its nearest ancestor", at(u"a/gone/deeper"_s), at(u"a"_s)},
    };
    DirectoryList list;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(list.setProperty("path", row.given));
        EXPECT_EQ(list.property("path").toString(), row.path);
    }
}

TEST_F(DirectoryTree, changeDirectoryToAnUnreadablePathFailsAndChangesNothing) {
    DirectoryList list;
    list.setPath(at());
    QSignalSpy changes(&list, &DirectoryList::pathChanged);
    const FsStatus status = list.changeDirectory(at(u"missing"_s));
    ASSERT_FALSE(status.isOk());
    EXPECT_EQ(status.error().code, FsErrorCode::NotFound);
    EXPECT_EQ(list.path(), at());
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(DirectoryTree, singleClickOnlyHighlightsAndDoubleClickOpens) {
    tree.makeDir(u"sub"_s);
    DirectoryList list;
    list.resize(300, 400);
    list.setPath(at());
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    QSignalSpy changes(&list, &DirectoryList::pathChanged);

    QTreeWidgetItem* sub = entry(list, u"sub"_s);
    const QPoint centre = list.visualItemRect(sub).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(list.currentItem(), sub);
    EXPECT_EQ(list.path(), at());

    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(list.path(), at(u"sub"_s));
    EXPECT_EQ(changes.count(), 1);

    doubleClick(list, entry(list, u"/"_s));
    EXPECT_EQ(list.path(), u"/"_s);
}

TEST_F(DirectoryTree, openingAnEntryThatVanishedStaysInItsParent) {
    tree.makeDir(u"sub"_s);
    DirectoryList list;
    list.setPath(at());
    QTreeWidgetItem* sub = entry(list, u"sub"_s);
    ASSERT_EQ(::rmdir(QFile::encodeName(at(u"sub"_s))), 0);
    list.setCurrentItem(sub);
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(list.path(), at());
    EXPECT_TRUE(list.findItems(u"sub"_s, Qt::MatchRecursive).isEmpty());
}

TEST_F(DirectoryTree, undecodableNameIsShownWithAReplacementAndOpensLosslessly) {
    const QString latin1Name = decodeFileName(QByteArray("\xe4rger"));
    tree.makeDir(latin1Name);
    tree.makeDir(latin1Name + u"/inner"_s);
    DirectoryList list;
    list.setPath(at());
    QTreeWidgetItem* odd = entry(list, u"\ufffdrger"_s);
    list.setCurrentItem(odd);
    QTest::keyClick(&list, Qt::Key_Enter);
    EXPECT_EQ(list.path(), at(latin1Name));
    EXPECT_NE(entry(list, u"inner"_s), nullptr);
    removeDirectory(at(latin1Name + u"/inner"_s));
    removeDirectory(at(latin1Name));
}

} // namespace
