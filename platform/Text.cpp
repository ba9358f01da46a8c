#include "platform/Text.h"

#include <windows.h>

#include <climits>

namespace platform {
namespace {

// Both calls count in int: longer text cannot be converted at all.
bool fitsInt(size_t n) { return n <= static_cast<size_t>(INT_MAX); }

// A second pass without any check, for the substitute of a failed one.
std::string lossyAnsi(std::wstring_view wide) {
    const int n = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string out(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, wide.data(), n, out.data(), size, nullptr, nullptr) != size) return {};
    return out;
}

}  // namespace

bool toAnsi(std::wstring_view wide, std::string& out) {
    out.clear();
    if (wide.empty()) return true;
    if (!fitsInt(wide.size())) return false;
    const int n = static_cast<int>(wide.size());
    // Code page 65001 refuses WC_NO_BEST_FIT_CHARS and a used-default-character
    // argument (the call fails); what it cannot hold, an unpaired surrogate, it
    // reports through WC_ERR_INVALID_CHARS instead.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* used = utf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(CP_ACP, flags, wide.data(), n, nullptr, 0, nullptr, used);
    if (size > 0) {
        out.resize(static_cast<size_t>(size));
        if (WideCharToMultiByte(CP_ACP, flags, wide.data(), n, out.data(), size, nullptr, used) == size)
            return !usedDefault;  // else `out` already holds the default character where one was missing
    }
    out = lossyAnsi(wide);
    return false;
}

bool fromAnsi(std::string_view ansi, std::wstring& out) {
    out.clear();
    if (ansi.empty()) return true;
    if (!fitsInt(ansi.size())) return false;
    const int n = static_cast<int>(ansi.size());
    // First strictly; where that fails, again for the substitute.
    const DWORD passes[] = {MB_ERR_INVALID_CHARS, 0};
    for (const DWORD flags : passes) {
        const int size = MultiByteToWideChar(CP_ACP, flags, ansi.data(), n, nullptr, 0);
        if (size <= 0) continue;
        out.resize(static_cast<size_t>(size));
        if (MultiByteToWideChar(CP_ACP, flags, ansi.data(), n, out.data(), size) == size) return flags != 0;
        out.clear();
    }
    return false;
}

std::wstring fromAnsi(std::string_view ansi) {
    std::wstring out;
    fromAnsi(ansi, out);
    return out;
}

}  // namespace platform
