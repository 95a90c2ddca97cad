#include "ui/widgets/MessageBox.h"

#include <QMessageBox>

using namespace Qt::StringLiterals;

MessageAnswer showMessageBox(QWidget* parent, const Message& message) {
    QMessageBox box(parent);
    box.setWindowTitle(message.title.isEmpty() ? u"Tessavo"_s : message.title);
    box.setText(message.text);
    box.setInformativeText(message.informativeText);
    switch (message.icon) {
    case MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    if (message.buttons == MessageButtons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}
