#include "ui/Controls.h"

#include <commctrl.h>
#include <commoncontrols.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>

#include "platform/Handles.h"
#include "platform/Paths.h"
#include "platform/SystemLibrary.h"
#include "platform/Text.h"
#include "ui/Form.h"
#include "ui/Guard.h"

namespace ui {

namespace {

// The size the list draws its icons at, as the small icons of that DPI.
int iconSize(int dpi) { return MulDiv(16, dpi, 96); }

// The shell's folder icon, from the smallest of its icon lists that holds it
// at `size` pixels or more: the small icons are the size for the system's
// DPI, which need not be the window's.
platform::IconHandle shellFolderIcon(bool open, int size) {
    // shell32 is loaded with the first folder list, not at start.
    const auto getInfo = platform::systemCall<decltype(&SHGetFileInfoW)>(L"shell32.dll", "SHGetFileInfoW");
    const auto getList = platform::systemCall<decltype(&SHGetImageList)>(L"shell32.dll", "SHGetImageList");
    SHFILEINFOW info{};
    if (!getInfo || !getList ||
        !getInfo(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                 SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | (open ? SHGFI_OPENICON : 0)))
        return {};
    platform::IconHandle icon;
    for (const int which : {SHIL_SMALL, SHIL_LARGE, SHIL_EXTRALARGE, SHIL_JUMBO}) {
        IImageList* got = nullptr;
        if (FAILED(getList(which, IID_PPV_ARGS(&got)))) continue;
        const platform::Com<IImageList> list(got);
        HICON h = nullptr;
        int cx = 0, cy = 0;
        if (FAILED(list->GetIcon(info.iIcon, ILD_TRANSPARENT, &h)) || !h) continue;
        icon.reset(h);
        if (SUCCEEDED(list->GetIconSize(&cx, &cy)) && cx >= size) break;
    }
    return icon;
}

}  // namespace

void FolderList::create(HWND parent, UINT id, int dpi) {
    if (!createWindow(
            WC_LISTBOXW,
            LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
            WS_EX_CLIENTEDGE, parent, id, dpi))
        return;
    SetWindowSubclass(hwnd_, &FolderList::subclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
    wchar_t cwd[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, cwd);
    if (!navigate(cwd)) navigate(L"C:\\");
}

void FolderList::destroyed() {
    Control::destroyed();
    entries_.clear();
    path_.clear();
    current_ = 0;
    openIcon_.reset();
    closedIcon_.reset();
}

std::string FolderList::path() const {
    loadOwner();
    return platform::narrow(path_);
}

bool FolderList::pathIsExact() const {
    loadOwner();
    std::string out;
    return platform::toUtf8(path_, out);
}

bool FolderList::setPath(std::string_view path) {
    loadOwner();
    std::wstring wide;
    return platform::toWide(path, wide) && navigate(wide);
}

int FolderList::listCount() const {
    loadOwner();
    return static_cast<int>(entries_.size());
}

std::string FolderList::list(int index) const {
    loadOwner();
    if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return {};
    return platform::narrow(entryPath(static_cast<size_t>(index)));
}

int FolderList::listIndex() const {
    const LRESULT i = SendMessageW(hwnd(), LB_GETCURSEL, 0, 0);
    return i == LB_ERR ? -1 : static_cast<int>(i);
}

void FolderList::highlight(int index) { SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void FolderList::open(int index) {
    highlight(index);
    sendClick(LBN_DBLCLK);
}

void FolderList::command(WORD notification) {
    if (notification != LBN_DBLCLK) return;
    const int i = listIndex();
    if (i >= 0 && static_cast<size_t>(i) < entries_.size()) navigate(entryPath(static_cast<size_t>(i)));
}

std::wstring FolderList::entryPath(size_t index) const {
    if (index == current_) return path_;
    return index < current_ ? platform::ancestorPath(path_, index)
                            : platform::childPath(path_, entries_[index].name);
}

bool FolderList::navigate(const std::wstring& requested) {
    if (requested.empty()) return false;
    // A full path is taken name by name, as the list shows it: the platform's
    // own reading would drop a trailing dot or space ("twin." would open
    // "twin"). "x:" alone, that drive's current folder, is the platform's.
    std::wstring full = requested;
    if (platform::rootLength(requested) == 0) {
        full.assign(32768, L'\0');
        const DWORD n =
            GetFullPathNameW(requested.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0 || n >= full.size()) return false;
        full.resize(n);
        if (platform::rootLength(full) == 0) return false;
    }
    full = platform::normalPath(full);

    const std::wstring longForm = platform::exactPath(full);
    const DWORD attributes = GetFileAttributesW(longForm.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;

    std::vector<std::wstring> subfolders;
    const std::wstring pattern = platform::childPath(longForm, L"*");
    WIN32_FIND_DATAW fd;
    platform::FindHandle find(
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &fd, FindExSearchLimitToDirectories, nullptr, 0));
    if (!find && GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_ACCESS_DENIED)
        return false;  // the drive is not ready
    if (find) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
            if (wcscmp(fd.cFileName, L".") == 0 || wcscmp(fd.cFileName, L"..") == 0) continue;
            subfolders.emplace_back(fd.cFileName);
        } while (FindNextFileW(find.get(), &fd));
    }
    std::sort(subfolders.begin(), subfolders.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
               CSTR_LESS_THAN;
    });

