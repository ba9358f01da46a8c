#include "hiding/FileAttributes.h"

#include "platform/Paths.h"
#include "platform/Text.h"

namespace hiding {
namespace {

constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                            FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_TEMPORARY;

// A device (NUL, COM1, also "C:\x\nul.txt" where the platform says so) takes
// an attribute change and keeps nothing; the platform's full form of its
// name is "\\.\<device>".
bool namesDevice(const std::wstring& path) {
    std::wstring full(32768, L'\0');
    const DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size()) return false;
    full.resize(n);
    return full.rfind(L"\\\\.\\", 0) == 0 && full.find(L'\\', 4) == std::wstring::npos;
}

// The platform's form of the full path of a file or folder, in `out`, which
// reaches exactly the item it names. False for anything else: a NUL ends the
// path for the platform, and bytes that are not UTF-8 would convert to
// another name, so either would act on an item the text does not name. A
// path that is not full the platform resolves against the current folder, so
// a typed "." or blank would unhide that folder, and a relative name would be
// recorded as hidden in a form that cannot be unhidden later.
bool itemPath(const std::string& path, std::wstring& out) {
    if (path.find('\0') != std::string::npos || !platform::toWide(path, out) ||
        platform::rootLength(out) == 0)
        return false;
    if (namesDevice(out)) return false;
    out = platform::exactPath(out);
    return true;
}

}  // namespace

bool hideItem(const std::string& path, DWORD& previous) {
    std::wstring p;
    if (!itemPath(path, p)) return false;
    previous = GetFileAttributesW(p.c_str());
    if (previous == INVALID_FILE_ATTRIBUTES) return false;
    if (!SetFileAttributesW(p.c_str(), kHiddenSystem)) return false;
    const DWORD now = GetFileAttributesW(p.c_str());
    if (now != INVALID_FILE_ATTRIBUTES && (now & kHiddenSystem) == kHiddenSystem) return true;
    restoreAttributes(path, previous);
    return false;
}

bool restoreAttributes(const std::string& path, DWORD previous) {
    const DWORD a = previous & kSettable;
    std::wstring p;
    return itemPath(path, p) && SetFileAttributesW(p.c_str(), a ? a : FILE_ATTRIBUTE_NORMAL);
}

bool unhideItem(const std::string& path) {
    std::wstring p;
    if (!itemPath(path, p) || !SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL)) return false;
    // Read back, as hiding does: an item the platform still shows as hidden
    // or system (Wine does so for a name that starts with a dot) was not
    // unhidden.
    const DWORD now = GetFileAttributesW(p.c_str());
    return now != INVALID_FILE_ATTRIBUTES && !(now & kHiddenSystem);
}

}  // namespace hiding
