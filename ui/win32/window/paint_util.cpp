#include "ui/win32/window/paint_util.h"

#include <cstdio>
#include <vector>

#include "platform/win32/handles.h"
#include "ui/win32/gdi.h"

namespace tw {

void ShadeVertically(HDC dc, const RECT& rc, Rgb dark, Rgb light) {
    const int height = rc.bottom - rc.top;
    if (height <= 0)
        return;
    for (int k = 0; 2 * k < height; ++k) {
        RECT band{rc.left, rc.bottom - 2 * (k + 1), rc.right, rc.bottom - 2 * k};
        if (band.top < rc.top)
            band.top = rc.top;
        FillSolid(dc, band, ToColourRef(ShadeBand(dark, light, k, height)));
    }
}

void GradientHorizontal(HDC dc, const RECT& rc, COLORREF from, COLORREF to) {
    TRIVERTEX v[2] = {};
    v[0].x = rc.left;
    v[0].y = rc.top;
    v[0].Red = COLOR16(GetRValue(from) << 8);
    v[0].Green = COLOR16(GetGValue(from) << 8);
    v[0].Blue = COLOR16(GetBValue(from) << 8);
    v[1].x = rc.right;
    v[1].y = rc.bottom;
    v[1].Red = COLOR16(GetRValue(to) << 8);
    v[1].Green = COLOR16(GetGValue(to) << 8);
    v[1].Blue = COLOR16(GetBValue(to) << 8);
    GRADIENT_RECT g{0, 1};
    GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_H);
}

bool SaveClientBitmap(HWND hwnd, const char* path) {
    RECT rc{};
    if (!GetClientRect(hwnd, &rc) || rc.right <= 0 || rc.bottom <= 0)
        return false;
    const WindowDc screen = GetWindowDc(hwnd);
    if (!screen)
        return false;
    bool ok = false;
    {
        OffscreenBuffer buffer(screen.Get(), rc.right, rc.bottom);
        if (buffer.Ok()) {
            FillSolid(buffer.Dc(), rc, RGB(255, 0, 255));
            SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(buffer.Dc()), PRF_CLIENT);
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = rc.right;
            info.bmiHeader.biHeight = rc.bottom;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 24;
            info.bmiHeader.biCompression = BI_RGB;
            const int stride = (rc.right * 3 + 3) & ~3;
            std::vector<unsigned char> pixels(std::size_t(stride) * std::size_t(rc.bottom));
            HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(buffer.Dc(), OBJ_BITMAP));
            if (GetDIBits(buffer.Dc(), bitmap, 0, UINT(rc.bottom), pixels.data(), &info, DIB_RGB_COLORS)) {
                BITMAPFILEHEADER file{};
                file.bfType = 0x4D42;
                file.bfOffBits = sizeof file + sizeof info.bmiHeader;
                file.bfSize = DWORD(file.bfOffBits + pixels.size());
                if (FILE* f = std::fopen(path, "wb")) {
                    ok = std::fwrite(&file, sizeof file, 1, f) == 1 &&
                         std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f) == 1 &&
                         std::fwrite(pixels.data(), 1, pixels.size(), f) == pixels.size();
                    ok = std::fclose(f) == 0 && ok;
                }
            }
        }
    }
    return ok;
}

}  // namespace tw
