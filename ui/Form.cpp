#include "ui/Form.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <stdexcept>

#include "platform/Text.h"
#include "resource.h"
#include "ui/Controls.h"
#include "ui/Dpi.h"
#include "ui/Guard.h"
#include "ui/Modal.h"
#include "ui/Program.h"

namespace ui {
namespace {

constexpr wchar_t kFormClass[] = L"HidewellForm";
constexpr UINT kFirstControlId = 100;  // below are IDOK, IDCANCEL and friends
constexpr UINT kNoControlId = 0xFFFF;  // windows of ours that are no control

ATOM formAtom = 0;
HWND ownerWindow = nullptr;  // hidden owner of the windows kept out of the taskbar

std::vector<Form*>& allForms() {
    static auto& forms = *new std::vector<Form*>;
    return forms;
}

// The windows whose Form_Load is running, innermost last.
std::vector<Form*>& loading() {
    static auto& forms = *new std::vector<Form*>;
    return forms;
}

HWND hiddenOwner() {
    if (!ownerWindow)
        ownerWindow = CreateWindowExW(0, kFormClass, L"Hidewell", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    return ownerWindow;
}

}  // namespace

const std::vector<Form*>& Form::every() { return allForms(); }

Form* Form::ofWindow(HWND h) {
    if (!h || !formAtom || GetClassLongPtrW(h, GCW_ATOM) != formAtom) return nullptr;
    return reinterpret_cast<Form*>(GetWindowLongPtrW(h, GWLP_USERDATA));
}

HWND Form::ownerOfDialogs() { return ownerWindow; }

void initialize() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    if (formAtom) return;
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Form::windowProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kFormClass;
    wc.hIcon = static_cast<HICON>(
        LoadImageW(inst, MAKEINTRESOURCEW(IDI_HIDEWELL), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    wc.hIconSm = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(IDI_HIDEWELL), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
    formAtom = RegisterClassExW(&wc);
}

HCURSOR pointingHand() {
    static HCURSOR hand = [] {
        HCURSOR c = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_POINTING_HAND));
        return c ? c : LoadCursor(nullptr, IDC_HAND);
    }();
    return hand;
}

Form::Form(FormDesign design) : design_(design) { allForms().push_back(this); }

Form::~Form() {
    if (loaded()) destroy();
    std::erase(allForms(), this);
}

bool Form::visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

HWND Form::hwnd() {
    if (!loaded()) load();
    return hwnd_;
}

Form* Form::excludingMain() {
    for (Form* f : allForms())
        if (f->design_.excludesMain && f->visible() && !f->unloading_) return f;
    return nullptr;
}

void Form::Show() {
    if (isMainWindow(*this)) {
        if (Form* busy = excludingMain()) return busy->Show();
    } else if (design_.excludesMain && loaded() && hasMainWindow()) {
        // Loading hides it (Form_Load); a window that was only hidden comes
        // back without loading.
        mainWindow().Hide();
    }
    if (!loaded()) {
        load();
        // Form_Load may have hidden the window (the login window does when no
        // password is stored); that wins over the showing that loaded it.
        if (hiddenWhileLoading_ || !hwnd_) return;
    }
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    restoreFocus();
}

void Form::Hide() {
    if (!loaded()) load();
    if (state_ == State::Loading) hiddenWhileLoading_ = true;
    // Another window's Form_Load hiding this one: if that load fails, this
    // one comes back.
    if (visible() && !loading().empty() && loading().back() != this) {
        auto& hidden = loading().back()->hiddenByLoad_;
        if (std::find(hidden.begin(), hidden.end(), this) == hidden.end()) hidden.push_back(this);
    }
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void Form::close() {
    // A close box, Alt+F4 or the taskbar while a box is open: the handler
    // that opened the box is still running and needs its windows.
    if (!loaded() || modalPartOpen()) return;
    const unsigned load = loads_;
    unloading_ = true;
    try {
        Form_Unload();
    } catch (...) {
        unloading_ = false;
        recover(load);
        throw;
    }
    unloading_ = false;
    // Form_Unload may have ended the program, which unloads every window.
    if (loaded() && loads_ == load) destroy();
}

void Form::recover(unsigned load) {
    std::vector<Form*> hidden;
    hidden.swap(hiddenByLoad_);
    if (loaded() && loads_ == load) destroy();
    // Whatever went wrong, the windows this one took off the screen come
    // back, so that the user is not left with none.
    for (Form* f : hidden)
        if (f->loaded() && f != this) f->Show();
}

// Runs a modal part owned by this window under the modal rule; a handler
// whose window went while the part was open goes no further.
template <class Part>
auto Form::modally(Part&& part) {
    HWND owner = hwnd();
    const unsigned load = loads_;
    auto result = [&] {
        const ModalScope modal(owner);
        return part(owner);
    }();
    if (!loaded() || loads_ != load) throw HandlerEnded{};
    return result;
}

Answer Form::MsgBox(std::string_view prompt, std::string_view title, Icon icon, Buttons buttons) {
    return modally([&](HWND owner) { return host().messageBox(owner, prompt, title, icon, buttons); });
}

std::optional<FileChoice> Form::chooseFile(const FileDialog& dialog) {
    return modally([&](HWND owner) { return host().chooseFile(owner, dialog); });
}

void Form::load() {
    initialize();
    state_ = State::Loading;
    hiddenWhileLoading_ = false;
    lastFocus_ = nullptr;
    hiddenByLoad_.clear();
    const unsigned load = ++loads_;

    const bool dialog = design_.border == Border::FixedDialog;
    const DWORD style = dialog ? WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
                               : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const DWORD exStyle = dialog ? WS_EX_DLGMODALFRAME : WS_EX_APPWINDOW;
    hwnd_ = CreateWindowExW(exStyle, kFormClass, platform::widen(design_.caption).c_str(), style,
                            CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, dialog ? hiddenOwner() : nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
    if (!hwnd_) {
        state_ = State::NotLoaded;
        throw std::runtime_error("the window could not be made");
    }
    dpi_ = dpiFor(hwnd_);
    if (design_.back != Default) backBrush_.reset(CreateSolidBrush(design_.back));

    // Centred on the monitor's work area.
    RECT r = windowRectFor(twipsToPixels(design_.width, dpi_), twipsToPixels(design_.height, dpi_), style,
                           exStyle, dpi_);
    MONITORINFO mi{sizeof mi, {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &mi);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int x = mi.rcWork.left + (mi.rcWork.right - mi.rcWork.left - w) / 2;
    const int y = mi.rcWork.top + (mi.rcWork.bottom - mi.rcWork.top - h) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);

    try {
        loading().push_back(this);
        build();
        // Focus rectangles and access keys show as in dialogs: at once after
        // keyboard use, else once the keyboard is used (where the user has not
        // asked Windows to show them always).
        SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
        Form_Load();
    } catch (...) {
        std::erase(loading(), this);
        recover(load);
        throw;
    }
    std::erase(loading(), this);
    if (state_ == State::Loading && loads_ == load) state_ = State::Loaded;
}

// The controls, their fonts and tooltips, from the design-time state.
void Form::build() {
    UINT id = kFirstControlId;
    for (size_t i = 0; i < controls_.size(); ++i) {
        Control* c = controls_[i];
        // A box that comes first in its frame has no label of its own: the
        // frame's caption is its name. Windows' accessibility proxies name a
        // box after the static text just before it among its window's
        // controls (a frame is none): a hidden one stands there.
        if (c->takesInput() && i > 0 && controls_[i - 1] == c->design_.container)
            CreateWindowExW(0, WC_STATICW, controls_[i - 1]->windowText().c_str(), WS_CHILD, 0, 0, 0, 0,
                            hwnd_, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kNoControlId)),
                            GetModuleHandleW(nullptr), nullptr);
        c->create(hwnd_, id++, dpi_);
    }
    layout();

    for (Control* c : controls_) {
        if (!*c->design_.toolTip || !c->hwnd_) continue;
        if (!toolTip_)
            toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                       WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0, hwnd_, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
        // The tooltip keeps a copy of the text.
        std::wstring text = platform::widen(c->design_.toolTip);
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = hwnd_;
        ti.uId = reinterpret_cast<UINT_PTR>(c->hwnd_);
        ti.lpszText = text.data();
        SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void Form::destroy() {
    HWND h = std::exchange(hwnd_, nullptr);
    state_ = State::NotLoaded;
    toolTip_ = nullptr;
    lastFocus_ = nullptr;
    hiddenByLoad_.clear();
    if (h) {
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        DestroyWindow(h);
    }
    for (Control* c : controls_) c->destroyed();
    // Fonts go after the controls that used them.
    fonts_.clear();
    backBrush_.reset();
}

void Form::layout() {
    for (Control* c : controls_) {
        if (!c->hwnd_) continue;
        const RECT r = c->pixelRect(dpi_);
        SetWindowPos(c->hwnd_, nullptr, r.left, r.top, r.right - r.left,
                     r.bottom - r.top + c->listHeight(dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(c->hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font(c->design_.font)), TRUE);
        c->dpiChanged(dpi_);
    }
    for (Control* c : controls_)
        if (c->hwnd_ && c->design_.follows) c->placeAfterTextOf(*c->design_.follows);
}

HFONT Form::font(const FontStyle& style) {
    for (auto& [s, f] : fonts_)
        if (s == style) return f.get();
    // Windows' "MS Sans Serif" is a bitmap font that does not scale with the
    // DPI; where its TrueType twin is installed, that one is used.
    static const bool haveTwin = [] {
        LOGFONTW probe{};
        probe.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(probe.lfFaceName, L"Microsoft Sans Serif", LF_FACESIZE);
        const platform::WindowDC screen(nullptr);
        return !EnumFontFamiliesExW(
            screen.get(), &probe, [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM) -> int { return 0; },
            0, 0);
    }();
    const char* face =
        haveTwin && strcmp(style.face, "MS Sans Serif") == 0 ? "Microsoft Sans Serif" : style.face;
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(static_cast<int>(style.points * 100 + 0.5), dpi_, 7200);
    lf.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = style.underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, platform::widen(face).c_str(), LF_FACESIZE);
    fonts_.emplace_back(style, platform::FontHandle(CreateFontIndirectW(&lf)));
    return fonts_.back().second.get();
}

COLORREF Form::backColour() const {
    return design_.back != Default && !highContrast() ? design_.back : GetSysColor(COLOR_BTNFACE);
}

HBRUSH Form::backBrush() const {
    return backBrush_ && !highContrast() ? backBrush_.get() : GetSysColorBrush(COLOR_BTNFACE);
}

Control* Form::controlById(UINT id) const {
    if (id < kFirstControlId || id - kFirstControlId >= controls_.size()) return nullptr;
    return controls_[id - kFirstControlId];
}

Control* Form::controlByHwnd(HWND h) const {
    if (!h || GetParent(h) != hwnd_) return nullptr;
    return controlById(static_cast<UINT>(GetDlgCtrlID(h)));
}

void Form::restoreFocus() {
    if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) return;
    if (lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_) && IsWindowVisible(lastFocus_))
        SetFocus(lastFocus_);
    else if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE))
        SetFocus(first);
}

