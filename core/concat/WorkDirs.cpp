#include "core/concat/WorkDirs.h"

#include "core/concat/ConcatState.h"
#include "core/concat/ControlNames.h"
#include "core/concat/CopyFilesWindow.h"
#include "core/fs/FileNameRules.h"
#include "core/fs/FileSystem.h"
#include "core/text/CharText.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype shownLength = 35;

} // namespace

QString parentDirectory(const QString& directory) {
    // The last character is the directory's own separator.
    if (directory.size() < 2)
        return {};
    const qsizetype separator = directory.lastIndexOf(directorySeparator(), directory.size() - 2);
    return separator < 0 ? QString() : directory.left(separator + 1);
}

QString workDirDisplay(const QString& directory) {
    return u"..."_s + CharText(directory).right(shownLength);
}

void SetWorkDirs(ConcatState& state, CopyFilesWindow& window, FileSystem& fileSystem) {
    const QString mainDir = parentDirectory(state.InputDir[0]);
    if (mainDir.isEmpty())
        return;
    state.MainDir = mainDir;
    state.OutputDir = mainDir + u"Out"_s + directorySeparator();
    state.MoveDir = mainDir + u"Move"_s + directorySeparator();

    // An existing directory is what a second choice in the same place finds.
    static_cast<void>(fileSystem.createDirectory(state.OutputDir));
    static_cast<void>(fileSystem.createDirectory(state.MoveDir));

    window.setText(control::mainDir, workDirDisplay(state.MainDir));
    window.setText(control::outputDir, workDirDisplay(state.OutputDir));
    window.setText(control::moveDir, workDirDisplay(state.MoveDir));
}
