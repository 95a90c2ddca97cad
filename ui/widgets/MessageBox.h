#pragma once

#include "core/run/RunWindow.h"

class QWidget;

// Shows a message as a modal QMessageBox over `parent` and returns the
// button pressed. A message without a title shows the application's title.
MessageAnswer showMessageBox(QWidget* parent, const Message& message);
