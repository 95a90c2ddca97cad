#pragma once

#include "core/run/RunWindow.h"

#include <QElapsedTimer>
#include <QString>

class InputBlocker;
class QWidget;

// The window of the question, at start, about runs a kill interrupted: the
// main window shows the question and the messages, and in its caption how
// far putting the files back is; input is blocked meanwhile. It has no
// fields and no log.
class RecoveryWindow final : public RunWindow {
public:
    RecoveryWindow(QWidget& mainWindow, InputBlocker& inputBlocker);
    ~RecoveryWindow() override;

    QString fieldText(const QString& control) const override;
    bool isTicked(const QString& control) const override;
    void setText(const QString& control, const QString& text) override;
    void appendText(const QString& control, const QString& text) override;
    MessageAnswer showMessage(const Message& message) override;
    void showProgress(qsizetype done, qsizetype total) override;

private:
    QWidget& mainWindow_;
    InputBlocker& inputBlocker_;
    const QString caption_;
    QElapsedTimer sinceProgress_;
};
