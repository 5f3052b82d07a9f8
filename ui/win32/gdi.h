// Owners for the GDI objects and device contexts that painting makes, and
// an off-screen buffer that copies itself to the target when it goes.
#pragma once

#include <windows.h>

namespace tw {

// A GDI object (pen, brush, font, bitmap) deleted when the owner goes.
template <typename H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : h_(h) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o) {
            Reset(o.h_);
            o.h_ = nullptr;
        }
        return *this;
    }
    ~GdiObject() { Reset(); }
    void Reset(H h = nullptr) {
        if (h_)
            DeleteObject(h_);
        h_ = h;
    }
    H Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    H h_ = nullptr;
};

// Selects an object into a DC for the owner's lifetime.
class SelectInto {
public:
    SelectInto(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
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
        : width_(width > 0 ? width : 1), height_(height > 0 ? height : 1) {
        dc_ = CreateCompatibleDC(target);
        bitmap_.Reset(CreateCompatibleBitmap(target, width_, height_));
        if (dc_ && bitmap_)
            old_ = SelectObject(dc_, bitmap_.Get());
    }
    OffscreenBuffer(const OffscreenBuffer&) = delete;
    OffscreenBuffer& operator=(const OffscreenBuffer&) = delete;
    ~OffscreenBuffer() {
        if (old_)
            SelectObject(dc_, old_);
        if (dc_)
            DeleteDC(dc_);
    }
    bool Ok() const { return dc_ && old_; }
    HDC Dc() const { return dc_; }
    void Blit(HDC target, int x, int y, int w, int h) const {
        if (Ok())
            BitBlt(target, x, y, w, h, dc_, 0, 0, SRCCOPY);
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    GdiObject<HBITMAP> bitmap_;
    HGDIOBJ old_ = nullptr;
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
