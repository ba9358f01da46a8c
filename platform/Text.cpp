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

bool codePageIsUtf8() { return GetACP() == CP_UTF8; }

unsigned legacyCodePage() {
    static const unsigned codePage = [] {
        DWORD cp = 0;
        const int got =
            GetLocaleInfoEx(LOCALE_NAME_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                            reinterpret_cast<LPWSTR>(&cp), sizeof cp / sizeof(wchar_t));
        // A locale with no code page of its own (a Unicode-only one) leaves
        // the Western one, which Windows gives such systems.
        return got && cp && cp != CP_UTF8 ? static_cast<unsigned>(cp) : 1252u;
    }();
    return codePage;
}

bool isUtf8(std::string_view bytes) {
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        // The length of the sequence and the range of its second byte, which
        // rules out overlong forms, surrogates and what lies beyond U+10FFFF.
        size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;
            if (c == 0xED) high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (n - i < length) return false;
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        if (second < low || second > high) return false;
        for (size_t k = 2; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

std::string fromLegacy(std::string_view bytes) {
    if (!codePageIsUtf8() || isUtf8(bytes) || !fitsInt(bytes.size())) return std::string(bytes);
    const UINT legacy = legacyCodePage();
    const int n = static_cast<int>(bytes.size());
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(legacy, 0, bytes.data(), n, nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(legacy, 0, bytes.data(), n, wide.data(), static_cast<int>(wide.size()));
    std::string out;
    toAnsi(wide, out);
    return out;
}

std::string toLegacy(std::string_view text) {
    std::wstring wide;
    if (!codePageIsUtf8() || !fromAnsi(text, wide) || !fitsInt(wide.size())) return std::string(text);
    const UINT legacy = legacyCodePage();
    const int n = static_cast<int>(wide.size());
    std::string out(
        static_cast<size_t>(WideCharToMultiByte(legacy, 0, wide.data(), n, nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(legacy, 0, wide.data(), n, out.data(), static_cast<int>(out.size()), nullptr,
                        nullptr);
    return out;
}

}  // namespace platform
