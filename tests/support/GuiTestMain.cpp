#include "tests/support/StateHome.h"

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

// GUI tests need a QApplication; they run headless unless told otherwise.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    const TemporaryStateHome stateHome;
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
