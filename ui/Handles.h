// Owning wrappers for the few Win32 handle kinds Hidewell holds. Move-only,
// so a handle is closed exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace ui {

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

using FileHandle = Owned<HANDLE, FileTraits>;
using FindHandle = Owned<HANDLE, FindTraits>;
using FontHandle = Owned<HFONT, GdiTraits<HFONT>>;
using BrushHandle = Owned<HBRUSH, GdiTraits<HBRUSH>>;
using IconHandle = Owned<HICON, IconTraits>;

}  // namespace ui
