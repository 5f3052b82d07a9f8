// Owners for the GDI objects and device contexts that painting makes, and
// an off-screen buffer that copies itself to the target when it goes.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace tw {

// A GDI object (pen, brush, font, bitmap) deleted when the owner goes.
template <typename H>
struct GdiObjectCloser {
    static H Invalid() { return nullptr; }
    void operator()(H h) const { DeleteObject(h); }
};
template <typename H>
using GdiObject = UniqueHandle<H, GdiObjectCloser<H>>;

// A memory DC of CreateCompatibleDC.
struct MemoryDcCloser {
    static HDC Invalid() { return nullptr; }
    void operator()(HDC h) const { DeleteDC(h); }
};
using MemoryDc = UniqueHandle<HDC, MemoryDcCloser>;

// Selects an object into a DC for the owner's lifetime.
class SelectInto {
public:
    SelectInto(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    bool Selected() const { return old_ != nullptr; }
    SelectInto(const SelectInto&) = delete;
    SelectInto& operator=(const SelectInto&) = delete;
    ~SelectInto() {
        if (old_)
            SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A memory DC with a compatible bitmap of the given size; Blit copies it out.
class OffscreenBuffer {
public:
    OffscreenBuffer(HDC target, int width, int height)
        : width_(width > 0 ? width : 1),
          height_(height > 0 ? height : 1),
          dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, width_, height_)),
          selection_(dc_.Get(), dc_ ? bitmap_.Get() : nullptr) {}
    OffscreenBuffer(const OffscreenBuffer&) = delete;
    OffscreenBuffer& operator=(const OffscreenBuffer&) = delete;
    bool Ok() const { return dc_ && selection_.Selected(); }
    HDC Dc() const { return dc_.Get(); }
    void Blit(HDC target, int x, int y, int w, int h) const {
        if (Ok())
            BitBlt(target, x, y, w, h, dc_.Get(), 0, 0, SRCCOPY);
    }

private:
    // Declared in the order of making: the bitmap leaves the DC before
    // either is deleted.
    int width_, height_;
    MemoryDc dc_;
    GdiObject<HBITMAP> bitmap_;
    SelectInto selection_;
};

// BeginPaint/EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    HDC Dc() const { return dc_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

inline void FillSolid(HDC dc, const RECT& rc, COLORREF colour) {
    GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    FillRect(dc, &rc, brush.Get());
}

}  // namespace tw
