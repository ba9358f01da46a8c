// Labels, buttons, text boxes, frames, shapes and pictures.
#include "ui/Controls.h"

#include <commctrl.h>

#include "resource.h"
#include "ui/Form.h"
#include "ui/Guard.h"

namespace ui {

// ---- Label ------------------------------------------------------------------

void Label::create(HWND parent, UINT id, int dpi) {
    // Only a label that answers the mouse (a click, a hand pointer, a
    // tooltip) takes it; any other lets clicks through to what lies beneath
    // it, such as a link placed in its box.
    DWORD style = SS_NOPREFIX;
    if (Click || design_.handCursor || *design_.toolTip) style |= SS_NOTIFY;
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
    return guarded(h, [&] {
        switch (msg) {
            // A focused button takes Enter, as in dialogs; there is no default
            // button otherwise.
            case WM_SETFOCUS: SendMessageA(h, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE); break;
            case WM_KILLFOCUS: SendMessageA(h, BM_SETSTYLE, BS_PUSHBUTTON, TRUE); break;
            case WM_NCDESTROY: RemoveWindowSubclass(h, &Button::subclassProc, 0); break;
        }
        return DefSubclassProc(h, msg, wp, lp);
    });
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
    // A key-press handler that fails has the key: the box does not get it.
    return guarded(h, [&]() -> LRESULT {
        switch (msg) {
            case WM_GETDLGCODE:
                // Enter comes to this box, not to the window's dialog keys,
                // when the box has a key-press handler.
                if (wp == VK_RETURN && self->KeyPress)
                    return DefSubclassProc(h, msg, wp, lp) | DLGC_WANTALLKEYS;
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
    });
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
    platform::BrushHandle border(CreateSolidBrush(design_.fore != Default ? design_.fore : RGB(0, 0, 0)));
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

}  // namespace ui
