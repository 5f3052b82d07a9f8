#include "tests/ui/win32/test_parent.h"

#include "ui/win32/list_window.h"

#include <cstdio>
#include <vector>

namespace tw::testing {

TestParent::TestParent(int width, int height, bool visible) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TestParent::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
    wc.lpszClassName = "TwTestParent";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, "TwTestParent", "test", WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0, width, height, nullptr,
                            nullptr, GetModuleHandleA(nullptr), this);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TestParent::~TestParent() {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

std::vector<int> TestParent::Codes() const {
    std::vector<int> codes;
    for (const auto& n : notifications)
        codes.push_back(n.code);
    return codes;
}

LRESULT CALLBACK TestParent::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TestParent*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        Notification n{int(header->code), -1, -1, header->hwndFrom, header->idFrom};
        if (self->listRecords) {
            const auto* record = reinterpret_cast<const ListNotify*>(lp);
            n.row = record->row;
            n.column = record->column;
        }
        self->notifications.push_back(n);
        return self->answer;
    }
    if (self && msg == WM_COMMAND) {
        self->commands.push_back(LOWORD(wp));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

bool SaveScreenArea(HWND hwnd, const char* path) {
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    HDC screen = GetDC(nullptr);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const int stride = (w * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(std::size_t(stride) * std::size_t(h));
    bool ok = GetDIBits(mem, bitmap, 0, UINT(h), pixels.data(), &info, DIB_RGB_COLORS) != 0;
    if (ok) {
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = DWORD(file.bfOffBits + pixels.size());
        FILE* f = std::fopen(path, "wb");
        ok = f && std::fwrite(&file, sizeof file, 1, f) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f) == 1 &&
             std::fwrite(pixels.data(), 1, pixels.size(), f) == pixels.size();
        if (f)
            std::fclose(f);
    }
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool PixelOf(const char* path, int x, int y, Rgb& out) {
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    bool ok = std::fread(&file, sizeof file, 1, f) == 1 && std::fread(&info, sizeof info, 1, f) == 1 &&
              x >= 0 && y >= 0 && x < info.biWidth && y < info.biHeight;
    if (ok) {
        const long stride = (info.biWidth * 3 + 3) & ~3;
        unsigned char bgr[3] = {};
        ok = std::fseek(f, long(file.bfOffBits) + (info.biHeight - 1 - y) * stride + x * 3, SEEK_SET) == 0 &&
             std::fread(bgr, 1, 3, f) == 3;
        out = Rgb{bgr[2], bgr[1], bgr[0]};
    }
    std::fclose(f);
    return ok;
}

}  // namespace tw::testing
