// The modal parts (message boxes and file dialogs) and the rule they bring.
#pragma once

#include <windows.h>

#include <vector>

namespace ui {

// While a modal part is open, every other window of the program is disabled,
// so that no handler starts nested inside the one that opened it. The owner
// is left to the box or dialog, which disables it and gives it back the
// activation at the end; exactly the windows disabled here are enabled again.
class ModalScope {
public:
    explicit ModalScope(HWND owner);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    std::vector<HWND> disabled_;
    HCURSOR pointer_ = nullptr;
};

// True while a message box or file dialog of the program is open.
bool modalPartOpen();

}  // namespace ui
