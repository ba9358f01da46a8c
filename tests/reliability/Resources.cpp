#include "reliability/Resources.h"

#include <sstream>

#include "support/Sandbox.h"

namespace reliability {
namespace {

BOOL CALLBACK countChildren(HWND, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

struct WindowCount {
    DWORD process = 0;
    int windows = 0;
};

BOOL CALLBACK countTopLevel(HWND h, LPARAM data) {
    auto* c = reinterpret_cast<WindowCount*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner != c->process) return TRUE;
    ++c->windows;
    EnumChildWindows(h, countChildren, reinterpret_cast<LPARAM>(&c->windows));  // all levels
    return TRUE;
}

int countWindows() {
    WindowCount c{GetCurrentProcessId(), 0};
    EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&c));
    // Message-only windows are not among the top-level ones.
    for (HWND h = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); h;
         h = FindWindowExW(HWND_MESSAGE, h, nullptr, nullptr))
        countTopLevel(h, reinterpret_cast<LPARAM>(&c));
    return c.windows;
}

int countGdiObjects() {
    int n = 0;
    for (UINT_PTR i = 1; i < 0x10000; ++i)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++n;
    return n;
}

// USER handle numbers are 0x20 apart by two; an icon of another process does
// not answer GetIconInfo.
int countIcons() {
    int n = 0;
    for (UINT_PTR i = 0x20; i < 0x10000; i += 2) {
        ICONINFO info{};
        if (!GetIconInfo(reinterpret_cast<HICON>(i), &info)) continue;
        ++n;
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }
    return n;
}

}  // namespace

Resources measure() {
    Resources r;
    r.gdiReported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    r.userReported = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    r.handles = test::kernelHandles();
    r.gdiCounted = countGdiObjects();
    r.windows = countWindows();
    r.iconsCounted = countIcons();
    return r;
}

std::string Resources::describe() const {
    std::ostringstream os;
    os << "GDI " << gdiReported << " reported, " << gdiCounted << " counted; USER " << userReported
       << " reported, " << windows << " windows and " << iconsCounted << " icons counted; " << handles
       << " kernel handles";
    return os.str();
}

}  // namespace reliability
