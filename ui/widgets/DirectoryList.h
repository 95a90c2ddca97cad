#pragma once

#include "core/fs/FsResult.h"

#include <QTreeWidget>

// The directory list: the ancestors of its current directory, each indented
// below the one before, and the current directory's sub-directories. A
// single click only highlights an entry; a double click or Enter opens it.
// Paths carry no closing separator, except the root.
class DirectoryList final : public QTreeWidget {
    Q_OBJECT
    Q_PROPERTY(QString path READ path WRITE setPath NOTIFY pathChanged)

public:
    // Starts at the process's working directory.
    explicit DirectoryList(QWidget* parent = nullptr);

    QString path() const { return path_; }

    // Shows the directory or, when it cannot be read (it vanished, say), its
    // nearest readable ancestor.
    void setPath(const QString& path);

    // Shows exactly this directory; when it cannot be read, the list stays
    // as it was and the failure is returned.
    FsStatus changeDirectory(const QString& path);

signals:
    void pathChanged(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Entries cannot be collapsed, so they show no expand marks.
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}

private:
    void display(const QString& path, const QStringList& subDirectories);
    void openItem(const QTreeWidgetItem* item);

    QString path_;
};
