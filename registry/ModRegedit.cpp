#include "registry/ModRegedit.h"

#include <windows.h>

#include <algorithm>

#include "platform/Handles.h"
#include "platform/Text.h"

namespace ModRegedit {
namespace {

using platform::KeyHandle;

// The predefined roots are sign-extended on 64-bit Windows.
HKEY rootKey(std::uint32_t root) {
    return reinterpret_cast<HKEY>(
        static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<std::int32_t>(root))));
}

// Key paths, value names and text go to the registry in UTF-16. Text that is
// not UTF-8 names nothing: the call fails as for a key that cannot be opened.
bool wide(const std::string& text, std::wstring& out) { return platform::toWide(text, out); }

KeyHandle openKey(std::uint32_t root, const std::string& path, LONG* status = nullptr) {
    HKEY raw = nullptr;
    std::wstring p;
    const LONG rc = wide(path, p) ? RegOpenKeyW(rootKey(root), p.c_str(), &raw) : ERROR_INVALID_PARAMETER;
    if (status) *status = rc;
    return KeyHandle(rc == ERROR_SUCCESS ? raw : nullptr);
}

// Only "not found" means a key is not there; a refused open (access denied)
// says nothing about whether it is.
bool absent(std::uint32_t root, const std::string& path) {
    LONG status = ERROR_SUCCESS;
    openKey(root, path, &status);
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

// A numeric text taken apart: its digits with the position of the decimal
// point among them, so that rounding is exact rather than via a double.
struct Decimal {
    bool negative = false;
    std::string digits;     // mantissa digits, point removed
    long long pointAt = 0;  // digits before the point, after applying the exponent
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Surrounding spaces, optional sign, digits with an optional '.', optional
// exponent. At least one mantissa digit is needed, so "", "." and "e5" fail.
bool parseNumeric(const std::string& text, Decimal& out) {
    size_t i = 0, end = text.size();
    while (i < end && text[i] == ' ') ++i;
    while (end > i && text[end - 1] == ' ') --end;
    if (i < end && (text[i] == '+' || text[i] == '-')) out.negative = text[i++] == '-';
    long long intDigits = 0;
    while (i < end && isDigit(text[i])) out.digits += text[i++], ++intDigits;
    if (i < end && text[i] == '.') {
        ++i;
        while (i < end && isDigit(text[i])) out.digits += text[i++];
    }
    if (out.digits.empty()) return false;
    long long exponent = 0;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExp = false;
        if (i < end && (text[i] == '+' || text[i] == '-')) negativeExp = text[i++] == '-';
        if (i == end || !isDigit(text[i])) return false;
        // Saturate: beyond this any non-zero mantissa overflows or rounds to 0.
        while (i < end && isDigit(text[i]))
            exponent = std::min(exponent * 10 + (text[i++] - '0'), 1000000000LL);
        if (negativeExp) exponent = -exponent;
    }
    if (i != end) return false;
    out.pointAt = intDigits + exponent;
    return true;
}

// Rounds half to even; throws Overflow outside the signed 32-bit range.
std::int32_t toInt32(const Decimal& d) {
    const long long n = static_cast<long long>(d.digits.size());
    long long magnitude = 0;
    for (long long i = 0; i < std::min(d.pointAt, n); ++i) {
        magnitude = magnitude * 10 + (d.digits[i] - '0');
        if (magnitude > 2147483648LL) throw Overflow();
    }
    for (long long i = n; i < d.pointAt; ++i) {  // zeros the exponent appends
        if (magnitude == 0) break;
        magnitude *= 10;
        if (magnitude > 2147483648LL) throw Overflow();
    }
    // The fraction against one half. A point before the first digit means
    // the fraction starts with a zero: under a tenth, nothing to round.
    if (d.pointAt >= 0 && d.pointAt < n) {
        const char lead = d.digits[d.pointAt];
        const bool pastHalf = d.digits.find_first_not_of('0', d.pointAt + 1) != std::string::npos;
        if (lead > '5' || (lead == '5' && (pastHalf || magnitude % 2 == 1))) ++magnitude;
    }
    if (magnitude > (d.negative ? 2147483648LL : 2147483647LL)) throw Overflow();
    return static_cast<std::int32_t>(d.negative ? -magnitude : magnitude);
}

}  // namespace

std::string RegValue::toText() const {
    return isNumber() ? std::to_string(number()) : std::get<std::string>(v_);
}

bool RegKeyExists(std::uint32_t root, const std::string& path) {
    return static_cast<bool>(openKey(root, path));
}

RegValue RegReadValue(std::uint32_t root, const std::string& path, const std::string& name) {
    const KeyHandle key = openKey(root, path);
    std::wstring n;
    if (!key || !wide(name, n)) return {};
    DWORD type = REG_NONE, size = 0;
    RegQueryValueExW(key.get(), n.c_str(), nullptr, &type, nullptr, &size);
    if (type == REG_SZ) {
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        if (RegQueryValueExW(key.get(), n.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                             &size) != ERROR_SUCCESS)
            return {};
        data.resize(std::min<size_t>(size / sizeof(wchar_t), data.size()));
        data.resize(std::min(data.find(L'\0'), data.size()));
        // Half a surrogate pair is no text: unreadable, as any other value.
        std::string text;
        if (!platform::toUtf8(data, text)) return {};
        return text;
    }
    if (type == REG_DWORD) {
        DWORD number = 0;
        size = sizeof number;
        // A REG_DWORD of other than 4 bytes is no number: 0 or 2 bytes would
        // leave the rest of it whatever the buffer held before.
        if (RegQueryValueExW(key.get(), n.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&number),
                             &size) != ERROR_SUCCESS ||
            size != sizeof number)
            return {};
        return static_cast<std::int32_t>(number);
    }
    return {};
}

void RegWriteValue(std::uint32_t root, const std::string& path, const std::string& name,
                   const RegValue& value) {
    Decimal decimal;
    const bool numeric = value.isNumber() || parseNumeric(value.toText(), decimal);

    HKEY raw = nullptr;
    std::wstring p, n;
    if (wide(path, p)) RegCreateKeyW(rootKey(root), p.c_str(), &raw);
    const KeyHandle key(raw);
    if (!wide(name, n)) return;

    if (numeric) {
        const std::int32_t number = value.isNumber() ? value.number() : toInt32(decimal);
        if (!key) return;
        const DWORD data = static_cast<DWORD>(number);  // little-endian on every target
        RegSetValueExW(key.get(), n.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
        return;
    }
    if (!key) return;
    std::string text = value.toText();
    const size_t first = text.find_first_not_of(' ');
    text = first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
    std::wstring data;
    if (!wide(text, data)) return;
    RegSetValueExW(key.get(), n.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

bool RegDeleteSubkey(std::uint32_t root, const std::string& parent, const std::string& name) {
    if (!RegKeyExists(root, parent)) return false;
    const KeyHandle key = openKey(root, parent);
    std::wstring n;
    return key && wide(name, n) && RegDeleteKeyW(key.get(), n.c_str()) == ERROR_SUCCESS;
}

bool RegDeleteSubkeyTree(std::uint32_t root, const std::string& parent, const std::string& name) {
    if (name.empty()) return false;  // that would be the parent itself
    const std::string path = parent + "\\" + name;
    if (absent(root, path)) return true;
    std::wstring n;
    if (const KeyHandle key = openKey(root, parent); key && wide(name, n))
        RegDeleteTreeW(key.get(), n.c_str());
    return absent(root, path);
}

}  // namespace ModRegedit
