// A long piece of work on the program's one thread, told as it goes. After a
// moment a small window shows how far it has come. No window of the program
// takes input meanwhile, as under a message box, and the work handles none;
// but the window draws as the work moves, and Windows sees that the program
// is alive, so it does not grey it out as not responding.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/Handles.h"
#include "ui/Modal.h"

namespace ui {

class Progress {
public:
    // `owner`: the window the work is for, which the small window stands above.
    Progress(HWND owner, std::string text) : owner_(owner), text_(std::move(text)), start_(GetTickCount()) {}
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // `done` of `total` so far. Cheap: it acts a few times a second at most.
    void at(unsigned long long done, unsigned long long total);

private:
    void open();

    HWND owner_;
    std::string text_;
    DWORD start_;
    DWORD last_ = 0;
    std::optional<ModalScope> modal_;  // while the window is up
    HWND window_ = nullptr;
    HWND bar_ = nullptr;  // the window's: goes with it
    platform::FontHandle font_;
};

}  // namespace ui
