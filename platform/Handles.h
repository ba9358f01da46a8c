// Owning wrappers for the few Win32 handle kinds and COM references Hidewell
// holds. Move-only, so a handle is closed exactly once. (Only registry/ opens registry keys.)
#pragma once

#include <unknwn.h>
#include <windows.h>

#include <memory>
#include <utility>

namespace platform {

template <class H, class Traits>
class Owned {
public:
    Owned() = default;
    explicit Owned(H h) : h_(h) {}
    Owned(Owned&& o) noexcept : h_(std::exchange(o.h_, Traits::none())) {}
    Owned& operator=(Owned&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, Traits::none()));
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::none(); }
    void reset(H h = Traits::none()) {
        if (h_ != Traits::none()) Traits::close(h_);
        h_ = h;
    }

private:
    H h_ = Traits::none();
};

struct HandleTraits {
    static HANDLE none() { return nullptr; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct FileTraits {
    static HANDLE none() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct FindTraits {
    static HANDLE none() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { FindClose(h); }
};
template <class G>
struct GdiTraits {
    static G none() { return nullptr; }
    static void close(G h) { DeleteObject(h); }
};
struct IconTraits {
    static HICON none() { return nullptr; }
    static void close(HICON h) { DestroyIcon(h); }
};

struct KeyTraits {
    static HKEY none() { return nullptr; }
    static void close(HKEY h) { RegCloseKey(h); }
};

using Handle = Owned<HANDLE, HandleTraits>;  // events, mutexes, processes
using FileHandle = Owned<HANDLE, FileTraits>;
using FindHandle = Owned<HANDLE, FindTraits>;
using FontHandle = Owned<HFONT, GdiTraits<HFONT>>;
using BrushHandle = Owned<HBRUSH, GdiTraits<HBRUSH>>;
using IconHandle = Owned<HICON, IconTraits>;
using KeyHandle = Owned<HKEY, KeyTraits>;

// One reference to a COM object, released when it goes.
struct ComRelease {
    void operator()(IUnknown* p) const { p->Release(); }
};
template <class T>
using Com = std::unique_ptr<T, ComRelease>;

// A window's device context, borrowed for a while: GetDC, then ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context for a while; the one it replaced
// goes back at the end. We don't own the object.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(dc_, old_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace platform
