#include "ui/win32/window/dpi.h"

#include "platform/win32/handles.h"
#include "ui/dpi_scale.h"

namespace tw {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// Looked up by name: user32 has it from Windows 10 1607 on only. Wine has
// it too, and since it makes every process DPI-aware unless told
// otherwise, it answers the prefix's LogPixels where Windows would answer
// 96 for a window of a process that is not DPI-aware.
GetDpiForWindowFn DpiForWindow() {
    static const GetDpiForWindowFn fn = [] {
        HMODULE user32 = GetModuleHandleA("user32.dll");
        return user32 ? reinterpret_cast<GetDpiForWindowFn>(
                            reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                      : nullptr;
    }();
    return fn;
}

}  // namespace

int SystemDpi() {
    const WindowDc screen = GetWindowDc(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kBaseDpi;
}

int WindowDpi(HWND window) {
    if (const GetDpiForWindowFn fn = DpiForWindow()) {
        // 0 for a window that is gone.
        if (window)
            if (const UINT dpi = fn(window))
                return int(dpi);
    }
    return SystemDpi();
}

void FitFontToDpi(LOGFONTA& font, int dpi) {
    const int system = SystemDpi();
    if (dpi > 0 && dpi != system)
        font.lfHeight = MulDiv(font.lfHeight, dpi, system);
}

LOGFONTA SystemFontAtDpi(SystemFont which, int dpi) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTA lf{};
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        lf = which == SystemFont::Menu ? metrics.lfMenuFont : metrics.lfMessageFont;
    else
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    FitFontToDpi(lf, dpi);
    return lf;
}

}  // namespace tw
