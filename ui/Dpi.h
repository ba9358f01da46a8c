// DPI of a window's monitor and twips-to-pixels conversion.
#pragma once

#include <windows.h>

namespace ui {

int dpiFor(HWND window);
inline int twipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }
// Outer window size for a client size, at the given DPI.
RECT windowRectFor(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);

}  // namespace ui
