#include "ui/Program.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "ui/Form.h"
#include "ui/Guard.h"
#include "ui/Host.h"

namespace ui {
namespace {

// After the program's title.
constexpr char kCannotStart[] =
    " could not open its window, so it ends. The computer may be short of memory or of window resources.";

Form* mainForm = nullptr;
std::string title;

void dispatch(MSG& msg) {
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (Form* form = Form::ofWindow(root)) {
        // The window's own keys first, under the same boundary as its
        // window procedure; a key whose handler failed is taken.
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST &&
            guarded(
                root, [&]() -> LRESULT { return form->preTranslateKey(msg); }, TRUE))
            return;
        // Tab, Enter on a focused button and the other dialog keys work in
        // our modeless windows as in dialogs.
        if (IsDialogMessageW(root, &msg)) return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace

void unloadAll() {
    for (Form* f : Form::every())
        if (f->loaded()) f->destroy();
}

void endProgram() {
    unloadAll();
    host().endProgram();
}

int runProgram(Form& startup) {
    try {
        startup.Show();
    } catch (...) {
        unloadAll();
    }
    // A program with no window on the screen would wait for ever.
    const auto& forms = Form::every();
    if (std::none_of(forms.begin(), forms.end(), [](Form* f) { return f->visible(); })) {
        unloadAll();
        host().messageBox(nullptr, (title.empty() ? "The program" : title) + kCannotStart, "Error",
                          Icon::Exclamation, Buttons::Ok);
        return 1;
    }
    return runMessageLoop();
}

int runMessageLoop() {
    MSG msg;
    int got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) dispatch(msg);
    return got == 0 ? static_cast<int>(msg.wParam) : 1;
}

void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        dispatch(msg);
    }
}

void setMainWindow(Form& main) { mainForm = &main; }

Form& mainWindow() {
    if (!mainForm) throw std::logic_error("no main window was set");
    return *mainForm;
}

bool hasMainWindow() { return mainForm != nullptr; }

bool isMainWindow(const Form& form) { return &form == mainForm; }

void setProgramTitle(std::string_view t) { title = t; }

const std::string& programTitle() { return title; }

}  // namespace ui
