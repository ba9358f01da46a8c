#include "hiding/FileAttributes.h"

#include "platform/Paths.h"
#include "platform/Text.h"

namespace hiding {
namespace {

constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

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

// The item opened to change its attributes, and so that it cannot be
// renamed, moved or deleted, nor a folder above it renamed, while it is open:
// only an open that may read it counts in the turns programs take with a
// file, so it is opened to read too, sharing all but deletion. Where that is
// refused (another program holds the file without sharing it for reading,
// or may delete it; reading is not allowed), it is opened for its attributes
// alone, which another program's sharing does not stop, as SetFileAttributes
// is not stopped; it is not held against a rename then. A link is the item
// itself, not what it leads to, as GetFileAttributes sees it.
platform::FileHandle openItem(const std::wstring& path) {
    constexpr DWORD attributes = FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
    constexpr DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;  // folders too
    platform::FileHandle item(CreateFileW(path.c_str(), attributes | FILE_READ_DATA,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags,
                                          nullptr));
    if (!item && (GetLastError() == ERROR_SHARING_VIOLATION || GetLastError() == ERROR_ACCESS_DENIED))
        item.reset(CreateFileW(path.c_str(), attributes,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               flags, nullptr));
    // "\\.\pipe\x" and the like are no file or folder.
    if (item && GetFileType(item.get()) != FILE_TYPE_DISK) item.reset();
    return item;
}

bool attributesOf(HANDLE item, DWORD& out) {
    FILE_BASIC_INFO info{};
    if (!GetFileInformationByHandleEx(item, FileBasicInfo, &info, sizeof info)) return false;
    out = info.FileAttributes;
    return true;
}

// Sets the attributes and leaves the times alone (0 keeps each as it is).
// What the file system gave is given back whole: it ignores what no program
// may set (directory, compressed), and keeps the rest as told.
bool setAttributes(HANDLE item, DWORD attributes) {
    FILE_BASIC_INFO info{};
    info.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(item, FileBasicInfo, &info, sizeof info);
}

}  // namespace

HiddenItem::HiddenItem(const std::string& path) {
    std::wstring p;
    if (itemPath(path, p)) item_ = openItem(p);
}

bool HiddenItem::hide() {
    if (hidden_) return true;
    if (!item_ || !attributesOf(item_.get(), previous_) ||
        !setAttributes(item_.get(), previous_ | kHiddenSystem))
        return false;
    hidden_ = true;
    DWORD now = 0;
    if (!attributesOf(item_.get(), now) || (now & kHiddenSystem) != kHiddenSystem) restore();
    return hidden_;
}

bool HiddenItem::restore() {
    if (!hidden_) return true;
    hidden_ = false;
    return setAttributes(item_.get(), previous_);
}

bool unhideItem(const std::string& path) {
    std::wstring p;
    if (!itemPath(path, p)) return false;
    const platform::FileHandle item = openItem(p);
    DWORD attributes = 0;
    if (!item || !attributesOf(item.get(), attributes) ||
        !setAttributes(item.get(), attributes & ~kHiddenSystem))
        return false;
    // Read back, as hiding does, by the name, as a folder's listing shows
    // it: an item the platform still shows as hidden or system (Wine does so
    // for a name that starts with a dot) was not unhidden.
    const DWORD now = GetFileAttributesW(p.c_str());
    return now != INVALID_FILE_ATTRIBUTES && !(now & kHiddenSystem);
}

}  // namespace hiding
