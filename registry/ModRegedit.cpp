#include "registry/ModRegedit.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "platform/Handles.h"
#include "platform/SystemLibrary.h"
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

KeyHandle openKey(std::uint32_t root, const std::string& path) {
    HKEY raw = nullptr;
    std::wstring p;
    const LONG rc = wide(path, p) ? RegOpenKeyW(rootKey(root), p.c_str(), &raw) : ERROR_INVALID_PARAMETER;
    return KeyHandle(rc == ERROR_SUCCESS ? raw : nullptr);
}

// Only "not found" means a key is not there; a refused open (access denied)
// says nothing about whether it is. A key named by a path is gone when
// neither a key nor a link is found under that name, looked up as every
// program looks it up.
bool gone(std::uint32_t root, const std::string& path) {
    std::wstring p;
    if (!wide(path, p)) return false;
    for (DWORD options : {DWORD{0}, DWORD{REG_OPTION_OPEN_LINK}}) {
        HKEY raw = nullptr;
        const LONG rc = RegOpenKeyExW(rootKey(root), p.c_str(), options, KEY_QUERY_VALUE, &raw);
        const KeyHandle key(rc == ERROR_SUCCESS ? raw : nullptr);
        if (rc != ERROR_FILE_NOT_FOUND && rc != ERROR_PATH_NOT_FOUND) return false;
    }
    return true;
}

// A registry link (a key made with REG_OPTION_CREATE_LINK) stands for the
// key it names: opened by name, a program gets that key, and any name looked
// up below the link is looked up below its target. Keys are deleted here as
// themselves, links as links, so that nothing outside the named key goes.
// A link has no subkeys of its own: only below a key that has some is a name
// looked up, each opened with REG_OPTION_OPEN_LINK, so a link on the way is
// never gone through.
KeyHandle openOwnSubkey(HKEY parent, const std::wstring& name, REGSAM access) {
    DWORD subkeys = 0;
    if (name.empty() || name.find(L'\\') != std::wstring::npos ||  // one name, not a path
        RegQueryInfoKeyW(parent, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
        subkeys == 0)
        return {};
    HKEY raw = nullptr;
    if (RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, access, &raw) != ERROR_SUCCESS) return {};
    return KeyHandle(raw);
}

// The key at `path`, reached one key at a time as above; none when a link is
// on the way.
KeyHandle openWithoutLinks(std::uint32_t root, const std::string& path) {
    std::wstring p;
    if (!wide(path, p)) return {};
    KeyHandle key;
    for (size_t start = 0;;) {
        const size_t cut = p.find(L'\\', start);
        KeyHandle next = openOwnSubkey(key ? key.get() : rootKey(root), p.substr(start, cut - start),
                                       KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS);
        if (!next || cut == std::wstring::npos) return next;
        key = std::move(next);
        start = cut + 1;
    }
}

// Deletes an open key itself, not what it may link to. The registry API
// deletes only by name, and a name is looked up through a link; the native
// call deletes the key the handle holds (documented as ZwDeleteKey, called
// NtDeleteKey from user mode). It needs DELETE access and a key without
// subkeys.
bool deleteOpenKey(HKEY key) {
    using NtDeleteKey = LONG(NTAPI*)(HANDLE);
    static const auto ntDeleteKey = platform::systemCall<NtDeleteKey>(L"ntdll.dll", "NtDeleteKey");
    return ntDeleteKey && ntDeleteKey(key) == 0;
}

// Deletes `name` below `parent`, with everything below it, each key as itself.
void deleteOwnTree(HKEY parent, const std::wstring& name) {
    const KeyHandle key = openOwnSubkey(parent, name, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | DELETE);
    if (!key) return;
    // The names first: deleting while listing would shift what is left.
    std::vector<std::wstring> children;
    wchar_t child[256];  // a key name has at most 255 characters
    for (DWORD i = 0;; ++i) {
        DWORD size = static_cast<DWORD>(std::size(child));
        if (RegEnumKeyExW(key.get(), i, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.emplace_back(child, size);
    }
    for (const std::wstring& c : children) deleteOwnTree(key.get(), c);
    deleteOpenKey(key.get());  // refused while a subkey is left
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

bool RegKeyWritable(std::uint32_t root, const std::string& path) {
    HKEY raw = nullptr;
    std::wstring p;
    if (!wide(path, p) || RegOpenKeyExW(rootKey(root), p.c_str(), 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS)
        return false;
    const KeyHandle key(raw);  // only opened to see that it may be
    return true;
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
    const KeyHandle above = openWithoutLinks(root, parent);
    std::wstring n;
    if (!above || !wide(name, n)) return false;
    const KeyHandle key = openOwnSubkey(above.get(), n, DELETE);
    return key && deleteOpenKey(key.get());
}

bool RegDeleteSubkeyTree(std::uint32_t root, const std::string& parent, const std::string& name) {
    if (name.empty()) return false;  // that would be the parent itself
    const std::string path = parent + "\\" + name;
    const size_t last = path.rfind('\\');  // the key deleted; all above it is only gone through
    std::wstring n;
    if (const KeyHandle above = openWithoutLinks(root, path.substr(0, last));
        above && wide(path.substr(last + 1), n))
        deleteOwnTree(above.get(), n);
    return gone(root, path);
}

}  // namespace ModRegedit
