// The owners of the Win32 handles that the module holds: each kind is a
// UniqueHandle with the one call that frees it.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

#include "platform/unique_handle.h"

namespace tw {

struct WindowCloser {
    static HWND Invalid() { return nullptr; }
    void operator()(HWND h) const { DestroyWindow(h); }
};
struct MenuCloser {
    static HMENU Invalid() { return nullptr; }
    void operator()(HMENU h) const { DestroyMenu(h); }
};
struct ImageListCloser {
    static HIMAGELIST Invalid() { return nullptr; }
    void operator()(HIMAGELIST h) const { ImageList_Destroy(h); }
};
struct KernelHandleCloser {
    static HANDLE Invalid() { return nullptr; }
    void operator()(HANDLE h) const { CloseHandle(h); }
};
// CreateFile answers INVALID_HANDLE_VALUE, not null, when it fails.
struct FileHandleCloser {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    void operator()(HANDLE h) const { CloseHandle(h); }
};
struct FindCloser {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    void operator()(HANDLE h) const { FindClose(h); }
};
struct UrlCacheFindCloser {
    static HANDLE Invalid() { return nullptr; }
    void operator()(HANDLE h) const { FindCloseUrlCache(h); }
};
struct KeyCloser {
    static HKEY Invalid() { return nullptr; }
    void operator()(HKEY h) const { RegCloseKey(h); }
};
struct LibraryCloser {
    static HMODULE Invalid() { return nullptr; }
    void operator()(HMODULE h) const { FreeLibrary(h); }
};
struct HookCloser {
    static HHOOK Invalid() { return nullptr; }
    void operator()(HHOOK h) const { UnhookWindowsHookEx(h); }
};
// Memory that LocalAlloc (or an API on its behalf) gave.
template <typename T>
struct LocalMemoryCloser {
    static T* Invalid() { return nullptr; }
    void operator()(T* p) const { LocalFree(p); }
};
// A DC of GetDC goes back to the window it came from.
struct WindowDcCloser {
    HWND window = nullptr;
    static HDC Invalid() { return nullptr; }
    void operator()(HDC h) const { ReleaseDC(window, h); }
};

using UniqueWindow = UniqueHandle<HWND, WindowCloser>;
using UniqueMenu = UniqueHandle<HMENU, MenuCloser>;
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListCloser>;
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleCloser>;
using UniqueFile = UniqueHandle<HANDLE, FileHandleCloser>;
using UniqueFind = UniqueHandle<HANDLE, FindCloser>;
using UniqueUrlCacheFind = UniqueHandle<HANDLE, UrlCacheFindCloser>;
using UniqueKey = UniqueHandle<HKEY, KeyCloser>;
using UniqueLibrary = UniqueHandle<HMODULE, LibraryCloser>;
using UniqueHook = UniqueHandle<HHOOK, HookCloser>;
template <typename T>
using UniqueLocalMemory = UniqueHandle<T*, LocalMemoryCloser<T>>;
using WindowDc = UniqueHandle<HDC, WindowDcCloser>;

inline WindowDc GetWindowDc(HWND window) { return WindowDc(GetDC(window), WindowDcCloser{window}); }

}  // namespace tw
