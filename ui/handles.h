// Owning wrappers for Win32 and GDI handles: move-only, released in the destructor.
#pragma once
#include <windows.h>

#include <utility>

namespace wm::ui {

template <typename H, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, H{})) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, H{}));
        return *this;
    }
    ~UniqueHandle() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != H{}; }
    H release() { return std::exchange(h_, H{}); }
    void reset(H h = H{}) {
        if (h_ != H{}) Traits::close(h_);
        h_ = h;
    }

private:
    H h_{};
};

struct GdiTraits { static void close(HGDIOBJ h) { DeleteObject(h); } };
struct WindowTraits { static void close(HWND h) { DestroyWindow(h); } };
struct IconTraits { static void close(HICON h) { DestroyIcon(h); } };
struct DcTraits { static void close(HDC h) { DeleteDC(h); } };
struct GlobalTraits { static void close(HGLOBAL h) { GlobalFree(h); } };

using UniqueBrush = UniqueHandle<HBRUSH, GdiTraits>;
using UniqueFont = UniqueHandle<HFONT, GdiTraits>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiTraits>;
using UniqueWindow = UniqueHandle<HWND, WindowTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueMemDc = UniqueHandle<HDC, DcTraits>;
using UniqueGlobal = UniqueHandle<HGLOBAL, GlobalTraits>;

// Selects a GDI object into a DC for one scope.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// BeginPaint / EndPaint pair.
class PaintScope {
public:
    explicit PaintScope(HWND w) : w_(w) { dc_ = BeginPaint(w_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(w_, &ps_); }
    HDC dc() const { return dc_; }
    const RECT& area() const { return ps_.rcPaint; }

private:
    HWND w_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

}  // namespace wm::ui
