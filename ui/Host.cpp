#include "ui/Host.h"

#include <shellapi.h>
#include <shobjidl.h>

#include <memory>

#include "platform/Handles.h"
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

class RealHost final : public Host {
public:
    Answer messageBox(HWND owner, std::string_view prompt, std::string_view title, Icon icon,
                      Buttons buttons) override {
        UINT style = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
        if (icon == Icon::Information) style |= MB_ICONINFORMATION;
        if (icon == Icon::Exclamation) style |= MB_ICONEXCLAMATION;
        const std::wstring p = platform::widen(prompt), t = platform::widen(title);
        switch (MessageBoxW(owner, p.c_str(), t.c_str(), style)) {
            case IDYES: return Answer::Yes;
            case IDNO: return Answer::No;
            default: return Answer::Ok;
        }
    }

    std::optional<FileChoice> chooseFile(HWND owner, const FileDialog& d) override {
        const CLSID& kind = d.kind == FileDialog::Save ? __uuidof(FileSaveDialog) : __uuidof(FileOpenDialog);
        IFileDialog* created = nullptr;
        if (FAILED(CoCreateInstance(kind, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&created))))
            return std::nullopt;
        const Com<IFileDialog> dialog(created);
        // A cancel reports ERROR_CANCELLED; it ends the request as any failure does.
        if (FAILED(prepareFileDialog(*dialog, d)) || FAILED(dialog->Show(owner))) return std::nullopt;
        IShellItem* chosen = nullptr;
        if (FAILED(dialog->GetResult(&chosen))) return std::nullopt;
        const Com<IShellItem> item(chosen);
        PWSTR got = nullptr;
        if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &got))) return std::nullopt;
        std::wstring path = CoTaskString(got).get();
        PWSTR typed = nullptr;
        if (d.kind == FileDialog::Save && SUCCEEDED(dialog->GetFileName(&typed)))
            path = nameAsTyped(path, CoTaskString(typed).get(), platform::widen(d.filterPattern));
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
    const std::wstring description = platform::widen(wanted.filterDescription);
    const std::wstring pattern = platform::widen(wanted.filterPattern);
    const COMDLG_FILTERSPEC filter{description.c_str(), pattern.c_str()};
    HRESULT hr = dialog.SetFileTypes(1, &filter);
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
        IShellItem* item = nullptr;
        // A folder that is gone leaves the dialog where it would open anyway.
        if (parse && SUCCEEDED(parse(folder.c_str(), nullptr, IID_PPV_ARGS(&item))))
            dialog.SetFolder(Com<IShellItem>(item).get());
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
