// Design-time description of windows and controls: geometry in twips,
// fonts in points, colours. A window's whole design-time state is written
// with these where its controls are declared.
#pragma once

#include <windows.h>

#include <string_view>

namespace ui {

// True while the user's high-contrast theme is on. The windows then draw
// with the system's colours only, none of the design's; asked at each
// drawing, so that a change of theme shows at the next.
bool highContrast();
// What highContrast() asks of the system. A tool may answer in its place:
// Wine has no high-contrast setting, and the picture tour turns it on so.
extern bool (*highContrastSetting)();

// "Use the platform's default" for a colour. The design's own colours below
// give way to the system's under high contrast.
inline constexpr COLORREF Default = CLR_INVALID;
inline constexpr COLORREF DarkRed = RGB(192, 0, 0);
inline constexpr COLORREF DarkGreen = RGB(0, 128, 0);
inline constexpr COLORREF LinkBlue = RGB(0, 0, 255);
inline constexpr COLORREF White = RGB(255, 255, 255);
inline constexpr COLORREF LightGrey = RGB(224, 224, 224);
inline constexpr COLORREF Black = RGB(0, 0, 0);

struct FontStyle {
    const char* face = "MS Sans Serif";
    double points = 8.25;
    bool bold = false;
    bool underline = false;
    bool operator==(const FontStyle& o) const {
        return std::string_view(face) == o.face && points == o.points && bold == o.bold &&
               underline == o.underline;
    }
};

// 1440 twips make an inch; the window's DPI turns them into pixels.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class Align { Left, Center, Right };

class Control;

// What a control is at design time. Fields a kind does not use are ignored.
struct Design {
    TwipsRect rect;                      // relative to the container
    const char* caption = "";            // the window text
    const Control* container = nullptr;  // the frame that holds it, if any
    FontStyle font{};
    COLORREF fore = Default;
    COLORREF back = Default;
    Align align = Align::Left;
    bool handCursor = false;  // labels used as entries and links
    // Alt with this character of the caption (underlined, as Windows shows
    // access keys): a button or an entry is clicked; a frame or a plain label
    // puts the focus in the box it labels, the next control that takes it.
    // The caption itself stays as written: its text reads without the mark.
    char accessKey = 0;
    const char* toolTip = "";
    bool password = false;  // text boxes: every character shown as "*"
    bool visible = true;
    bool sorted = false;  // drop-down lists
    // Labels: placed right after the end of this label's (wrapped) text, so
    // the two read as one sentence; rect gives only the size.
    const Control* follows = nullptr;
    // Buttons: the icon resource of a small picture shown left of the caption.
    int picture = 0;
};

enum class Border {
    FixedSingle,  // minimise button, in the taskbar
    FixedDialog,  // no minimise button, not in the taskbar
};

struct FormDesign {
    const char* caption = "";
    int width = 0;  // client area, twips
    int height = 0;
    Border border = Border::FixedSingle;
    COLORREF back = Default;
    // A window that works on what the main window opens: it and the main
    // window are never on the screen together (see Form::Show), so no second
    // window of the kind can be opened beside it.
    bool excludesMain = false;
    // Escape does what the close box does. Not for the windows whose closing
    // ends the program, where a stray Escape would lose the session.
    bool escapeCloses = false;
};

}  // namespace ui
