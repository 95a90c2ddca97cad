#include "ui/widgets/InputBlocker.h"

#include <QCoreApplication>
#include <QEvent>

InputBlocker::InputBlocker() {
    QCoreApplication::instance()->installEventFilter(this);
}

InputBlocker::~InputBlocker() {
    blocking_ = true;
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(this);
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    if (blocking_ && event->isInputEvent())
        return true;
    return QObject::eventFilter(watched, event);
}
