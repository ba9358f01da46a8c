#include "platform/Paths.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/Text.h"

namespace platform {
namespace {
std::optional<std::string>& folderOverride() {
    static std::optional<std::string> folder;
    return folder;
}
}  // namespace

std::wstring normalPath(std::wstring_view path) {
    const size_t root = rootLength(path);
    std::wstring out(path.substr(0, root));
    std::replace(out.begin(), out.end(), L'/', L'\\');
    std::vector<std::wstring_view> names;
    for (size_t start = root; start < path.size();) {
        size_t end = path.find_first_of(L"\\/", start);
        if (end == std::wstring_view::npos) end = path.size();
        const std::wstring_view name = path.substr(start, end - start);
        if (name == L"..") {
            if (!names.empty()) names.pop_back();
        } else if (!name.empty() && name != L".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) out += L'\\';
        out += names[i];
    }
    return out;
}

std::wstring exactPath(const std::wstring& path) {
    const size_t root = rootLength(path);
    // "\\?\..." and "\\.\..." are a device's or already verbatim.
    const bool device =
        root > 3 && (path[2] == L'?' || path[2] == L'.') && (path[3] == L'\\' || path[3] == L'/');
    if (root == 0 || device || root == path.size()) return path;
    const std::wstring plain = normalPath(path);
    bool stripped = false;
    for (const std::wstring& name : pathChain(plain))
        stripped = stripped || name.ends_with(L'.') || name.ends_with(L' ');
    if (!stripped && plain.size() < MAX_PATH - 12) return path;
    if (plain[1] == L':') return L"\\\\?\\" + plain;
    return L"\\\\?\\UNC\\" + plain.substr(2);
}

size_t rootLength(std::wstring_view p) {
    if (p.size() < 3) return 0;
    auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    const auto letter = static_cast<wchar_t>(p[0] | 0x20);
    if (letter >= L'a' && letter <= L'z' && p[1] == L':' && separator(p[2])) return 3;
    if (separator(p[0]) && separator(p[1])) {
        const size_t server = p.find_first_of(L"\\/", 2);
        if (server == std::wstring_view::npos) return p.size();
        const size_t share = p.find_first_of(L"\\/", server + 1);
        return share == std::wstring_view::npos ? p.size() : share + 1;
    }
    return 0;
}

std::vector<std::wstring> pathChain(const std::wstring& path) {
    const size_t root = rootLength(path);
    std::vector<std::wstring> chain{path.substr(0, root)};
    for (size_t start = root; start < path.size();) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        chain.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return chain;
}

std::wstring ancestorPath(const std::wstring& path, size_t level) {
    const size_t root = rootLength(path);
    if (level == 0) return path.substr(0, root);
    // Cut after that many folders: the separator after the level-th name.
    size_t end = root;
    for (size_t i = 0; i < level; ++i) {
        end = path.find(L'\\', end + 1);
        if (end == std::wstring::npos) return path;
    }
    return path.substr(0, end);
}

std::wstring childPath(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

std::wstring folderOf(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos) return L".";
    return path.substr(0, std::max(cut, rootLength(path)));
}

std::string applicationFolder() {
    if (folderOverride()) return *folderOverride();
    std::wstring module(32768, L'\0');
    module.resize(GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size())));
    return narrow(folderOf(module));
}

void setApplicationFolder(std::string folder) {
    if (folder.empty())
        folderOverride().reset();
    else
        folderOverride() = std::move(folder);
}

}  // namespace platform