bool Form::preTranslateKey(const MSG& key) {
    if (!hwnd_) return false;
    // Alt+F4 whichever control has the focus: Wine's drop-down list keeps
    // every system key to itself.
    const bool altF4 =
        key.message == WM_SYSKEYDOWN && key.wParam == VK_F4 && (HIWORD(key.lParam) & KF_ALTDOWN);
    // Escape, unless the control with the focus wants it (a drop-down list
    // that is open closes its list).
    const bool escape = key.message == WM_KEYDOWN && key.wParam == VK_ESCAPE && design_.escapeCloses &&
                        !(SendMessageW(key.hwnd, WM_GETDLGCODE, key.wParam, reinterpret_cast<LPARAM>(&key)) &
                          (DLGC_WANTMESSAGE | DLGC_WANTALLKEYS));
    if (altF4 || escape) {
        SendMessageW(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0);  // as the close box
        return true;
    }
    // An access key: with Alt, or alone where the control with the focus
    // takes no typing (a button, an entry), as in dialogs.
    const bool typed =
        key.message == WM_CHAR &&
        !(SendMessageW(key.hwnd, WM_GETDLGCODE, key.wParam, reinterpret_cast<LPARAM>(&key)) & DLGC_WANTCHARS);
    if ((key.message == WM_SYSCHAR || typed) && key.wParam > L' ')
        return pressAccessKey(static_cast<wchar_t>(key.wParam));
    return false;
}

