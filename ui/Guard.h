// The boundary between a handler and the platform. Every window procedure and
// control subclass procedure runs its work through guarded(): no exception
// crosses into the platform's code, and a handler that fails is reported to
// the user instead of leaving its work half done without a word.
#pragma once

#include <windows.h>

namespace ui {

// Thrown by a message box or file dialog whose window was unloaded while it
// was open: it ends the handler that opened it, silently, so that the rest
// of the handler cannot load the window again.
struct HandlerEnded {};

// Tells the user, in a box owned by `window` (or its top-level window), that
// the current exception stopped a handler: not enough memory, or an
// unexpected failure. HandlerEnded is not reported. Never throws.
void reportFailure(HWND window) noexcept;

template <class Body>
LRESULT guarded(HWND window, Body&& body, LRESULT failed = 0) noexcept {
    try {
        return body();
    } catch (...) {
        reportFailure(window);
        return failed;
    }
}

}  // namespace ui
