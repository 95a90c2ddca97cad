// Loaded into `tessavo` with LD_PRELOAD by the start job, so that the program
// itself needs no hook: reports the first exposure of the main window on the
// standard output and ends the program.

#include "bench/ShownReport.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

class ShownProbe final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!reported_ && event->type() == QEvent::Expose && watched->isWindowType() &&
            isExposedMainWindow(*static_cast<QWindow*>(watched))) {
            reported_ = true;
            if (::write(STDOUT_FILENO, shownReport, sizeof shownReport - 1) < 0)
                ::_exit(1);
            // Queued, so that it also ends an event loop that has not begun yet.
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                      Qt::QueuedConnection);
        }
        return false;
    }

private:
    static bool isExposedMainWindow(const QWindow& window) {
        if (!window.isExposed())
            return false;
        for (const QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == u"frm_Main"_s && widget->windowHandle() == &window)
                return true;
        return false;
    }

    bool reported_ = false;
};

void installShownProbe() {
    QCoreApplication* application = QCoreApplication::instance();
    application->installEventFilter(new ShownProbe(application));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installShownProbe)
