#include "ui/win32/band_window.h"

#include "ui/win32/activation.h"

namespace tw {
namespace {

LRESULT CALLBACK BandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        // Only the band's owner closes it.
        return 0;
    case WM_TIMER:
        // Every timer of the band window runs once.
        KillTimer(window, wParam);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc) {
            RECT client;
            GetClientRect(window, &client);
            SetBkMode(dc, TRANSPARENT);
            DrawTextA(dc, "Tidewell", -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            EndPaint(window, &paint);
        }
        return 0;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool EnsureClass(HINSTANCE module) {
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(module, kBandWindowClass, &existing)) return true;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = BandWindowProc;
    wc.hInstance = module;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kBandWindowClass;
    return RegisterClassExA(&wc) != 0;
}

}  // namespace

HWND CreateBandWindow(HINSTANCE module, HWND parent, const RECT& rect) {
    if (!EnsureClass(module)) return nullptr;
    ActivationScope scope;
    return CreateWindowExA(0, kBandWindowClass, kBandWindowText,
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, module, nullptr);
}

void StartPageClick(HWND band) { SetTimer(band, kPageClickTimer, kPageClickDelayMs, nullptr); }

void UnregisterBandWindowClass(HINSTANCE module) { UnregisterClassA(kBandWindowClass, module); }

}  // namespace tw
