#include "ui/Modal.h"

#include <new>

#include "ui/Form.h"
#include "ui/Guard.h"
#include "ui/Host.h"

namespace ui {
namespace {

int modalParts = 0;  // message boxes and file dialogs open now

constexpr char kNoMemory[] =
    "There is not enough memory to finish this, so it was stopped. Close some programs or windows and "
    "try again.";
constexpr char kUnexpected[] =
    "This could not be finished because of an unexpected error, so it was stopped.";

}  // namespace

ModalScope::ModalScope(HWND owner) {
    disabled_.reserve(Form::every().size() + 1);
    auto disable = [&](HWND h) {
        if (h && h != owner && IsWindowEnabled(h)) {
            EnableWindow(h, FALSE);
            disabled_.push_back(h);
        }
    };
    for (Form* f : Form::every()) disable(f->hwnd_);
    disable(Form::ownerOfDialogs());
    ++modalParts;
    // A box means the program waits for the user, not the other way
    // round: no hourglass while it is open, the pointer of before after.
    pointer_ = SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

ModalScope::~ModalScope() {
    --modalParts;
    for (HWND h : disabled_)
        if (IsWindow(h)) EnableWindow(h, TRUE);
    SetCursor(pointer_);
}

bool modalPartOpen() { return modalParts > 0; }

void reportFailure(HWND window) noexcept {
    try {
        const char* text = kUnexpected;
        try {
            throw;
        } catch (const HandlerEnded&) {
            return;
        } catch (const std::bad_alloc&) {
            text = kNoMemory;
        } catch (...) {
        }
        HWND owner = window && IsWindow(window) ? GetAncestor(window, GA_ROOT) : nullptr;
        ModalScope modal(owner);
        host().messageBox(owner, text, "Error", Icon::Exclamation, Buttons::Ok);
    } catch (...) {
        // Not even the box could be shown: nothing more to do.
    }
}

}  // namespace ui
