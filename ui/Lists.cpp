// The list box and the drop-down list.
#include "ui/Controls.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/Handles.h"
#include "platform/Text.h"
#include "ui/Dpi.h"
#include "ui/Form.h"

namespace ui {

// ---- ListBox ----------------------------------------------------------------

void ListBox::create(HWND parent, UINT id, int dpi) {
    createWindow(WC_LISTBOXW,
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

// The native list shows a text up to its first NUL.
std::wstring ListBox::shown(const std::string& item) {
    return platform::widen(std::string_view(item.c_str(), strnlen(item.c_str(), item.size())));
}

void ListBox::addItem(std::string item) {
    HWND h = hwnd();
    const std::wstring text = shown(item);
    SendMessageW(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    fitWidth(text);
    items_.push_back(std::move(item));
}

void ListBox::addItems(std::vector<std::string> items, const std::function<void(size_t done)>& step) {
    HWND h = hwnd();
    size_t bytes = 0, longest = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        bytes += items[i].size() + 1;
        if (items[i].size() > items[longest].size()) longest = i;
    }
    SendMessageW(h, WM_SETREDRAW, FALSE, 0);
    SendMessageW(h, LB_INITSTORAGE, items.size(), bytes * sizeof(wchar_t));
    for (size_t i = 0; i < items.size(); ++i) {
        SendMessageW(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown(items[i]).c_str()));
        if (step && i % 4096 == 4095) step(i + 1);
    }
    SendMessageW(h, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(h, nullptr, TRUE);
    // No path is longer than 32,767 characters: the room to scroll to is
    // measured on no more (a line of megabytes would cost its size again).
    if (!items.empty()) fitWidth(shown(items[longest].substr(0, 3 * 32767)));
    if (items_.empty()) {
        items_ = std::move(items);
    } else {
        items_.reserve(items_.size() + items.size());
        std::move(items.begin(), items.end(), std::back_inserter(items_));
    }
}

void ListBox::fitWidth(const std::wstring& text) {
    // Long paths can be scrolled to sideways.
    const platform::WindowDC dc(hwnd_);
    const platform::Selected drawnWith(dc.get(), font());
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    if (size.cx + 8 > widest_) {
        widest_ = size.cx + 8;
        SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest_), 0);
    }
}

void ListBox::removeItem(int index) {
    HWND h = hwnd();
    if (index < 0 || index >= listCount()) return;
    SendMessageW(h, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    items_.erase(items_.begin() + index);
}

void ListBox::clear() {
    HWND h = hwnd();
    SendMessageW(h, LB_RESETCONTENT, 0, 0);
    // No scrolling sideways to where the long items were.
    widest_ = 0;
    SendMessageW(h, LB_SETHORIZONTALEXTENT, 0, 0);
    items_.clear();
}

int ListBox::listIndex() const {
    const LRESULT i = SendMessageW(hwnd(), LB_GETCURSEL, 0, 0);
    return i == LB_ERR || i >= listCount() ? -1 : static_cast<int>(i);
}

void ListBox::setListIndex(int index) { SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

std::string ListBox::selectedText() const {
    const int i = listIndex();
    return i < 0 ? std::string() : items_[static_cast<size_t>(i)];
}

// ---- ComboBox ---------------------------------------------------------------

void ComboBox::create(HWND parent, UINT id, int dpi) {
    DWORD style = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
    if (design_.sorted) style |= CBS_SORT;
    // The window's height includes the dropped-down list.
    createWindow(WC_COMBOBOXW, style, 0, parent, id, dpi);
}

// Room for about ten items when the list drops down.
int ComboBox::listHeight(int dpi) const { return twipsToPixels(2400, dpi); }

void ComboBox::command(WORD notification) {
    if (notification == CBN_SELCHANGE && Change) Change();
}

void ComboBox::addItem(const std::string& item) {
    SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::widen(item).c_str()));
}

int ComboBox::listCount() const {
    const LRESULT n = SendMessageW(hwnd(), CB_GETCOUNT, 0, 0);
    return n == CB_ERR ? 0 : static_cast<int>(n);
}

std::string ComboBox::itemText(int index) const {
    HWND h = hwnd();
    const LRESULT n = SendMessageW(h, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == CB_ERR) return {};
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    SendMessageW(h, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(wcsnlen(s.data(), s.size()));
    return platform::narrow(s);
}

std::string ComboBox::selectedText() const {
    const LRESULT i = SendMessageW(hwnd(), CB_GETCURSEL, 0, 0);
    return i == CB_ERR ? std::string() : itemText(static_cast<int>(i));
}

bool ComboBox::choose(std::string_view item) {
    HWND h = hwnd();
    const std::wstring s = platform::widen(item);
    const LRESULT i =
        SendMessageW(h, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(s.c_str()));
    if (i == CB_ERR) return false;
    SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    sendClick(CBN_SELCHANGE);
    return true;
}

}  // namespace ui