bool Form::pressAccessKey(wchar_t key) {
    for (Control* c : controls_) {
        if (!c->design_.accessKey || !c->hwnd_ || !IsWindowVisible(c->hwnd_) || !IsWindowEnabled(c->hwnd_))
            continue;
        if (std::towupper(key) != std::towupper(static_cast<unsigned char>(c->design_.accessKey))) continue;
        // The keyboard is in use: focus and access keys show from now on.
        SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
        c->accessKeyPressed();
        return true;
    }
    return false;
}

void Form::focusAfter(const Control& c) {
    auto at = std::find(controls_.begin(), controls_.end(), &c);
    for (; at != controls_.end(); ++at) {
        HWND h = (*at)->hwnd_;
        if (*at == &c || !h || !IsWindowVisible(h) || !IsWindowEnabled(h) ||
            !(GetWindowLongW(h, GWL_STYLE) & WS_TABSTOP))
            continue;
        SetFocus(h);
        // A box is entered with its text selected, as Tab enters it.
        if (SendMessageW(h, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(h, EM_SETSEL, 0, -1);
        return;
    }
}

LRESULT CALLBACK Form::windowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    // The hidden owner window, and a window being unloaded, have no form.
    if (!form) return DefWindowProcW(h, msg, wp, lp);
    if (!form->hwnd_) form->hwnd_ = h;  // messages sent inside CreateWindowEx
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    return guarded(h, [&] { return form->handle(msg, wp, lp); });
}

LRESULT Form::handle(UINT msg, WPARAM wp, LPARAM lp) {
    HWND self = hwnd_;
    switch (msg) {
        case WM_CLOSE:  // the close box, Alt+F4, the system menu
            close();
            return 0;
        case WM_COMMAND:
            // A disabled window takes no input, also none posted to its
            // controls while a box is open.
            if (!IsWindowEnabled(self)) return 0;
            // Enter away from a button and Escape arrive as IDOK and IDCANCEL
            // without a control: no window here has a default or cancel button.
            if (Control* c = lp ? controlById(LOWORD(wp)) : nullptr) c->command(HIWORD(wp));
            return 0;
        case DM_GETDEFID: {
            // The dialog keys ask which button Enter presses: the focused one,
            // as in dialogs. Tab cannot leave this to the button's own style:
            // in a window that is not a dialog it makes every button a plain
            // one after moving the focus, and then asks here.
            HWND focus = GetFocus();
            const Control* c = controlByHwnd(focus);
            const auto code = c ? SendMessageW(focus, WM_GETDLGCODE, 0, 0) : 0;
            if ((code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) && IsWindowEnabled(focus))
                return MAKELRESULT(c->id_, DC_HASDEFID);
            return 0;
        }
        case WM_QUERYENDSESSION:
            // Windows asks every program first and ends the session only
            // when all agree: the answer is yes at once, and what is to be
            // kept is kept when the end is certain (WM_ENDSESSION).
            return TRUE;
        case WM_ENDSESSION:
            if (wp) {
                // No box: a failure here is as silent as the end that follows.
                try {
                    Form_SessionEnd();
                } catch (...) {
                }
            }
            return 0;
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(self, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, backBrush());
            return 1;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
            if (Control* c = controlByHwnd(reinterpret_cast<HWND>(lp)))
                return reinterpret_cast<LRESULT>(c->colours(reinterpret_cast<HDC>(wp)));
            break;
        case WM_DRAWITEM:
            if (Control* c = controlById(static_cast<UINT>(wp))) {
                c->drawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lp));
                return TRUE;
            }
            break;
        case WM_MEASUREITEM:
            // Sent while the control is being made, before it has a window.
            if (Control* c = controlById(static_cast<UINT>(wp))) {
                c->measureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp), dpi_);
                return TRUE;
            }
            break;
        case WM_SETCURSOR:
            if (Control* c = controlByHwnd(reinterpret_cast<HWND>(wp));
                c && c->design_.handCursor && LOWORD(lp) == HTCLIENT) {
                SetCursor(pointingHand());
                return TRUE;
            }
            break;
        case WM_ACTIVATE:
            // Keep the focus on the control that had it, as dialogs do.
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(self, focus)) lastFocus_ = focus;
            } else {
                restoreFocus();
            }
            return 0;
        case WM_SETTINGCHANGE:
            if (wp != SPI_SETHIGHCONTRAST) break;
            [[fallthrough]];
        case WM_SYSCOLORCHANGE:
            // High contrast on or off, or other system colours: the controls
            // hear of it, as the common controls need to, and everything is
            // drawn again in the colours of now.
            if (msg == WM_SYSCOLORCHANGE)
                for (HWND c = GetWindow(self, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                    SendMessageW(c, msg, wp, lp);
            RedrawWindow(self, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
            break;
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wp);
            const RECT* r = reinterpret_cast<const RECT*>(lp);
            SetWindowPos(self, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            std::vector<std::pair<FontStyle, platform::FontHandle>> old;
            old.swap(fonts_);
            layout();  // the old fonts go once no control uses them
            return 0;
        }
    }
    return DefWindowProcW(self, msg, wp, lp);
}

}  // namespace ui
