// One owner for a Win32 handle: closed when replaced or destroyed.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace tw {

// Close is the function that gives the handle back (DestroyWindow,
// CloseHandle, RegCloseKey...). Null and INVALID_HANDLE_VALUE both mean
// "nothing held": CreateFile and FindFirstFile fail with the one, the
// others with the other.
template <typename H, auto Close>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o)
            Reset(o.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    void Reset(H h = H()) {
        const H old = h_;
        h_ = h;
        if (Valid(old))
            Close(old);
    }
    // Gives the handle up without closing it: for a handle that its
    // system owner has already destroyed.
    H Release() {
        const H h = h_;
        h_ = H();
        return h;
    }
    // For out parameters: closes what is held first.
    H* Receive() {
        Reset();
        return &h_;
    }
    H Get() const { return h_; }
    explicit operator bool() const { return Valid(h_); }

private:
    static bool Valid(H h) { return h != H() && h != reinterpret_cast<H>(INVALID_HANDLE_VALUE); }

    H h_ = H();
};

using UniqueWindow = UniqueHandle<HWND, &::DestroyWindow>;
using UniqueMenu = UniqueHandle<HMENU, &::DestroyMenu>;
using UniqueImageList = UniqueHandle<HIMAGELIST, &::ImageList_Destroy>;
using UniqueKernelHandle = UniqueHandle<HANDLE, &::CloseHandle>;
using UniqueFind = UniqueHandle<HANDLE, &::FindClose>;
using UniqueKey = UniqueHandle<HKEY, &::RegCloseKey>;

// A DC from GetDC, given back to the window it came from.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

}  // namespace tw
