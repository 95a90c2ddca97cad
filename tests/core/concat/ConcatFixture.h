#pragma once

#include "core/concat/ConcatRun.h"
#include "core/concat/ConcatState.h"
#include "core/concat/InputSelection.h"
#include "core/fs/LocalFileJoiner.h"
#include "tests/core/concat/RecordingCopyFilesWindow.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

// The concatenation logic on real temporary directories below "MP3/", driven
// through a recording window.
class ConcatFixture : public testing::Test {
public:
    static QByteArray contentOf(const QString& name) { return name.toUtf8() + '|'; }

protected:
    // Writes a file below MP3/, making its directory when needed.
    void write(const QString& relativePath, const QByteArray& bytes = {}) {
        const qsizetype slash = relativePath.lastIndexOf(u'/');
        if (slash > 0)
            tree.dir(QStringLiteral("MP3/") + relativePath.left(slash));
        tree.writeFile(QStringLiteral("MP3/") + relativePath, bytes);
    }

    // The tree in `treeParent`; an empty one means the temporary directory.
    explicit ConcatFixture(const QString& treeParent = {})
        : tree(treeParent), selection(state, window, fileSystem),
          run(state, window, fileSystem, joiner) {
        tree.makeDir(QStringLiteral("MP3"));
        automatic(true);
    }

    void automatic(bool on) {
        window.options[QStringLiteral("Option3")] = on;
        selection.ShowAutoMode();
    }

    // Chooses `relativePath` below MP3/ for the slot, as the dialog would.
    void choose(int slot, const QString& relativePath) {
        window.dialogPaths.append(tree.root() + QStringLiteral("MP3/") + relativePath);
        selection.chooseSlot(slot);
    }

    // Writes files "<prefix>01.mp3" ... into MP3/<dir>, each holding its own name.
    QStringList files(const QString& dir, int count, const QString& prefix) {
        tree.dir(QStringLiteral("MP3/") + dir);
        QStringList names;
        for (int number = 1; number <= count; ++number) {
            const QString name =
                prefix + QString::number(number).rightJustified(2, u'0') + QStringLiteral(".mp3");
            tree.writeFile(QStringLiteral("MP3/") + dir + u'/' + name, contentOf(name));
            names.append(name);
        }
        return names;
    }

    QStringList entries(const QString& dir) const {
        return tree.entries(QStringLiteral("MP3/") + dir);
    }
    QByteArray read(const QString& path) const {
        return tree.readFile(QStringLiteral("MP3/") + path);
    }
    QString path(const QString& relative) const {
        return tree.root() + QStringLiteral("MP3/") + relative;
    }

    TempTree tree;
    FaultyFileSystem fileSystem;
    LocalFileJoiner joiner;
    ConcatState state;
    RecordingCopyFilesWindow window;
    InputSelection selection;
    ConcatRun run;
};
