#include "platform/Paths.h"

#include <windows.h>

#include <optional>

#include "platform/Text.h"

namespace platform {
namespace {
std::optional<std::string>& folderOverride() {
    static std::optional<std::string> folder;
    return folder;
}
}  // namespace

std::wstring extendedLengthPath(const std::wstring& path) {
    if (path.size() < MAX_PATH - 12 || path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

std::string applicationFolder() {
    if (folderOverride()) return *folderOverride();
    std::wstring module(32768, L'\0');
    module.resize(GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size())));
    std::string folder;
    if (!toAnsi(module, folder)) {
        // A folder name the code page cannot hold: its short form can.
        std::wstring shortName(32768, L'\0');
        shortName.resize(
            GetShortPathNameW(module.c_str(), shortName.data(), static_cast<DWORD>(shortName.size())));
        if (!shortName.empty()) toAnsi(shortName, folder);
    }
    const size_t cut = folder.find_last_of('\\');
    if (cut == std::string::npos) return folder;
    // Keep the separator of a drive root ("C:\").
    return folder.substr(0, cut == 2 && folder[1] == ':' ? 3 : cut);
}

void setApplicationFolder(std::string folder) { folderOverride() = std::move(folder); }

}  // namespace platform
