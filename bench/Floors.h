// The floors the program's figures are compared with: the same work done
// with the bare platform calls and nothing else.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

// Milliseconds on the performance counter.
double nowMs();

// A top-level window with one plain list box in it, made and filled by
// openBareList; destroyed by closing it (not part of the floor).
struct BareList {
    HWND window = nullptr;
    HWND list = nullptr;
    BareList() = default;
    BareList(const BareList&) = delete;
    BareList& operator=(const BareList&) = delete;
    ~BareList();
    int count() const;
};

// Reads the file with one ReadFile, splits it at line ends in place and adds
// each line to a plain list box with redraw off, then shows it. False when
// the file could not be read or the window not made.
bool openBareList(const std::string& path, BareList& out);

// Writes the bytes to a new file with one WriteFile and flushes it.
bool writeBare(const std::string& path, const std::string& bytes);

// Starts the program, waits until a visible top-level window of its process
// exists, and ends it. Returns the milliseconds from CreateProcess to the
// window, or a negative value when it exited or showed nothing in time.
double launchUntilWindow(const std::string& program);

}  // namespace bench
