#include "ui/Text.h"

#include <windows.h>

namespace ui {

bool toAnsi(std::wstring_view wide, std::string& out) {
    out.clear();
    if (wide.empty()) return true;
    const int n = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    int size =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), n, nullptr, 0, nullptr, &usedDefault);
    out.resize(size);
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), n, out.data(), size, nullptr,
                        &usedDefault);
    return !usedDefault;
}

std::wstring fromAnsi(std::string_view ansi) {
    std::wstring out;
    if (ansi.empty()) return out;
    const int n = static_cast<int>(ansi.size());
    int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), n, nullptr, 0);
    out.resize(size);
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), n, out.data(), size);
    return out;
}

}  // namespace ui
