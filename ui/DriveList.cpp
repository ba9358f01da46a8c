#include "ui/Controls.h"

#include <algorithm>
#include <cwchar>

#include "platform/Text.h"

namespace ui {

void DriveList::create(HWND parent, UINT id, int dpi) {
    ComboBox::create(parent, id, dpi);
    refresh();
}

void DriveList::command(WORD notification) {
    // Drives come and go: a fresh look each time the list is opened.
    if (notification == CBN_DROPDOWN) refresh();
    ComboBox::command(notification);
}

std::string DriveList::drive() const {
    const std::string shown = selectedText();
    return shown.substr(0, 2);
}

void DriveList::refresh() {
    HWND h = hwnd();
    std::string keep = drive();
    if (keep.empty()) {
        wchar_t cwd[MAX_PATH] = L"";
        GetCurrentDirectoryW(MAX_PATH, cwd);
        keep = platform::narrow(std::wstring_view(cwd, std::min<size_t>(2, wcslen(cwd))));
    }
    SendMessageW(h, CB_RESETCONTENT, 0, 0);
    const DWORD drives = GetLogicalDrives();
    LRESULT chosen = CB_ERR;
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i))) continue;
        const wchar_t letter = static_cast<wchar_t>(L'a' + i);
        std::wstring item{letter, L':'};
        const std::wstring root{letter, L':', L'\\'};
        const UINT type = GetDriveTypeW(root.c_str());
        // Asking a removable or network drive for its label can wait on the
        // device; only local disks are asked.
        wchar_t label[MAX_PATH + 1] = L"";
        if ((type == DRIVE_FIXED || type == DRIVE_RAMDISK) &&
            GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) &&
            *label)
            item += std::wstring(L" [") + label + L"]";
        const LRESULT at = SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        if (keep.size() == 2 && (keep[0] | 0x20) == letter) chosen = at;
    }
    if (chosen != CB_ERR) SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

bool DriveList::chooseDrive(std::string_view drive) {
    HWND h = hwnd();
    if (drive.empty()) return false;
    const char letter = static_cast<char>(drive[0] | 0x20);
    const LRESULT n = SendMessageW(h, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        const std::string item = itemText(i);
        if (item.empty() || item[0] != letter) continue;
        SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        sendClick(CBN_SELCHANGE);
        return true;
    }
    return false;
}

}  // namespace ui
