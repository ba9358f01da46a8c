// The list box and the drop-down list.
#include "ui/Controls.h"

#include <commctrl.h>

#include <cstring>
#include <iterator>

#include "platform/Handles.h"
#include "platform/Text.h"
#include "ui/Dpi.h"
#include "ui/Form.h"

namespace ui {

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
    const platform::WindowDC dc(hwnd_);
    const platform::Selected drawnWith(dc.get(), font());
    // Measured as the list shows it: up to a NUL, in UTF-16.
    const std::wstring shown =
        platform::fromAnsi(std::string_view(item.c_str(), strnlen(item.c_str(), item.size())));
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), shown.c_str(), static_cast<int>(shown.size()), &size);
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
    HWND h = hwnd();
    SendMessageA(h, LB_RESETCONTENT, 0, 0);
    // No scrolling sideways to where the long items were.
    widest_ = 0;
    SendMessageA(h, LB_SETHORIZONTALEXTENT, 0, 0);
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

}  // namespace ui
