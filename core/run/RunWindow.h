#pragma once

#include <QString>

#include <utility>

enum class MessageIcon { None, Information, Critical };
// UndoKeep: "Rückgängig machen" and "Behalten", for a run a kill interrupted.
enum class MessageButtons { Ok, OkCancel, UndoKeep };
enum class MessageAnswer { Ok, Cancel, Undo, Keep };

struct Message {
    explicit Message(QString text = {}, QString title = {}, MessageIcon icon = MessageIcon::None,
                     MessageButtons buttons = MessageButtons::Ok)
        : text(std::move(text)), title(std::move(title)), icon(icon), buttons(buttons) {}

    QString text;
    QString informativeText; // the file and the cause, below the text; empty: none
    QString title;           // empty: the application's title
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// The few things a run needs of its window. Controls are named by their
// object names ("txt_Suchstring", "chk_MoveBack", "txt_Filename", ...).
class RunWindow {
public:
    virtual ~RunWindow() = default;

    virtual QString fieldText(const QString& control) const = 0;
    virtual bool isTicked(const QString& control) const = 0;
    virtual void setText(const QString& control, const QString& text) = 0;
    // Appends to a multi-line field; costs time in proportion to `text`.
    virtual void appendText(const QString& control, const QString& text) = 0;
    // Shows a modal message and returns the button pressed.
    virtual MessageAnswer showMessage(const Message& message) = 0;
    // Called as a long run goes on, so the window can repaint and show how
    // far it is; the window must not take input meanwhile. A `total` of 0:
    // a directory is still being read, and how much there is is not known.
    virtual void showProgress(qsizetype done, qsizetype total) = 0;
};
