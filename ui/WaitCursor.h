// The hourglass while a handler works on something slow (hashing a password,
// reading a long list); the pointer before it comes back at the end. No
// messages are handled meanwhile, so nothing sets another pointer.
#pragma once

#include <windows.h>

namespace ui {

class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

}  // namespace ui
