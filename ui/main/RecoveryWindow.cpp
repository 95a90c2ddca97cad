#include "ui/main/RecoveryWindow.h"

#include "ui/widgets/InputBlocker.h"
#include "ui/widgets/MessageBox.h"

#include <QCoreApplication>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 progressIntervalMs = 30;

} // namespace

RecoveryWindow::RecoveryWindow(QWidget& mainWindow, InputBlocker& inputBlocker)
    : mainWindow_(mainWindow), inputBlocker_(inputBlocker), caption_(mainWindow.windowTitle()) {}

RecoveryWindow::~RecoveryWindow() {
    mainWindow_.setWindowTitle(caption_);
}

QString RecoveryWindow::fieldText(const QString&) const {
    return {};
}

bool RecoveryWindow::isTicked(const QString&) const {
    return false;
}

void RecoveryWindow::setText(const QString&, const QString&) {}

void RecoveryWindow::appendText(const QString&, const QString&) {}

MessageAnswer RecoveryWindow::showMessage(const Message& message) {
    inputBlocker_.setBlocking(false);
    const MessageAnswer answer = showMessageBox(&mainWindow_, message);
    inputBlocker_.setBlocking(true);
    return answer;
}

void RecoveryWindow::showProgress(qsizetype done, qsizetype total) {
    if (sinceProgress_.isValid() && sinceProgress_.elapsed() < progressIntervalMs)
        return;
    sinceProgress_.start();
    mainWindow_.setWindowTitle(
        caption_ + (total == 0 ? u" – Verlauf wird gelesen …"_s
                               : u" – %1 von %2 Dateien zurück"_s.arg(done).arg(total)));
    QCoreApplication::processEvents();
}
