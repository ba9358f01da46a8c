// What a window does while another writer has the list file's turn: it
// waits, with the hourglass after a moment and then, every few seconds, a
// box that lets the user stop with nothing changed.
#pragma once

#include <windows.h>

#include <optional>

#include "hiding/ListFile.h"
#include "ui/Form.h"
#include "ui/WaitCursor.h"

namespace hiding {

class TurnWait {
public:
    explicit TurnWait(ui::Form& window) : window_(window) {}
    TurnWait(const TurnWait&) = delete;
    TurnWait& operator=(const TurnWait&) = delete;

    // For appendEntry and updateFile, which it must not outlive.
    KeepWaiting keepWaiting() {
        return [this] { return ask(); };
    }
    // The user stopped: nothing was written, and nothing more need be said.
    bool gaveUp() const { return gaveUp_; }

private:
    bool ask();

    ui::Form& window_;
    std::optional<ui::WaitCursor> hourglass_;
    DWORD since_ = 0;  // when the wait began, or the user last chose to go on
    bool waiting_ = false;
    bool gaveUp_ = false;
};

}  // namespace hiding
