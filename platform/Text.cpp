#include "platform/Text.h"

#include <windows.h>

#include <climits>

namespace platform {
namespace {

// Both calls count in int: longer text cannot be converted at all.
bool fitsInt(size_t n) { return n <= static_cast<size_t>(INT_MAX); }

// One call of MultiByteToWideChar, sized first; false when it fails.
bool decode(UINT codePage, DWORD flags, std::string_view bytes, std::wstring& out) {
    out.clear();
    if (bytes.empty()) return true;
    if (!fitsInt(bytes.size())) return false;
    const int n = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(codePage, flags, bytes.data(), n, nullptr, 0);
    if (size <= 0) return false;
    out.resize(static_cast<size_t>(size));
    if (MultiByteToWideChar(codePage, flags, bytes.data(), n, out.data(), size) == size) return true;
    out.clear();
    return false;
}

// One call of WideCharToMultiByte, sized first; false when it fails. For
// UTF-8 the documented flags are 0 or WC_ERR_INVALID_CHARS, with no default
// character.
bool encode(UINT codePage, DWORD flags, std::wstring_view wide, std::string& out) {
    out.clear();
    if (wide.empty()) return true;
    if (!fitsInt(wide.size())) return false;
    const int n = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(codePage, flags, wide.data(), n, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    out.resize(static_cast<size_t>(size));
    if (WideCharToMultiByte(codePage, flags, wide.data(), n, out.data(), size, nullptr, nullptr) == size)
        return true;
    out.clear();
    return false;
}

}  // namespace

bool toWide(std::string_view utf8, std::wstring& out) {
    return decode(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, out);
}

bool toUtf8(std::wstring_view wide, std::string& out) {
    return encode(CP_UTF8, WC_ERR_INVALID_CHARS, wide, out);
}

std::wstring widen(std::string_view utf8) {
    std::wstring out;
    if (!toWide(utf8, out)) decode(CP_UTF8, 0, utf8, out);
    return out;
}

std::string narrow(std::wstring_view wide) {
    std::string out;
    if (!toUtf8(wide, out)) encode(CP_UTF8, 0, wide, out);
    return out;
}

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
    std::wstring wide;
    decode(legacyCodePage(), 0, bytes, wide);
    return narrow(wide);
}

std::string toLegacy(std::string_view utf8) {
    std::string out;
    encode(legacyCodePage(), 0, widen(utf8), out);
    return out;
}

}  // namespace platform
