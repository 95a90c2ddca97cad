#include "tests/support/ModalAnswer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <gtest/gtest.h>

void answerModal(std::function<void(QWidget*)> answer, QWidget* below) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    // A safety net so a missing window fails the test instead of hanging it.
    const QDeadlineTimer giveUp(10000);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer, below, giveUp] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != below && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        } else if (giveUp.hasExpired()) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window appeared";
        }
    });
    timer->start();
}

void answerMessageBox(SeenMessageBox& seen, QMessageBox::StandardButton button) {
    answerModal([&seen, button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr) << "the modal window is no message box";
        seen = {box->text(), box->informativeText(), box->windowTitle(), box->icon(),
                box->standardButtons()};
        QAbstractButton* answer = box->button(button);
        ASSERT_NE(answer, nullptr) << "the message box lacks the button to answer with";
        answer->click();
    });
}
