#pragma once

#include <QAbstractButton>
#include <QObject>
#include <QString>
#include <QTest>

#include <gtest/gtest.h>

// A window's control by object name; a missing one fails the test.
template <typename Control = QWidget> Control* control(const QObject& parent, const QString& name) {
    auto* found = parent.findChild<Control*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

inline void click(const QObject& parent, const QString& button) {
    QTest::mouseClick(control<QAbstractButton>(parent, button), Qt::LeftButton);
}
