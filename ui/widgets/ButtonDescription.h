#pragma once

class QAbstractButton;
class QString;

// A button without a caption says what it does: as a tooltip to the mouse
// resting on it, and as its accessible name to a screen reader.
void describeButton(QAbstractButton& button, const QString& description);
