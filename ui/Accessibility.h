// What screen readers learn of a control beyond what Windows' accessibility
// proxies make of its class and text. A label used as an entry or link reads
// as a link: its proxy's role is set by direct annotation (oleacc's
// IAccPropServices), loaded when a screen reader first asks, which needs COM
// on the thread. Wine 8 has no direct annotation: there the label keeps the
// role its proxy gives every window it does not know.
#pragma once

#include <windows.h>

namespace ui::accessibility {

// True when the system took the annotation.
bool readAsLink(HWND label);
// Drops the annotation; before the window goes.
void forget(HWND label);

}  // namespace ui::accessibility
