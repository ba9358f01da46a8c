#include "ui/Progress.h"

#include <commctrl.h>

#include "platform/Text.h"
#include "ui/Dpi.h"
#include "ui/Program.h"

namespace ui {
namespace {
constexpr DWORD kShowAfterMs = 400;
constexpr DWORD kEveryMs = 100;
constexpr int kSteps = 1000;
}  // namespace

Progress::~Progress() {
    if (window_) DestroyWindow(window_);
}

// A small dialog-style window, centred, with the text above a progress bar.
// Owned, as a message box is: above its owner, and no button of its own on
// the taskbar.
void Progress::open() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, WC_DIALOG, platform::widen(programTitle()).c_str(),
                              WS_POPUP | WS_CAPTION, 0, 0, 0, 0, owner_, nullptr, instance, nullptr);
    if (!window_) return;
    modal_.emplace(window_);
    const int dpi = dpiFor(window_);
    const auto px = [dpi](int twips) { return twipsToPixels(twips, dpi); };
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                   static_cast<UINT>(dpi)))
        font_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
    HWND label = CreateWindowExW(0, WC_STATICW, platform::widen(text_).c_str(), WS_CHILD | WS_VISIBLE,
                                 px(240), px(240), px(4800), px(300), window_, nullptr, instance, nullptr);
    bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, px(240), px(600), px(4800),
                           px(300), window_, nullptr, instance, nullptr);
    if (font_) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SendMessageW(bar_, PBM_SETRANGE32, 0, kSteps);
    const RECT r = windowRectFor(px(5280), px(1140), WS_POPUP | WS_CAPTION, WS_EX_DLGMODALFRAME, dpi);
    const int w = r.right - r.left, h = r.bottom - r.top;
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    SetWindowPos(window_, nullptr, work.left + (work.right - work.left - w) / 2,
                 work.top + (work.bottom - work.top - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window_, SW_SHOWNA);
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

void Progress::at(unsigned long long done, unsigned long long total) {
    const DWORD now = GetTickCount();
    if (now - last_ < kEveryMs || now - start_ < kShowAfterMs) return;
    last_ = now;
    if (!window_) open();
    if (!window_) return;
    const auto step = total ? static_cast<WPARAM>(done * kSteps / total) : 0;
    SendMessageW(bar_, PBM_SETPOS, step, 0);
    UpdateWindow(window_);
    // Windows takes a program that has not looked at its messages for a few
    // seconds for one that hangs; a look is enough, and takes none.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

}  // namespace ui
