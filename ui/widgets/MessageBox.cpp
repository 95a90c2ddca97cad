#include "ui/widgets/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>

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
    switch (message.buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case MessageButtons::UndoKeep: {
        QPushButton* undo = box.addButton(u"Rückgängig machen"_s, QMessageBox::AcceptRole);
        undo->setObjectName(u"cmd_RueckgaengigMachen"_s);
        QPushButton* keep = box.addButton(u"Behalten"_s, QMessageBox::RejectRole);
        keep->setObjectName(u"cmd_Behalten"_s);
        box.setDefaultButton(undo);
        // Closing the box keeps the files as they are, as "Behalten" does.
        box.setEscapeButton(keep);
        box.exec();
        return box.clickedButton() == undo ? MessageAnswer::Undo : MessageAnswer::Keep;
    }
    }
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}
