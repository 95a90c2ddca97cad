#pragma once

#include "core/run/RunWindow.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>

// A window for runs without a toolkit: fields and ticks are set by the test,
// texts and messages are recorded, and messages are answered by a policy.
class RecordingWindow final : public RunWindow {
public:
    QHash<QString, QString> fields;
    QHash<QString, bool> ticks;
    QList<Message> messages;
    qsizetype progressCalls = 0;
    // Answers each message; by default every message is confirmed with OK.
    std::function<MessageAnswer(const Message&)> answer = [](const Message&) {
        return MessageAnswer::Ok;
    };

    QString fieldText(const QString& control) const override { return fields.value(control); }
    bool isTicked(const QString& control) const override { return ticks.value(control); }
    void setText(const QString& control, const QString& text) override { fields[control] = text; }
    void appendText(const QString& control, const QString& text) override {
        fields[control] += text;
    }
    MessageAnswer showMessage(const Message& message) override {
        messages.append(message);
        return answer(message);
    }
    void showProgress(qsizetype, qsizetype) override { ++progressCalls; }

    QStringList messageTexts() const {
        QStringList texts;
        for (const Message& message : messages)
            texts.append(message.text);
        return texts;
    }
};
