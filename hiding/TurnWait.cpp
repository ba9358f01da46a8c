#include "hiding/TurnWait.h"

namespace hiding {
namespace {

constexpr DWORD kHourglassAfterMs = 300;
constexpr DWORD kAskEveryMs = 3000;

constexpr char kListBusy[] =
    "The list of hidden items, the file 'Sett~.dll' beside the program, is being written by another copy of "
    "Hidewell or held by another program. Click Retry to keep waiting for it, or Cancel to stop here with "
    "nothing changed.";

}  // namespace

bool TurnWait::ask() {
    const DWORD now = GetTickCount();
    if (!waiting_) {
        waiting_ = true;
        since_ = now;
    }
    if (now - since_ >= kHourglassAfterMs && !hourglass_) hourglass_.emplace();
    if (now - since_ < kAskEveryMs) return true;
    const ui::Answer answer =
        window_.MsgBox(kListBusy, "Info", ui::Icon::Information, ui::Buttons::RetryCancel);
    gaveUp_ = answer != ui::Answer::Retry;
    since_ = GetTickCount();
    return !gaveUp_;
}

}  // namespace hiding
