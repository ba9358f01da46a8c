#include "ui/Host.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "ui/Text.h"

namespace ui {
namespace {

using FileDialogCall = BOOL(WINAPI*)(OPENFILENAMEW*);

// The file dialogs' library is loaded when the first dialog opens, not at
// start: with the libraries it brings along it costs a good part of the
// start-up time. Only from the system folder, never from the program's.
FileDialogCall fileDialogCall(FileDialog::Kind kind) {
    static const HMODULE dll = LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!dll) return nullptr;
    const FARPROC call =
        GetProcAddress(dll, kind == FileDialog::Save ? "GetSaveFileNameW" : "GetOpenFileNameW");
    return reinterpret_cast<FileDialogCall>(reinterpret_cast<void*>(call));
}

class RealHost final : public Host {
public:
    Answer messageBox(HWND owner, std::string_view prompt, std::string_view title, Icon icon,
                      Buttons buttons) override {
        UINT style = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
        if (icon == Icon::Information) style |= MB_ICONINFORMATION;
        if (icon == Icon::Exclamation) style |= MB_ICONEXCLAMATION;
        const std::string p(prompt), t(title);
        switch (MessageBoxA(owner, p.c_str(), t.c_str(), style)) {
            case IDYES: return Answer::Yes;
            case IDNO: return Answer::No;
            default: return Answer::Ok;
        }
    }

    std::optional<FileChoice> chooseFile(HWND owner, const FileDialog& d) override {
        // The wide dialog, so that a name the code page cannot hold is seen as
        // such instead of arriving with question marks in it.
        std::wstring filter = fromAnsi(d.filterDescription);
        filter += L'\0';
        filter += fromAnsi(d.filterPattern);
        filter += L'\0';
        const std::wstring title = fromAnsi(d.title), folder = fromAnsi(d.initialFolder);
        std::vector<wchar_t> name(32768, L'\0');

        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = filter.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = name.data();
        ofn.nMaxFile = static_cast<DWORD>(name.size());
        ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
        ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
        ofn.Flags = OFN_EXPLORER;
        const FileDialogCall show = fileDialogCall(d.kind);
        const BOOL ok = show && show(&ofn);
        if (!ok || name[0] == L'\0') return std::nullopt;
        FileChoice choice;
        choice.fitsCodePage = toAnsi(name.data(), choice.path);
        return choice;
    }

    void openWithShell(std::string_view target) override {
        const std::string t(target);
        ShellExecuteA(nullptr, "Open", t.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }

    void endProgram() override { PostQuitMessage(0); }
};

RealHost realHost;
Host* current = &realHost;

}  // namespace

Host& host() { return *current; }
void setHost(Host* h) { current = h ? h : &realHost; }

}  // namespace ui
