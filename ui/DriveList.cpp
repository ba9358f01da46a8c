#include "ui/Controls.h"

#include <algorithm>
#include <cstring>

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
        char cwd[MAX_PATH] = "";
        GetCurrentDirectoryA(MAX_PATH, cwd);
        keep.assign(cwd, std::min<size_t>(2, strlen(cwd)));
    }
    SendMessageA(h, CB_RESETCONTENT, 0, 0);
    const DWORD drives = GetLogicalDrives();
    LRESULT chosen = CB_ERR;
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i))) continue;
        const char letter = static_cast<char>('a' + i);
        std::string item{letter, ':'};
        const std::string root{letter, ':', '\\'};
        const UINT type = GetDriveTypeA(root.c_str());
        // Asking a removable or network drive for its label can wait on the
        // device; only local disks are asked.
        char label[MAX_PATH + 1] = "";
        if ((type == DRIVE_FIXED || type == DRIVE_RAMDISK) &&
            GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0) &&
            *label)
            item += std::string(" [") + label + "]";
        const LRESULT at = SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        if (keep.size() == 2 && (keep[0] | 0x20) == letter) chosen = at;
    }
    if (chosen != CB_ERR) SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

bool DriveList::chooseDrive(std::string_view drive) {
    HWND h = hwnd();
    if (drive.empty()) return false;
    const char letter = static_cast<char>(drive[0] | 0x20);
    const LRESULT n = SendMessageA(h, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char text[MAX_PATH + 8] = "";
        if (SendMessageA(h, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) >= MAX_PATH) continue;
        SendMessageA(h, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        if (text[0] == letter) {
            SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            sendClick(CBN_SELCHANGE);
            return true;
        }
    }
    return false;
}

}  // namespace ui
