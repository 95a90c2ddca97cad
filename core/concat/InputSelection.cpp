#include "core/concat/InputSelection.h"

#include "core/concat/ConcatState.h"
#include "core/concat/ControlNames.h"
#include "core/concat/CopyFilesWindow.h"
#include "core/concat/WorkDirs.h"
#include "core/fs/FileNameRules.h"
#include "core/text/CharText.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype extensionLength = 4;

} // namespace

InputSelection::InputSelection(ConcatState& state, CopyFilesWindow& window, FileSystem& fileSystem)
    : state_(state), window_(window), fileSystem_(fileSystem) {}

void InputSelection::chooseSlot(int slot) {
    // A run lists its slot directories once; changing them midway would
    // leave the window showing inputs that the run does not use.
    if (state_.running)
        return;
    // A cancelled dialog, or a path without a directory, leaves the slot as
    // it was, its field included: an emptied field over the slot's old
    // directory would have Start join files that the window does not show.
    const std::optional<QString> name = ChooseInputFile(slot);
    if (!name)
        return;
    window_.setText(control::datei(slot), *name);
    if (slot == 1) {
        ShowAutoMode();
        SetWorkDirs(state_, window_, fileSystem_);
    }
}

std::optional<QString> InputSelection::ChooseInputFile(int slot) {
    const QString path = window_.showOpenDialog();
    // The last character is never taken as the separator.
    if (path.size() < 2)
        return std::nullopt;
    const qsizetype separator = path.lastIndexOf(directorySeparator(), path.size() - 2);
    if (separator < 0)
        return std::nullopt;
    const qsizetype index = slot - 1;
    state_.InputPath[index] = path;
    state_.InputDir[index] = path.left(separator + 1);
    state_.InputName[index] = path.mid(separator + 1);
    state_.FileExt = CharText(state_.InputName[index]).right(extensionLength);
    return state_.InputName[index];
}

void InputSelection::ShowAutoMode() {
    const bool automatic = window_.isSelected(control::autoModeOption);
    for (int slot = 2; slot <= slotTotal; ++slot) {
        window_.setFieldColour(control::datei(slot),
                               automatic ? FieldColour::ButtonFace : FieldColour::WindowBackground);
        window_.setText(control::datei(slot), automatic ? u"Automatisch"_s : QString());
    }
}
