#include "ui/Controls.h"

#include <cwctype>

#include "platform/Handles.h"
#include "platform/Text.h"
#include "ui/Dpi.h"
#include "ui/Form.h"

namespace ui {

Control::Control(Form* owner, Design design) : owner_(*owner), design_(design) {
    owner_.controls_.push_back(this);
}

void Control::loadOwner() const {
    if (!owner_.loaded()) owner_.load();
}

HWND Control::hwnd() const {
    loadOwner();
    return hwnd_;
}

HGDIOBJ Control::font() const { return reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)); }

std::wstring Control::windowText() const {
    HWND h = hwnd();
    readingText_ = true;
    const struct Reading {
        bool& flag;
        ~Reading() { flag = false; }
    } reading{readingText_};
    std::wstring wide(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
    wide.resize(static_cast<size_t>(GetWindowTextW(h, wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

std::wstring Control::wideText() const {
    std::wstring text = windowText();
    if (!marksAccessKey()) return text;
    // "&&" reads as "&"; a lone "&" only marks the key after it.
    std::wstring plain;
    plain.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

std::string Control::text() const { return platform::narrow(wideText()); }

bool Control::textIsExact() const {
    std::string utf8;
    return platform::toUtf8(wideText(), utf8);
}

namespace {

// The caption as a window that shows access keys holds it: the key marked
// with "&" where it starts a word, else where it first stands, and every "&"
// of the caption doubled.
std::wstring markAccessKey(std::string_view caption, char key) {
    const std::wstring text = platform::widen(caption);
    const wint_t upper = std::towupper(static_cast<unsigned char>(key));
    size_t at = std::wstring::npos;
    for (size_t i = 0; key && i < text.size(); ++i) {
        if (std::towupper(text[i]) != upper) continue;
        if (at == std::wstring::npos) at = i;
        if (i == 0 || !std::iswalnum(text[i - 1])) {
            at = i;
            break;
        }
    }
    std::wstring marked;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i == at || text[i] == L'&') marked += L'&';
        marked += text[i];
    }
    return marked;
}

}  // namespace

void Control::setText(std::string_view text) {
    const std::wstring shown =
        marksAccessKey() ? markAccessKey(text, design_.accessKey) : platform::widen(text);
    SetWindowTextW(hwnd(), shown.c_str());
}

void Control::accessKeyPressed() { owner_.focusAfter(*this); }

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

HWND Control::createWindow(const wchar_t* cls, DWORD style, DWORD exStyle, HWND parent, UINT id, int dpi) {
    id_ = id;
    if (design_.visible) style |= WS_VISIBLE;
    const RECT r = pixelRect(dpi);
    const std::wstring text = marksAccessKey() ? markAccessKey(design_.caption, design_.accessKey)
                                               : platform::widen(design_.caption);
    hwnd_ = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top + listHeight(dpi), parent,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr),
                            nullptr);
    if (design_.back != Default) backBrush_.reset(CreateSolidBrush(design_.back));
    return hwnd_;
}

HBRUSH Control::colours(HDC dc) {
    // Boxes and lists stand on the window colour, the rest on the form's.
    // Under high contrast, entries and links take the system's link colour
    // and nothing keeps a colour of the design.
    const bool input = takesInput();
    const bool designs = !highContrast();
    const int text = !designs && design_.handCursor ? COLOR_HOTLIGHT
                     : input                        ? COLOR_WINDOWTEXT
                                                    : COLOR_BTNTEXT;
    SetTextColor(dc, designs && design_.fore != Default ? design_.fore : GetSysColor(text));
    if (designs && backBrush_) {
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
    SendMessageW(owner_.hwnd(), WM_COMMAND, MAKEWPARAM(id_, notification), reinterpret_cast<LPARAM>(hwnd()));
}

void Control::placeAfterTextOf(const Control& other) {
    // Let the platform wrap the other's text as its static control does; the
    // last line starts at the last word that no longer fits on the line before.
    const RECT box = other.pixelRect(owner_.dpi());
    const std::wstring text = platform::widen(other.design_.caption);
    const platform::WindowDC window(owner_.hwnd_);
    HDC dc = window.get();
    const platform::Selected otherFont(dc, other.font());
    auto height = [&](size_t length) {
        RECT r{0, 0, box.right - box.left, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(length), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        return r.bottom;
    };
    const int full = height(text.size());
    size_t lastLine = 0;
    for (size_t at = text.find(L' '); at != std::wstring::npos; at = text.find(L' ', at + 1))
        if (height(at) < full) lastLine = at + 1;
    const std::wstring tail = text.substr(lastLine) + L" ";
    SIZE tailSize{};
    GetTextExtentPoint32W(dc, tail.c_str(), static_cast<int>(tail.size()), &tailSize);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    // This label takes the size of its own text.
    SIZE own{};
    {
        const platform::Selected ownFont(dc, font());
        const std::wstring caption = platform::widen(design_.caption);
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &own);
    }
    int x = box.left + tailSize.cx, y = box.top + full - tm.tmHeight;
    // No room left on that line: the sentence goes on at the next.
    if (x + own.cx > box.right) {
        x = box.left;
        y += tm.tmHeight;
    }
    // Above the other label, which was made first and so lies on top, so
    // that the click goes to this one; and the other no longer paints over
    // it (siblings above it are clipped from its drawing).
    SetWindowLongPtrW(other.hwnd_, GWL_STYLE, GetWindowLongPtrW(other.hwnd_, GWL_STYLE) | WS_CLIPSIBLINGS);
    HWND above = GetWindow(other.hwnd_, GW_HWNDPREV);
    const UINT zOrder = above == hwnd_ ? SWP_NOZORDER : 0;
    SetWindowPos(hwnd_, above ? above : HWND_TOP, x, y, own.cx + 1, own.cy, SWP_NOACTIVATE | zOrder);
}

}  // namespace ui
