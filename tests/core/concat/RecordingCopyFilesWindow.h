#pragma once

#include "core/concat/CopyFilesWindow.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <functional>

// The concatenation window without a toolkit: fields and options are set by
// the test; texts, colours, messages and pauses are recorded.
class RecordingCopyFilesWindow final : public CopyFilesWindow {
public:
    QHash<QString, QString> fields;
    QHash<QString, bool> options;
    QHash<QString, FieldColour> colours;
    QStringList textLog; // "control=text" for every setText, in order
    QList<Message> messages;
    QStringList dialogPaths; // answers of the open dialog, taken from the front
    int dialogCalls = 0;
    QList<int> pauses;
    bool cancelled = false;
    std::function<MessageAnswer(const Message&)> answer = [](const Message&) {
        return MessageAnswer::Ok;
    };
    std::function<void()> duringPause;

    QString fieldText(const QString& control) const override { return fields.value(control); }
    bool isSelected(const QString& option) const override { return options.value(option); }
    void setText(const QString& control, const QString& text) override {
        fields[control] = text;
        textLog.append(control + u'=' + text);
    }
    void setFieldColour(const QString& control, FieldColour colour) override {
        colours[control] = colour;
        textLog.append(control + QStringLiteral(" colour"));
    }
    MessageAnswer showMessage(const Message& message) override {
        messages.append(message);
        return answer(message);
    }
    QString showOpenDialog() override {
        ++dialogCalls;
        return dialogPaths.isEmpty() ? QString() : dialogPaths.takeFirst();
    }
    void Pause(int Dauer) override {
        pauses.append(Dauer);
        if (duringPause)
            duringPause();
    }
    bool isCancelled() const override { return cancelled; }
    void setCancelled(bool value) override { cancelled = value; }

    QStringList messageTexts() const {
        QStringList texts;
        for (const Message& message : messages)
            texts.append(message.text);
        return texts;
    }
};
