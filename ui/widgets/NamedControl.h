#pragma once

#include <QString>
#include <QWidget>

// The control a window's layout promises under this object name; a missing
// one is a programming error, not a user's.
template <typename Control> Control& namedControl(QWidget& window, const QString& name) {
    auto* found = window.findChild<Control*>(name);
    if (!found)
        qFatal("%s has no control %s", qPrintable(window.objectName()), qPrintable(name));
    return *found;
}
