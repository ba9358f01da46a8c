#include "ui/Controls.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>

#include "resource.h"
#include "ui/Dpi.h"
#include "ui/Form.h"
#include "ui/Paths.h"
#include "ui/SystemLibrary.h"
#include "ui/Text.h"

namespace ui {

// ---- Control ----------------------------------------------------------------

Control::Control(Form* owner, Design design) : owner_(*owner), design_(design) {
    owner_.controls_.push_back(this);
}

HWND Control::hwnd() const {
    if (!owner_.loaded()) owner_.load();
    return hwnd_;
}

std::string Control::text() const {
    HWND h = hwnd();
    std::string s(static_cast<size_t>(GetWindowTextLengthA(h)) + 1, '\0');
    s.resize(static_cast<size_t>(GetWindowTextA(h, s.data(), static_cast<int>(s.size()))));
    return s;
}

void Control::setText(std::string_view text) { SetWindowTextA(hwnd(), std::string(text).c_str()); }

void Control::setFocus() { SetFocus(hwnd()); }

bool Control::hasFocus() const { return hwnd_ && GetFocus() == hwnd_; }

RECT Control::pixelRect(int dpi) const {
    int left = design_.rect.left, top = design_.rect.top;
    for (const Control* c = design_.container; c; c = c->design_.container) {
        left += c->design_.rect.left;
        top += c->design_.rect.top;
    }
    RECT r;
    r.left = twipsToPixels(left, dpi);
    r.top = twipsToPixels(top, dpi);
    r.right = twipsToPixels(left + design_.rect.width, dpi);
    r.bottom = twipsToPixels(top + design_.rect.height, dpi);
    return r;
}

HWND Control::createWindow(const char* cls, DWORD style, DWORD exStyle, HWND parent, UINT id, int dpi) {
    id_ = id;
    if (design_.visible) style |= WS_VISIBLE;
    const RECT r = pixelRect(dpi);
    hwnd_ = CreateWindowExA(exStyle, cls, design_.caption, WS_CHILD | style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top + listHeight(dpi), parent,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleA(nullptr),
                            nullptr);
    if (design_.back != Default) backBrush_.reset(CreateSolidBrush(design_.back));
    return hwnd_;
}

HBRUSH Control::colours(HDC dc) {
    // Boxes and lists stand on the window colour, the rest on the form's.
    const bool input = takesInput();
    SetTextColor(
        dc, design_.fore != Default ? design_.fore : GetSysColor(input ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
    if (backBrush_) {
        SetBkColor(dc, design_.back);
        return backBrush_.get();
    }
    if (input) {
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return GetSysColorBrush(COLOR_WINDOW);
    }
    SetBkColor(dc, owner_.backColour());
    SetBkMode(dc, TRANSPARENT);
    return owner_.backBrush();
}

void Control::sendClick(WORD notification) {
    SendMessageA(owner_.hwnd(), WM_COMMAND, MAKEWPARAM(id_, notification), reinterpret_cast<LPARAM>(hwnd()));
}

void Control::placeAfterTextOf(const Control& other) {
    // Let the platform wrap the other's text as its static control does; the
    // last line starts at the last word that no longer fits on the line before.
    const RECT box = other.pixelRect(owner_.dpi());
    const std::string text(other.design_.caption);
    HDC dc = GetDC(owner_.hwnd_);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(other.hwnd_, WM_GETFONT, 0, 0)));
    auto height = [&](size_t length) {
        RECT r{0, 0, box.right - box.left, 0};
        DrawTextA(dc, text.c_str(), static_cast<int>(length), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        return r.bottom;
    };
    const int full = height(text.size());
    size_t lastLine = 0;
    for (size_t at = text.find(' '); at != std::string::npos; at = text.find(' ', at + 1))
        if (height(at) < full) lastLine = at + 1;
    const std::string tail = text.substr(lastLine) + " ";
    SIZE tailSize{};
    GetTextExtentPoint32A(dc, tail.c_str(), static_cast<int>(tail.size()), &tailSize);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    // This label takes the size of its own text.
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)));
    SIZE own{};
    GetTextExtentPoint32A(dc, design_.caption, static_cast<int>(strlen(design_.caption)), &own);
    SelectObject(dc, old);
    ReleaseDC(owner_.hwnd_, dc);
    int x = box.left + tailSize.cx, y = box.top + full - tm.tmHeight;
    // No room left on that line: the sentence goes on at the next.
    if (x + own.cx > box.right) {
        x = box.left;
        y += tm.tmHeight;
    }
    SetWindowPos(hwnd_, nullptr, x, y, own.cx + 1, own.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Label ------------------------------------------------------------------

void Label::create(HWND parent, UINT id, int dpi) {
    DWORD style = SS_NOPREFIX | SS_NOTIFY;
    if (design_.align == Align::Center) style |= SS_CENTER;
    if (design_.align == Align::Right) style |= SS_RIGHT;
    createWindow(WC_STATICA, style, 0, parent, id, dpi);
}

void Label::command(WORD notification) {
    if (notification == STN_CLICKED && Click) Click();
}

void Label::click() { sendClick(STN_CLICKED); }

std::string Label::toolTipText() const {
    HWND h = hwnd();
    HWND tip = owner_.toolTip_;
    if (!tip) return {};
    std::string buffer(1024, '\0');  // the tooltip's own limit (INFOTIPSIZE)
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = owner_.hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(h);
    ti.lpszText = buffer.data();
    SendMessageA(tip, TTM_GETTEXTA, buffer.size(), reinterpret_cast<LPARAM>(&ti));
    buffer.resize(strnlen(buffer.data(), buffer.size()));
    return buffer;
}

// ---- Button -----------------------------------------------------------------

void Button::create(HWND parent, UINT id, int dpi) {
    if (createWindow(WC_BUTTONA, BS_PUSHBUTTON | WS_TABSTOP, 0, parent, id, dpi))
        SetWindowSubclass(hwnd_, &Button::subclassProc, 0, 0);
}

void Button::command(WORD notification) {
    if (notification == BN_CLICKED && Click) Click();
}

void Button::click() { sendClick(BN_CLICKED); }

LRESULT CALLBACK Button::subclassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    switch (msg) {
        // A focused button takes Enter, as in dialogs; there is no default
        // button otherwise.
        case WM_SETFOCUS: SendMessageA(h, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE); break;
        case WM_KILLFOCUS: SendMessageA(h, BM_SETSTYLE, BS_PUSHBUTTON, TRUE); break;
        case WM_NCDESTROY: RemoveWindowSubclass(h, &Button::subclassProc, 0); break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

// ---- TextBox ----------------------------------------------------------------

void TextBox::create(HWND parent, UINT id, int dpi) {
    DWORD style = ES_AUTOHSCROLL | WS_TABSTOP;
    if (design_.password) style |= ES_PASSWORD;
    if (!createWindow(WC_EDITA, style, WS_EX_CLIENTEDGE, parent, id, dpi)) return;
    SendMessageA(hwnd_, EM_LIMITTEXT, 0, 0);  // no length limit
    if (design_.password) SendMessageA(hwnd_, EM_SETPASSWORDCHAR, '*', 0);
    SetWindowSubclass(hwnd_, &TextBox::subclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK TextBox::subclassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<TextBox*>(data);
    switch (msg) {
        case WM_GETDLGCODE:
            // Enter comes to this box, not to the window's dialog keys, when
            // the box has a key-press handler.
            if (wp == VK_RETURN && self->KeyPress) return DefSubclassProc(h, msg, wp, lp) | DLGC_WANTALLKEYS;
            break;
        case WM_CHAR:
            if (self->KeyPress) {
                const int key = static_cast<int>(wp & 0xFF);
                self->KeyPress(key);
                // Enter means nothing to a single-line box but a beep.
                if (key == VK_RETURN) return 0;
                if (!IsWindow(h)) return 0;
            }
            break;
        case WM_NCDESTROY: RemoveWindowSubclass(h, &TextBox::subclassProc, 0); break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

// ---- Frame and Shape --------------------------------------------------------

void Frame::create(HWND parent, UINT id, int dpi) {
    createWindow(WC_BUTTONA, BS_GROUPBOX, 0, parent, id, dpi);
}

void Shape::create(HWND parent, UINT id, int dpi) {
    createWindow(WC_STATICA, SS_OWNERDRAW, 0, parent, id, dpi);
}

void Shape::drawItem(const DRAWITEMSTRUCT& di) {
    HBRUSH fill = backBrush_ ? backBrush_.get() : GetSysColorBrush(COLOR_WINDOWTEXT);
    FillRect(di.hDC, &di.rcItem, fill);
    BrushHandle border(CreateSolidBrush(design_.fore != Default ? design_.fore : RGB(0, 0, 0)));
    FrameRect(di.hDC, &di.rcItem, border.get());
}

// ---- Picture ----------------------------------------------------------------

void Picture::create(HWND parent, UINT id, int dpi) {
    createWindow(WC_STATICA, SS_OWNERDRAW, 0, parent, id, dpi);
}

void Picture::dpiChanged(int dpi) {
    const RECT r = pixelRect(dpi);
    icon_.reset(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_HIDEWELL),
                                              IMAGE_ICON, r.right - r.left, r.bottom - r.top, 0)));
}

void Picture::destroyed() {
    Control::destroyed();
    icon_.reset();
}

void Picture::drawItem(const DRAWITEMSTRUCT& di) {
    FillRect(di.hDC, &di.rcItem, owner_.backBrush());
    if (icon_)
        DrawIconEx(di.hDC, 0, 0, icon_.get(), di.rcItem.right - di.rcItem.left,
                   di.rcItem.bottom - di.rcItem.top, 0, nullptr, DI_NORMAL);
}

// ---- ListBox ----------------------------------------------------------------

void ListBox::create(HWND parent, UINT id, int dpi) {
    createWindow(WC_LISTBOXA,
                 LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                 WS_EX_CLIENTEDGE, parent, id, dpi);
    // The items are the window's: a new load starts empty.
    items_.clear();
    widest_ = 0;
}

void ListBox::destroyed() {
    Control::destroyed();
    items_.clear();
    items_.shrink_to_fit();
    widest_ = 0;
}

void ListBox::addItem(std::string item) {
    HWND h = hwnd();
    SendMessageA(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    widen(item);
    items_.push_back(std::move(item));
}

void ListBox::addItems(std::vector<std::string> items) {
    HWND h = hwnd();
    size_t bytes = 0, longest = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        bytes += items[i].size() + 1;
        if (items[i].size() > items[longest].size()) longest = i;
    }
    SendMessageA(h, WM_SETREDRAW, FALSE, 0);
    SendMessageA(h, LB_INITSTORAGE, items.size(), bytes);
    for (const std::string& item : items)
        SendMessageA(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageA(h, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(h, nullptr, TRUE);
    if (!items.empty()) widen(items[longest]);
    if (items_.empty()) {
        items_ = std::move(items);
    } else {
        items_.reserve(items_.size() + items.size());
        std::move(items.begin(), items.end(), std::back_inserter(items_));
    }
}

void ListBox::widen(const std::string& item) {
    // Long paths can be scrolled to sideways.
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, item.c_str(), static_cast<int>(strnlen(item.c_str(), item.size())), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    if (size.cx + 8 > widest_) {
        widest_ = size.cx + 8;
        SendMessageA(hwnd_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest_), 0);
    }
}

void ListBox::removeItem(int index) {
    HWND h = hwnd();
    if (index < 0 || index >= listCount()) return;
    SendMessageA(h, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    items_.erase(items_.begin() + index);
}

void ListBox::clear() {
    SendMessageA(hwnd(), LB_RESETCONTENT, 0, 0);
    items_.clear();
}

int ListBox::listIndex() const {
    const LRESULT i = SendMessageA(hwnd(), LB_GETCURSEL, 0, 0);
    return i == LB_ERR || i >= listCount() ? -1 : static_cast<int>(i);
}

void ListBox::setListIndex(int index) { SendMessageA(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

std::string ListBox::selectedText() const {
    const int i = listIndex();
    return i < 0 ? std::string() : items_[static_cast<size_t>(i)];
}

// ---- ComboBox ---------------------------------------------------------------

void ComboBox::create(HWND parent, UINT id, int dpi) {
    DWORD style = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
    if (design_.sorted) style |= CBS_SORT;
    // The window's height includes the dropped-down list.
    createWindow(WC_COMBOBOXA, style, 0, parent, id, dpi);
}

// Room for about ten items when the list drops down.
int ComboBox::listHeight(int dpi) const { return twipsToPixels(2400, dpi); }

void ComboBox::command(WORD notification) {
    if (notification == CBN_SELCHANGE && Change) Change();
}

void ComboBox::addItem(const std::string& item) {
    SendMessageA(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int ComboBox::listCount() const {
    const LRESULT n = SendMessageA(hwnd(), CB_GETCOUNT, 0, 0);
    return n == CB_ERR ? 0 : static_cast<int>(n);
}

std::string ComboBox::selectedText() const {
    HWND h = hwnd();
    const LRESULT i = SendMessageA(h, CB_GETCURSEL, 0, 0);
    if (i == CB_ERR) return {};
    const LRESULT n = SendMessageA(h, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (n == CB_ERR) return {};
    std::string s(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(h, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
    s.resize(strnlen(s.data(), s.size()));
    return s;
}

bool ComboBox::choose(std::string_view item) {
    HWND h = hwnd();
    const std::string s(item);
    const LRESULT i =
        SendMessageA(h, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(s.c_str()));
    if (i == CB_ERR) return false;
    SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    sendClick(CBN_SELCHANGE);
    return true;
}

// ---- DriveList --------------------------------------------------------------

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

// ---- FolderList -------------------------------------------------------------

namespace {

// Length of the root part of a full path: "C:\" (3) or "\\server\share\".
size_t rootLength(const std::wstring& p) {
    if (p.size() >= 3 && p[1] == L':' && p[2] == L'\\') return 3;
    if (p.rfind(L"\\\\", 0) == 0) {
        size_t server = p.find(L'\\', 2);
        if (server == std::wstring::npos) return p.size();
        size_t share = p.find(L'\\', server + 1);
        return share == std::wstring::npos ? p.size() : share + 1;
    }
    return 0;
}

IconHandle shellFolderIcon(bool open) {
    SHFILEINFOW info{};
    UINT flags = SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES | (open ? SHGFI_OPENICON : 0);
    // shell32 is loaded with the first folder list, not at start.
    if (const auto get = systemCall<decltype(&SHGetFileInfoW)>(L"shell32.dll", "SHGetFileInfoW"))
        get(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags);
    return IconHandle(info.hIcon);
}

}  // namespace

void FolderList::create(HWND parent, UINT id, int dpi) {
    if (!createWindow(WC_LISTBOXA,
                      LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                      WS_EX_CLIENTEDGE, parent, id, dpi))
        return;
    SetWindowSubclass(hwnd_, &FolderList::subclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
    openIcon_ = shellFolderIcon(true);
    closedIcon_ = shellFolderIcon(false);
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
    hwnd();
    std::string out;
    toAnsi(path_, out);
    return out;
}

bool FolderList::pathFitsCodePage() const {
    hwnd();
    std::string out;
    return toAnsi(path_, out);
}

bool FolderList::setPath(std::string_view path) {
    hwnd();
    return navigate(fromAnsi(path));
}

int FolderList::listCount() const {
    hwnd();
    return static_cast<int>(entries_.size());
}

std::string FolderList::list(int index) const {
    hwnd();
    std::string out;
    if (index >= 0 && static_cast<size_t>(index) < entries_.size()) toAnsi(entryPath(index), out);
    return out;
}

int FolderList::listIndex() const {
    const LRESULT i = SendMessageA(hwnd(), LB_GETCURSEL, 0, 0);
    return i == LB_ERR ? -1 : static_cast<int>(i);
}

void FolderList::highlight(int index) { SendMessageA(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

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
    if (index >= current_) {
        if (index == current_) return path_;
        std::wstring p = path_;
        if (p.back() != L'\\') p += L'\\';
        return p + entries_[index].name;
    }
    // An ancestor: the open path cut after that many components.
    const size_t root = rootLength(path_);
    if (index == 0) return path_.substr(0, root);
    size_t end = root;
    for (size_t level = 0; level < index; ++level) {
        end = path_.find(L'\\', end + 1);
        if (end == std::wstring::npos) return path_;
    }
    return path_.substr(0, end);
}

bool FolderList::navigate(const std::wstring& requested) {
    if (requested.empty()) return false;
    // "x:" alone: that drive's current folder.
    std::wstring full(32768, L'\0');
    const DWORD n =
        GetFullPathNameW(requested.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size()) return false;
    full.resize(n);
    const size_t root = rootLength(full);
    if (root == 0) return false;
    while (full.size() > root && full.back() == L'\\') full.pop_back();

    const std::wstring longForm = extendedLengthPath(full);
    const DWORD attributes = GetFileAttributesW(longForm.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;

    std::vector<std::wstring> subfolders;
    std::wstring pattern = longForm;
    if (pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW fd;
    FindHandle find(
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

    path_ = full;
    entries_.clear();
    entries_.push_back({full.substr(0, root), 0, true});
    for (size_t start = root; start < full.size();) {
        size_t end = full.find(L'\\', start);
        if (end == std::wstring::npos) end = full.size();
        entries_.push_back({full.substr(start, end - start), static_cast<int>(entries_.size()), true});
        start = end + 1;
    }
    current_ = entries_.size() - 1;
    for (std::wstring& name : subfolders)
        entries_.push_back({std::move(name), static_cast<int>(current_) + 1, false});
    fill();
    return true;
}

void FolderList::fill() {
    SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
    SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < entries_.size(); ++i) SendMessageA(hwnd_, LB_ADDSTRING, 0, static_cast<LPARAM>(i));
    SendMessageA(hwnd_, LB_SETCURSEL, current_, 0);
    SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void FolderList::measureItem(MEASUREITEMSTRUCT& mi, int dpi) {
    mi.itemHeight = static_cast<UINT>(MulDiv(18, dpi, 96));
}

void FolderList::dpiChanged(int dpi) {
    if (hwnd_) SendMessageA(hwnd_, LB_SETITEMHEIGHT, 0, MulDiv(18, dpi, 96));
}

void FolderList::drawItem(const DRAWITEMSTRUCT& di) {
    if (di.itemID == static_cast<UINT>(-1) || di.itemData >= entries_.size()) return;
    const Entry& e = entries_[di.itemData];
    const bool selected = di.itemState & ODS_SELECTED;
    const int dpi = owner_.dpi();
    FillRect(di.hDC, &di.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int icon = MulDiv(16, dpi, 96);
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
}

}  // namespace ui
