#pragma once

#include <functional>

class QWidget;

// Answers a modal dialog without a human: once the next modal widget is up,
// the action runs on it from the event loop (click a button, press a key...).
// Gives up with a warning after the time-out, so a test never hangs on it.
void whenModalAppears(std::function<void(QWidget*)> action, int timeoutMs = 5000);
