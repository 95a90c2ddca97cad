#pragma once

#include <QMessageBox>
#include <QWidget>

#include <functional>

// Calls `answer` with the first modal window other than `below` (a window
// already modal beneath the expected one) as soon as it is shown. The check
// runs from a timer, so it works while a handler waits in exec().
void answerModal(std::function<void(QWidget*)> answer, QWidget* below = nullptr);

// What a message box showed; filled in as the box is answered.
struct SeenMessageBox {
    QString text;
    QString informativeText;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Reads the next modal window, which must be a message box, into `seen` and
// answers it with `button`; `seen` must live until then.
void answerMessageBox(SeenMessageBox& seen, QMessageBox::StandardButton button = QMessageBox::Ok);
