#include "ui/Host.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "ui/SystemLibrary.h"
#include "ui/Text.h"

namespace ui {
namespace {

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
        ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;  // "open as read-only" means nothing here
        // Loaded with the first dialog: only export, import and hiding a file need one.
        const auto show = systemCall<decltype(&GetOpenFileNameW)>(
            L"comdlg32.dll", d.kind == FileDialog::Save ? "GetSaveFileNameW" : "GetOpenFileNameW");
        const BOOL ok = show && show(&ofn);
        if (!ok || name[0] == L'\0') return std::nullopt;
        FileChoice choice;
        choice.fitsCodePage = toAnsi(name.data(), choice.path);
        return choice;
    }

    void openWithShell(std::string_view target) override {
        const std::string t(target);
        if (const auto open = systemCall<decltype(&ShellExecuteA)>(L"shell32.dll", "ShellExecuteA"))
            open(nullptr, "Open", t.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }

    void endProgram() override { PostQuitMessage(0); }
};

RealHost realHost;
Host* current = &realHost;

}  // namespace

Host& host() { return *current; }
void setHost(Host* h) { current = h ? h : &realHost; }

}  // namespace ui
