#include "ui/widgets/DirectoryList.h"

#include "core/fs/DirectoryListing.h"
#include "core/fs/FileNameRules.h"
#include "core/fs/NameCodec.h"

#include <QKeyEvent>
#include <QStyle>

#include <utility>

namespace {

constexpr int pathRole = Qt::UserRole;

QString rootPath() {
    return QString(directorySeparator());
}

bool isRoot(const QString& path) {
    return path == rootPath();
}

// Absolute, without repeated or closing separators.
QString normalizedPath(const QString& path) {
    const QChar separator = directorySeparator();
    QString absolute = path.startsWith(separator) ? path : currentDirectory() + separator + path;
    QString normalized;
    normalized.reserve(absolute.size());
    for (const QChar character : std::as_const(absolute)) {
        if (character != separator || !normalized.endsWith(separator))
            normalized.append(character);
    }
    if (normalized.size() > 1 && normalized.endsWith(separator))
        normalized.chop(1);
    return normalized.isEmpty() ? rootPath() : normalized;
}

QString parentOf(const QString& path) {
    const qsizetype separatorAt = path.lastIndexOf(directorySeparator());
    return separatorAt <= 0 ? rootPath() : path.left(separatorAt);
}

QString childOf(const QString& parent, const QString& name) {
    return isRoot(parent) ? parent + name : parent + directorySeparator() + name;
}

QString nameOf(const QString& path) {
    return isRoot(path) ? path : path.mid(path.lastIndexOf(directorySeparator()) + 1);
}

QStringList ancestorsAndSelf(const QString& path) {
    QStringList chain{path};
    while (!isRoot(chain.first()))
        chain.prepend(parentOf(chain.first()));
    return chain;
}

} // namespace

DirectoryList::DirectoryList(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(12);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Double clicks only: some styles would open entries on a single click.
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](const QTreeWidgetItem* item) { openItem(item); });
    setPath(currentDirectory());
}

void DirectoryList::setPath(const QString& path) {
    QString candidate = normalizedPath(path);
    for (;;) {
        FsResult<QStringList> listing = listDirectories(candidate);
        if (listing) {
            display(candidate, std::move(listing).value());
            return;
        }
        if (isRoot(candidate)) {
            display(candidate, {});
            return;
        }
        candidate = parentOf(candidate);
    }
}

FsStatus DirectoryList::changeDirectory(const QString& path) {
    const QString target = normalizedPath(path);
    FsResult<QStringList> listing = listDirectories(target);
    if (!listing)
        return FsStatus::failure(listing.error());
    display(target, std::move(listing).value());
    return FsStatus::success();
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
    // Enter opens the entry and must not reach the dialog's default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (currentItem())
            openItem(currentItem());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void DirectoryList::display(const QString& path, const QStringList& subDirectories) {
    clear();
    const QIcon openFolder = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedFolder = style()->standardIcon(QStyle::SP_DirClosedIcon);

    QTreeWidgetItem* parentItem = nullptr;
    for (const QString& ancestor : ancestorsAndSelf(path)) {
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
        item->setText(0, displayFileName(nameOf(ancestor)));
        item->setIcon(0, openFolder);
        item->setData(0, pathRole, ancestor);
        parentItem = item;
    }
    for (const QString& name : subDirectories) {
        auto* item = new QTreeWidgetItem(parentItem);
        item->setText(0, displayFileName(name));
        item->setIcon(0, closedFolder);
        item->setData(0, pathRole, childOf(path, name));
    }
    expandAll();
    setCurrentItem(parentItem);
    scrollToItem(parentItem);

    if (path != path_) {
        path_ = path;
        emit pathChanged(path_);
    }
}

void DirectoryList::openItem(const QTreeWidgetItem* item) {
    setPath(item->data(0, pathRole).toString());
}
