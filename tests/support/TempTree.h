#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "tests/support/QtPrinters.h"

// A temporary directory for one test: creates files with given names and
// bytes, and tells what a directory holds afterwards. Names are text and go
// through the lossless name codec, so undecodable bytes can be used too.
class TempTree {
public:
    TempTree();
    // A tree inside `parentDirectory`, e.g. on a file system a test mounted;
    // an empty one means the temporary directory.
    explicit TempTree(const QString& parentDirectory);
    ~TempTree();

    // The root as a directory string, ending with '/'.
    QString root() const;
    // A directory string for a sub-directory (created when missing).
    QString dir(const QString& relative) const;

    void writeFile(const QString& relativePath, const QByteArray& bytes = {}) const;
    QByteArray readFile(const QString& relativePath) const;
    bool exists(const QString& relativePath) const;
    void makeDir(const QString& relativePath) const;
    void makeSymlink(const QString& target, const QString& relativeLink) const;

    // Every entry name of a directory (files, directories, links, hidden
    // ones too, FUSE's own passing ".fuse_hidden…" aside), sorted by their bytes.
    QStringList entries(const QString& relativeDir = {}) const;
    // The same for any directory.
    static QStringList entriesOf(const QString& directory);

private:
    QByteArray path(const QString& relative) const;

    QTemporaryDir dir_;
};
