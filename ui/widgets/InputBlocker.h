#pragma once

#include <QObject>

// While it exists, the user's clicks and keys reach no window of the program.
// A long run lets the event loop repaint its window; input made meanwhile is
// dropped rather than held back, so that a click on "Start" during a run does
// not start a second run once the first has ended.
class InputBlocker final : public QObject {
public:
    InputBlocker();
    // Drops the input that is still queued, then lets input through again.
    ~InputBlocker() override;

    // Lets input through for as long as the run waits for the user, in a
    // message box of its own.
    void setBlocking(bool blocking) { blocking_ = blocking; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool blocking_ = true;
};
