// Modal message box with a text, a caption and an OK button.
#pragma once
#include <functional>
#include <string>

namespace platform {

// Opaque owner window; null means "no owner".
using WindowHandle = void*;

// Blocks until the user presses OK. When nobody can answer (offscreen or
// dummy video driver, no display) it prints "caption: text" on stderr and
// returns at once, so headless runs never hang. Main thread only.
void showMessageBox(const char* text, const char* caption, WindowHandle owner = nullptr);

// Observer for tests and the missing-asset checks: sees every box, in order.
using MessageBoxObserver = std::function<void(const std::string& caption, const std::string& text)>;
void setMessageBoxObserver(MessageBoxObserver observer);

} // namespace platform
