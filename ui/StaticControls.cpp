// Labels, buttons, text boxes, frames, shapes and pictures.
#include "ui/Controls.h"

#include <commctrl.h>

#include <cwchar>
#include <utility>

#include "platform/Handles.h"
#include "platform/Text.h"
#include "resource.h"
#include "ui/Accessibility.h"
#include "ui/Form.h"
#include "ui/Guard.h"

namespace ui {

// ---- Label ------------------------------------------------------------------

void Label::create(HWND parent, UINT id, int dpi) {
    // Only a label that answers the mouse (a click, a hand pointer, a
    // tooltip) takes it; any other lets clicks through to what lies beneath
    // it, such as a link placed in its box.
    DWORD style = design_.accessKey ? 0 : SS_NOPREFIX;
    if (Click || design_.handCursor || *design_.toolTip) style |= SS_NOTIFY;
    if (acts()) style |= WS_TABSTOP;
    if (design_.align == Align::Center) style |= SS_CENTER;
    if (design_.align == Align::Right) style |= SS_RIGHT;
    readsAsLink_ = false;
    if (createWindow(WC_STATICW, style, 0, parent, id, dpi) && acts())
        SetWindowSubclass(hwnd_, &Label::subclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

// Around the text, as a link shows the focus, and only while the window
// shows focus cues (Windows hides them until the keyboard is used).
void Label::paintFocus(HDC dc) {
    if (GetFocus() != hwnd_ || (SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) return;
    RECT client;
    GetClientRect(hwnd_, &client);
    const std::wstring text = windowText();
    const platform::Selected drawnWith(dc, font());
    const UINT prefix = design_.accessKey ? 0 : DT_NOPREFIX;
    RECT r{0, 0, client.right, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | prefix);
    const int width = r.right - r.left;
    int x = 0;
    if (design_.align == Align::Center) x = (client.right - width) / 2;
    if (design_.align == Align::Right) x = client.right - width;
    RECT focus{x - 1, 0, x + width + 1, r.bottom + 1};
    IntersectRect(&focus, &focus, &client);
    DrawFocusRect(dc, &focus);
}

LRESULT CALLBACK Label::subclassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<Label*>(data);
    return guarded(h, [&]() -> LRESULT {
        switch (msg) {
            case WM_GETDLGCODE:
                // Enter is the link's, not the dialog keys' (which would look
                // for a button to press).
                if (wp == VK_RETURN) return DefSubclassProc(h, msg, wp, lp) | DLGC_WANTALLKEYS;
                break;
            case WM_KEYDOWN:
                if ((wp == VK_RETURN || wp == VK_SPACE) && !(lp & (1 << 30))) {  // not held down
                    self->click();
                    return 0;
                }
                break;
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
            case WM_UPDATEUISTATE: {
                const LRESULT r = DefSubclassProc(h, msg, wp, lp);
                InvalidateRect(h, nullptr, TRUE);
                return r;
            }
            case WM_PAINT: {
                PAINTSTRUCT ps;
                if (HDC dc = BeginPaint(h, &ps)) {
                    DefSubclassProc(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
                    self->paintFocus(dc);
                    EndPaint(h, &ps);
                }
                return 0;
            }
            case WM_GETOBJECT:
                // A screen reader asks: from now on the label reads as the
                // link it acts as (Windows' proxy makes it static text).
                if (!self->readsAsLink_) self->readsAsLink_ = accessibility::readAsLink(h);
                break;
            case WM_NCDESTROY:
                if (self->readsAsLink_) accessibility::forget(h);
                RemoveWindowSubclass(h, &Label::subclassProc, 0);
                break;
        }
        return DefSubclassProc(h, msg, wp, lp);
    });
}

void Label::command(WORD notification) {
    if (notification == STN_CLICKED && Click) Click();
}

void Label::click() { sendClick(STN_CLICKED); }

void Label::accessKeyPressed() {
    if (!acts()) return Control::accessKeyPressed();
    setFocus();
    click();
}

std::string Label::toolTipText() const {
    HWND h = hwnd();
    HWND tip = owner_.toolTip_;
    if (!tip) return {};
    std::wstring buffer(1024, L'\0');  // the tooltip's own limit (INFOTIPSIZE)
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = owner_.hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(h);
    ti.lpszText = buffer.data();
    SendMessageW(tip, TTM_GETTEXTW, buffer.size(), reinterpret_cast<LPARAM>(&ti));
    buffer.resize(wcsnlen(buffer.data(), buffer.size()));
    return platform::narrow(buffer);
}

// ---- Button -----------------------------------------------------------------

void Button::create(HWND parent, UINT id, int dpi) {
    if (createWindow(WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0, parent, id, dpi))
        SetWindowSubclass(hwnd_, &Button::subclassProc, 0, 0);
}

void Button::destroyed() {
    Control::destroyed();
    picture_.reset();
}

// The picture at the small-icon size for the DPI, taken from the sizes the
// resource holds (16 to 48 pixels), so that it is not stretched; a few
// pixels keep the caption off it. Common controls 6 show both.
void Button::dpiChanged(int dpi) {
    if (!design_.picture || !hwnd_) return;
    const int size = MulDiv(16, dpi, 96);
    platform::IconHandle picture(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(design_.picture), IMAGE_ICON, size, size, 0)));
    SendMessageW(hwnd_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(picture.get()));
    RECT margin{MulDiv(3, dpi, 96), 0, 0, 0};
    SendMessageW(hwnd_, BCM_SETTEXTMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    picture_ = std::move(picture);  // the old one goes once the button no longer shows it
}

void Button::command(WORD notification) {
    if (notification == BN_CLICKED && Click) Click();
}

void Button::click() { sendClick(BN_CLICKED); }

void Button::accessKeyPressed() {
    setFocus();
    click();
}

LRESULT CALLBACK Button::subclassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    return guarded(h, [&] {
        switch (msg) {
            // A focused button looks like the one Enter presses, as in
            // dialogs (the form names it to the dialog keys); there is no
            // default button otherwise.
            case WM_SETFOCUS: SendMessageW(h, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE); break;
            case WM_KILLFOCUS: SendMessageW(h, BM_SETSTYLE, BS_PUSHBUTTON, TRUE); break;
            case WM_NCDESTROY: RemoveWindowSubclass(h, &Button::subclassProc, 0); break;
        }
        return DefSubclassProc(h, msg, wp, lp);
    });
}

// ---- TextBox ----------------------------------------------------------------

void TextBox::create(HWND parent, UINT id, int dpi) {
    DWORD style = ES_AUTOHSCROLL | WS_TABSTOP;
    if (design_.password) style |= ES_PASSWORD;
    if (!createWindow(WC_EDITW, style, WS_EX_CLIENTEDGE, parent, id, dpi)) return;
    SendMessageW(hwnd_, EM_LIMITTEXT, 0, 0);  // no length limit
    if (design_.password) SendMessageW(hwnd_, EM_SETPASSWORDCHAR, L'*', 0);
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
            case WM_COPY:
            case WM_CUT:
                // A password box gives nothing away, whoever sends these:
                // Windows' own edit control refuses them for a password box,
                // Wine's only its keyboard shortcuts.
                if (self->design_.password) return 0;
                break;
            case EM_SETPASSWORDCHAR:
                // Its mask was set before this subclass came and stays: no
                // one, posting or sending, shows the password on the screen.
                if (self->design_.password) return 0;
                break;
            case WM_GETTEXT:
            case WM_GETTEXTLENGTH:
            case EM_GETLINE:
            case EM_LINELENGTH:
            case EM_GETHANDLE:
                // Nor is its text read by another program: the program has
                // one thread, so a message sent from another thread comes
                // from another process. The program's own reads go on, also
                // while it handles a message another program sent (a click
                // on "OK" by an accessibility tool), and so does text put in
                // from outside (password managers, accessibility tools).
                if (self->design_.password && !self->readingText_ &&
                    InSendMessageEx(nullptr) != ISMEX_NOSEND) {
                    if (msg == WM_GETTEXT && wp > 0 && lp) reinterpret_cast<wchar_t*>(lp)[0] = L'\0';
                    return 0;
                }
                break;
            case WM_CHAR:
                if (self->KeyPress) {
                    // One UTF-16 unit, as typed: the window is a Unicode one.
                    const int key = static_cast<int>(wp);
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
    if (createWindow(WC_BUTTONW, BS_GROUPBOX, 0, parent, id, dpi))
        SetWindowSubclass(hwnd_, &Frame::subclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

// The platform's group box keeps a pixel or two between its caption and its
// line at any DPI, so at 144 DPI and more the caption runs into the line. It
// is drawn here as the platform draws it, with room that grows with the DPI.
void Frame::paint(HDC dc) {
    RECT r;
    GetClientRect(hwnd_, &r);
    const platform::Selected drawnWith(dc, font());
    // As the platform's group box does: the form sets the colours.
    auto back = reinterpret_cast<HBRUSH>(SendMessageW(
        GetParent(hwnd_), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_)));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    RECT edge = r;
    edge.top += tm.tmHeight / 2 - 1;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    const std::wstring caption = windowText();
    if (caption.empty()) return;
    const int dpi = owner_.dpi();
    // The access key is underlined while the window shows keyboard cues.
    const UINT format = DT_SINGLELINE | DT_NOCLIP |
                        ((SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0);
    RECT text{r.left + MulDiv(8, dpi, 96), r.top, r.right, r.top};
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, format | DT_CALCRECT);
    RECT gap = text;
    InflateRect(&gap, MulDiv(2, dpi, 96), 0);
    FillRect(dc, &gap, back ? back : owner_.backBrush());
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, format);
}

LRESULT CALLBACK Frame::subclassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<Frame*>(data);
    return guarded(h, [&]() -> LRESULT {
        switch (msg) {
            case WM_PAINT: {
                PAINTSTRUCT ps;
                if (HDC dc = BeginPaint(h, &ps)) {
                    self->paint(dc);
                    EndPaint(h, &ps);
                }
                return 0;
            }
            case WM_UPDATEUISTATE: {
                // The group box would repaint itself its own way: only the
                // state changes here, and the paint above shows it.
                const LRESULT r = DefWindowProcW(h, msg, wp, lp);
                InvalidateRect(h, nullptr, TRUE);
                return r;
            }
            case WM_NCDESTROY: RemoveWindowSubclass(h, &Frame::subclassProc, 0); break;
        }
        return DefSubclassProc(h, msg, wp, lp);
    });
}

void Shape::create(HWND parent, UINT id, int dpi) {
    createWindow(WC_STATICW, SS_OWNERDRAW, 0, parent, id, dpi);
}

void Shape::drawItem(const DRAWITEMSTRUCT& di) {
    if (highContrast()) {  // in the text colour, on the window's
        FillRect(di.hDC, &di.rcItem, GetSysColorBrush(COLOR_BTNTEXT));
        return;
    }
    HBRUSH fill = backBrush_ ? backBrush_.get() : GetSysColorBrush(COLOR_WINDOWTEXT);
    FillRect(di.hDC, &di.rcItem, fill);
    platform::BrushHandle border(CreateSolidBrush(design_.fore != Default ? design_.fore : RGB(0, 0, 0)));
    FrameRect(di.hDC, &di.rcItem, border.get());
}

// ---- Picture ----------------------------------------------------------------

void Picture::create(HWND parent, UINT id, int dpi) {
    createWindow(WC_STATICW, SS_OWNERDRAW, 0, parent, id, dpi);
}

void Picture::dpiChanged(int dpi) {
    const RECT r = pixelRect(dpi);
    icon_.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_HIDEWELL),
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
