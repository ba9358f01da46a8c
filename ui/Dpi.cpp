#include "ui/Dpi.h"

#include "platform/Handles.h"
#include "platform/SystemLibrary.h"

namespace ui {
namespace {

// Looked up at run time: these arrived with Windows 10 and the program should
// still start where they are missing.
template <class F>
F user32(const char* name) {
    return platform::systemCall<F>(L"user32.dll", name);
}

}  // namespace

int dpiFor(HWND window) {
    static const auto forWindow = user32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (forWindow && window) {
        if (UINT dpi = forWindow(window)) return static_cast<int>(dpi);
    }
    const platform::WindowDC dc(window);
    const int dpi = GetDeviceCaps(dc.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : 96;
}

RECT windowRectFor(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi) {
    static const auto adjustForDpi =
        user32<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT r{0, 0, clientWidth, clientHeight};
    if (!adjustForDpi || !adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return r;
}

}  // namespace ui