    entries_.clear();
    for (std::wstring& name : platform::pathChain(full))
        entries_.push_back({std::move(name), static_cast<int>(entries_.size()), true});
    path_ = std::move(full);
    current_ = entries_.size() - 1;
    for (std::wstring& name : subfolders)
        entries_.push_back({std::move(name), static_cast<int>(current_) + 1, false});
    fill();
    return true;
}

void FolderList::fill() {
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
    // The items hold the folders' names although the list draws them: screen
    // readers read them, and a typed letter goes to the next folder with it.
    for (const Entry& e : entries_)
        SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.name.c_str()));
    SendMessageW(hwnd_, LB_SETCURSEL, current_, 0);
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void FolderList::measureItem(MEASUREITEMSTRUCT& mi, int dpi) {
    mi.itemHeight = static_cast<UINT>(MulDiv(18, dpi, 96));
}

// Also when the window is made: the icons come at the size its DPI draws.
void FolderList::dpiChanged(int dpi) {
    if (!hwnd_) return;
    SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, MulDiv(18, dpi, 96));
    openIcon_ = shellFolderIcon(true, iconSize(dpi));
    closedIcon_ = shellFolderIcon(false, iconSize(dpi));
}

void FolderList::drawItem(const DRAWITEMSTRUCT& di) {
    if (di.itemID >= entries_.size()) return;  // also none, (UINT)-1
    const Entry& e = entries_[di.itemID];
    const bool selected = di.itemState & ODS_SELECTED;
    const int dpi = owner_.dpi();
    FillRect(di.hDC, &di.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int icon = iconSize(dpi);
    const int x = di.rcItem.left + MulDiv(2 + 10 * e.level, dpi, 96);
    const int y = di.rcItem.top + (di.rcItem.bottom - di.rcItem.top - icon) / 2;
    if (HICON h = (e.open ? openIcon_ : closedIcon_).get())
        DrawIconEx(di.hDC, x, y, h, icon, icon, 0, nullptr, DI_NORMAL);
    RECT text = di.rcItem;
    text.left = x + icon + MulDiv(4, dpi, 96);
    SetBkMode(di.hDC, TRANSPARENT);
    SetTextColor(di.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawTextW(di.hDC, e.name.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (di.itemState & ODS_FOCUS) DrawFocusRect(di.hDC, &di.rcItem);
}

LRESULT CALLBACK FolderList::subclassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<FolderList*>(data);
    return guarded(h, [&]() -> LRESULT {
        switch (msg) {
            case WM_GETDLGCODE:
                if (wp == VK_RETURN) return DefSubclassProc(h, msg, wp, lp) | DLGC_WANTALLKEYS;
                break;
            case WM_KEYDOWN:
                if (wp == VK_RETURN) {  // opens the highlighted entry, as a double-click does
                    self->sendClick(LBN_DBLCLK);
                    return 0;
                }
                break;
            case WM_NCDESTROY: RemoveWindowSubclass(h, &FolderList::subclassProc, 0); break;
        }
        return DefSubclassProc(h, msg, wp, lp);
    });
}

}  // namespace ui
