#pragma once

#include "core/run/RunWindow.h"

#include <QString>

// The two background colours of the file fields.
enum class FieldColour { ButtonFace, WindowBackground };

// The few things the concatenation logic needs of its window. Controls are
// named by their object names ("txt_Datei2", "Option3", "txt_Progress", ...).
class CopyFilesWindow {
public:
    virtual ~CopyFilesWindow() = default;

    virtual QString fieldText(const QString& control) const = 0;
    virtual bool isSelected(const QString& option) const = 0;
    virtual void setText(const QString& control, const QString& text) = 0;
    virtual void setFieldColour(const QString& control, FieldColour colour) = 0;
    // Shows a modal message and returns the button pressed.
    virtual MessageAnswer showMessage(const Message& message) = 0;
    // Shows the open-file dialog; the chosen file's full path with native
    // separators, or an empty text when nothing was chosen.
    virtual QString showOpenDialog() = 0;
    // Returns after `Dauer` seconds, handling the user's input meanwhile.
    virtual void Pause(int Dauer) = 0;
    // Set by "Abbrechen" (or by closing the window during a run).
    virtual bool isCancelled() const = 0;
    virtual void setCancelled(bool cancelled) = 0;
};
