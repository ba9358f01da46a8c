#include "platform/Shortcuts.h"

#include <windows.h>
// The shell's interfaces need the types of windows.h.
#include <shlobj.h>

#include <cwchar>
#include <utility>

#include "platform/Handles.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace platform {

bool isShortcut(std::string_view path) {
    constexpr std::string_view kExtension = ".lnk";
    if (path.size() < kExtension.size()) return false;
    const std::string_view end = path.substr(path.size() - kExtension.size());
    for (size_t i = 0; i < end.size(); ++i)
        if ((end[i] | 0x20) != kExtension[i]) return false;
    return true;
}

bool shortcutTarget(const std::string& path, std::string& target) {
    std::wstring file;
    if (!toWide(path, file)) return false;
    IShellLinkW* created = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&created))))
        return false;
    const Com<IShellLinkW> link(created);
    IPersistFile* persist = nullptr;
    if (FAILED(link->QueryInterface(IID_PPV_ARGS(&persist)))) return false;
    if (FAILED(Com<IPersistFile>(persist)->Load(exactPath(file).c_str(), STGM_READ))) return false;
    // As the file dialogs do for a chosen shortcut, but quietly: no box, no
    // search for a target that moved, and the shortcut file left unchanged.
    const DWORD kQuietly = SLR_NO_UI | SLR_NOUPDATE | SLR_NOSEARCH | SLR_NOTRACK | SLR_NOLINKINFO;
    if (link->Resolve(nullptr, kQuietly) != S_OK) return false;
    std::wstring leadsTo(32768, L'\0');
    if (link->GetPath(leadsTo.data(), static_cast<int>(leadsTo.size()), nullptr, 0) != S_OK) return false;
    leadsTo.resize(wcslen(leadsTo.c_str()));
    if (rootLength(leadsTo) == 0 || GetFileAttributesW(exactPath(leadsTo).c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    std::string utf8;
    if (!toUtf8(leadsTo, utf8)) return false;
    target = std::move(utf8);
    return true;
}

}  // namespace platform
