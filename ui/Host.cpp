#include "ui/Host.h"

#include <shellapi.h>
#include <shobjidl.h>

#include <cwchar>
#include <memory>
#include <vector>

#include "platform/Handles.h"
#include "platform/Paths.h"
#include "platform/SystemLibrary.h"
#include "platform/Text.h"
#include "ui/FileDialogs.h"

namespace ui {
namespace {

using platform::Com;
// A string the shell allocated for us.
struct CoTaskFree {
    void operator()(wchar_t* p) const { CoTaskMemFree(p); }
};
using CoTaskString = std::unique_ptr<wchar_t, CoTaskFree>;

// The name box of a file dialog takes no more than a path of MAX_PATH
// characters leaves room for in the folder it shows. Windows' dialog takes
// no longer path (the shell's names end there), and Wine's copies the folder
// and the name into a buffer of that size, past its end for a longer one,
// which ends the program.
void limitNameBox(IFileDialog& dialog) {
    IOleWindow* ole = nullptr;
    HWND window = nullptr;
    if (FAILED(dialog.QueryInterface(IID_PPV_ARGS(&ole))) || FAILED(Com<IOleWindow>(ole)->GetWindow(&window)))
        return;
    size_t folder = 0;
    IShellItem* item = nullptr;
    if (SUCCEEDED(dialog.GetFolder(&item))) {
        PWSTR path = nullptr;
        if (SUCCEEDED(Com<IShellItem>(item)->GetDisplayName(SIGDN_FILESYSPATH, &path)))
            folder = wcslen(CoTaskString(path).get());
    }
    // The folder, a separator, the name, an extension the dialog may add and
    // the terminating NUL.
    constexpr size_t kAround = 1 + 8 + 1;
    const auto room = static_cast<LPARAM>(folder + kAround < MAX_PATH ? MAX_PATH - kAround - folder : 1);
    EnumChildWindows(
        window,
        [](HWND child, LPARAM limit) {
            wchar_t kind[8] = L"";
            GetClassNameW(child, kind, 8);
            if (_wcsicmp(kind, L"Edit") == 0)
                SendMessageW(child, EM_SETLIMITTEXT, static_cast<WPARAM>(limit), 0);
            return TRUE;
        },
        room);
}

// Keeps what the name box of a file dialog holds when the user confirms it.
// Only then can it be read on every platform: once the dialog is closed,
// Wine's GetFileName gives nothing. Keeps the box within its limit in every
// folder the dialog shows. Lives on the caller's stack, longer than the
// dialog holds it, so it counts no references.
class NameAtOk final : public IFileDialogEvents {
public:
    std::wstring typed;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid != __uuidof(IUnknown) && riid != __uuidof(IFileDialogEvents)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IFileDialogEvents*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE OnFileOk(IFileDialog* dialog) override {
        PWSTR name = nullptr;
        if (SUCCEEDED(dialog->GetFileName(&name))) typed = CoTaskString(name).get();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnFolderChanging(IFileDialog*, IShellItem*) override { return S_OK; }
    // Also when the dialog opens at its first folder.
    HRESULT STDMETHODCALLTYPE OnFolderChange(IFileDialog* dialog) override {
        limitNameBox(*dialog);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnSelectionChange(IFileDialog*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShareViolation(IFileDialog*, IShellItem*,
                                               FDE_SHAREVIOLATION_RESPONSE*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE OnTypeChange(IFileDialog*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnOverwrite(IFileDialog*, IShellItem*, FDE_OVERWRITE_RESPONSE*) override {
        return E_NOTIMPL;
    }
};

class RealHost final : public Host {
public:
    Answer messageBox(HWND owner, std::string_view prompt, std::string_view title, Icon icon,
                      Buttons buttons) override {
        UINT style = buttons == Buttons::YesNo         ? MB_YESNO
                     : buttons == Buttons::RetryCancel ? MB_RETRYCANCEL
                                                       : MB_OK;
        if (icon == Icon::Information) style |= MB_ICONINFORMATION;
        if (icon == Icon::Exclamation) style |= MB_ICONEXCLAMATION;
        const std::wstring p = platform::widen(prompt), t = platform::widen(title);
        switch (MessageBoxW(owner, p.c_str(), t.c_str(), style)) {
            case IDYES: return Answer::Yes;
            case IDNO: return Answer::No;
            case IDRETRY: return Answer::Retry;
            case IDCANCEL: return Answer::Cancel;
            default: return Answer::Ok;
        }
    }

    std::optional<FileChoice> chooseFile(HWND owner, const FileDialog& d) override {
        const CLSID& kind = d.kind == FileDialog::Save ? __uuidof(FileSaveDialog) : __uuidof(FileOpenDialog);
        NameAtOk name;  // declared first: it outlives the dialog
        IFileDialog* created = nullptr;
        if (FAILED(CoCreateInstance(kind, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&created))))
            return std::nullopt;
        const Com<IFileDialog> dialog(created);
        if (FAILED(prepareFileDialog(*dialog, d))) return std::nullopt;
        DWORD cookie = 0;
        const bool advised = SUCCEEDED(dialog->Advise(&name, &cookie));
        // A cancel reports ERROR_CANCELLED; it ends the request as any failure does.
        const HRESULT shown = dialog->Show(owner);
        if (advised) dialog->Unadvise(cookie);
        if (FAILED(shown)) return std::nullopt;
        IShellItem* chosen = nullptr;
        if (FAILED(dialog->GetResult(&chosen))) return std::nullopt;
        const Com<IShellItem> item(chosen);
        PWSTR got = nullptr;
        if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &got))) return std::nullopt;
        std::wstring path = CoTaskString(got).get();
        // The extension a save dialog may add is that of the file type chosen in it.
        UINT type = 1;
        if (FAILED(dialog->GetFileTypeIndex(&type)) || type < 1 || type > d.filters.size()) type = 1;
        if (d.kind == FileDialog::Save && !d.filters.empty())
            path = nameAsTyped(path, name.typed, platform::widen(d.filters[type - 1].pattern));
        FileChoice choice;
        choice.exact = platform::toUtf8(path, choice.path);
        if (!choice.exact) choice.path = platform::narrow(path);
        if (choice.path.empty()) return std::nullopt;
        return choice;
    }

    bool openWithShell(std::string_view target) override {
        const std::wstring t = platform::widen(target);
        const auto open = platform::systemCall<decltype(&ShellExecuteExW)>(L"shell32.dll", "ShellExecuteExW");
        // No box of the shell's own (or its offer of an app to install): the
        // caller tells the user, with the address.
        SHELLEXECUTEINFOW run{};
        run.cbSize = sizeof run;
        run.fMask = SEE_MASK_FLAG_NO_UI;
        run.lpVerb = L"open";
        run.lpFile = t.c_str();
        run.nShow = SW_SHOWNORMAL;
        return open && open(&run);
    }

    void endProgram() override { PostQuitMessage(0); }
};

RealHost realHost;
Host* current = &realHost;

}  // namespace

HRESULT prepareFileDialog(IFileDialog& dialog, const FileDialog& wanted) {
    // SetFileTypes copies the texts; till then they live here.
    std::vector<std::wstring> texts;
    for (const FileFilter& f : wanted.filters) {
        texts.push_back(platform::widen(f.description));
        texts.push_back(platform::widen(f.pattern));
    }
    std::vector<COMDLG_FILTERSPEC> specs;
    for (size_t i = 0; i < texts.size(); i += 2) specs.push_back({texts[i].c_str(), texts[i + 1].c_str()});
    HRESULT hr = specs.empty() ? S_OK : dialog.SetFileTypes(static_cast<UINT>(specs.size()), specs.data());
    if (SUCCEEDED(hr) && !wanted.title.empty()) hr = dialog.SetTitle(platform::widen(wanted.title).c_str());
    FILEOPENDIALOGOPTIONS options = 0;
    if (SUCCEEDED(hr)) hr = dialog.GetOptions(&options);
    if (SUCCEEDED(hr)) {
        // Any name may be typed, with no question before one is replaced; the
        // program itself says what it could not read or write. A chosen
        // shortcut gives its target, as links are followed by default.
        options &= ~static_cast<FILEOPENDIALOGOPTIONS>(FOS_OVERWRITEPROMPT | FOS_FILEMUSTEXIST |
                                                       FOS_PATHMUSTEXIST | FOS_CREATEPROMPT);
        hr = dialog.SetOptions(options | FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR | FOS_NOTESTFILECREATE);
    }
    std::wstring folder;
    if (SUCCEEDED(hr) && !wanted.initialFolder.empty() && platform::toWide(wanted.initialFolder, folder)) {
        // shell32 is loaded with the first dialog, not at start.
        const auto parse = platform::systemCall<decltype(&SHCreateItemFromParsingName)>(
            L"shell32.dll", "SHCreateItemFromParsingName");
        // The nearest folder on the way up that the shell takes as it is: it
        // drops a trailing dot or space from a name ("twin." gives "twin"), and
        // the dialog must not open at a namesake. None leaves the dialog where
        // it would open anyway.
        while (parse) {
            IShellItem* item = nullptr;
            PWSTR got = nullptr;
            if (SUCCEEDED(parse(folder.c_str(), nullptr, IID_PPV_ARGS(&item)))) {
                const Com<IShellItem> parsed(item);
                if (SUCCEEDED(parsed->GetDisplayName(SIGDN_FILESYSPATH, &got)) &&
                    CompareStringOrdinal(CoTaskString(got).get(), -1, folder.c_str(), -1, TRUE) ==
                        CSTR_EQUAL) {
                    dialog.SetFolder(parsed.get());
                    break;
                }
            }
            const std::wstring up = platform::folderOf(folder);
            if (up == folder) break;
            folder = up;
        }
    }
    return hr;
}

std::wstring nameAsTyped(const std::wstring& chosen, const std::wstring& typed, const std::wstring& pattern) {
    if (!pattern.starts_with(L"*.")) return chosen;
    const std::wstring added = pattern.substr(1);  // ".hwl"
    const std::wstring name = L"\\" + typed.substr(typed.find_last_of(L"\\/") + 1);
    if (name.size() == 1 || chosen.size() < name.size() + added.size()) return chosen;
    // Only the filter's extension right after the whole typed name goes.
    const size_t at = chosen.size() - added.size();
    const bool lengthened =
        chosen.compare(at - name.size(), name.size(), name) == 0 &&
        CompareStringOrdinal(chosen.c_str() + at, static_cast<int>(added.size()), added.c_str(),
                             static_cast<int>(added.size()), TRUE) == CSTR_EQUAL;
    return lengthened ? chosen.substr(0, at) : chosen;
}

Host& host() { return *current; }
void setHost(Host* h) { current = h ? h : &realHost; }

}  // namespace ui
