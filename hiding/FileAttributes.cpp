#include "hiding/FileAttributes.h"

#include "ui/Paths.h"
#include "ui/Text.h"

namespace hiding {
namespace {

constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                            FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_TEMPORARY;

// The wide form reaches paths longer than MAX_PATH.
std::wstring platformPath(const std::string& path) { return ui::extendedLengthPath(ui::fromAnsi(path)); }

// "C:\..." or "\\server\share...". The platform resolves anything else
// against the process's current folder, so a typed "." or blank would
// unhide that folder.
bool isFullPath(const std::string& path) {
    auto separator = [](char c) { return c == '\\' || c == '/'; };
    const bool drive = path.size() >= 3 && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') &&
                       path[1] == ':' && separator(path[2]);
    const bool unc = path.size() >= 3 && separator(path[0]) && separator(path[1]);
    return drive || unc;
}

}  // namespace

bool hideItem(const std::string& path, DWORD& previous) {
    if (path.empty()) return false;
    const std::wstring p = platformPath(path);
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
    return SetFileAttributesW(platformPath(path).c_str(), a ? a : FILE_ATTRIBUTE_NORMAL);
}

bool unhideItem(const std::string& path) {
    if (!isFullPath(path)) return false;
    return SetFileAttributesW(platformPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace hiding
