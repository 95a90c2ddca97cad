#pragma once

#include <QWidget>

#include <functional>

// Calls `answer` with the first modal window other than `below` (a window
// already modal beneath the expected one) as soon as it is shown. The check
// runs from a timer, so it works while a handler waits in exec().
void answerModal(std::function<void(QWidget*)> answer, QWidget* below = nullptr);
