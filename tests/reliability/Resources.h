// What the process holds, for the soak: GDI and USER objects and kernel
// handles, read the platform's way where it can, counted where it cannot.
#pragma once

#include <windows.h>

#include <string>

namespace reliability {

struct Resources {
    // GetGuiResources; 0 where the platform does not keep the count (Wine 8
    // returns 0 for both; Windows counts).
    DWORD gdiReported = 0;
    DWORD userReported = 0;
    // Kernel handles: GetProcessHandleCount's count, or under Wine, which
    // reports 0, counted one by one (test::kernelHandles).
    DWORD handles = 0;
    // Counted object by object: GDI objects by handle number, this
    // process's windows, and its icons and cursors by handle number. Wine
    // takes a handle number without its upper (reuse) bits; Windows does
    // not, so there these read 0 beside the reported counts.
    int gdiCounted = 0;
    int windows = 0;
    int iconsCounted = 0;

    std::string describe() const;
};

Resources measure();

}  // namespace reliability
