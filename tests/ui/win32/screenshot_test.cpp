// Shows each control in a visible window and writes its picture to a BMP
// file beside the test program, for a person to look at; the checks read
// back a few pixels that the painting must have produced.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/win32/win32_clock.h"
#include "tests/ui/win32/test_parent.h"
#include "ui/colour_math.h"
#include "ui/win32/list_window.h"
#include "ui/win32/paint_util.h"
#include "ui/win32/progress_window.h"
#include "ui/win32/tab_strip_window.h"

namespace tw {
namespace {

// Reads a pixel of a 24-bit bottom-up BMP written by SaveClientBitmap.
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

// Copies a window's area of the screen to a BMP, for windows of another
// thread that cannot answer WM_PRINTCLIENT.
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

TEST(Screenshot, TabStrip) {
    testing::TestParent parent(320, 30, true);
    FlatTabStrip strip;
    RECT rc{0, 0, 320, 24};
    ASSERT_NE(strip.Create(parent.Handle(), rc, 1, WS_VISIBLE), nullptr);
    for (const char* t : {" History ", " Cookies ", " Cache "})
        strip.AddItem(strip.Model().Count(), t);
    SendMessageA(strip.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, testing::Point(100, 10));
    ASSERT_TRUE(SaveClientBitmap(strip.Handle(), "tab_strip.bmp"));
    // Inside the current tab (70..140), below its top edge: the current colour.
    const TabColours colours = TabColoursFrom(FromColourRef(GetSysColor(COLOR_3DFACE)));
    Rgb pixel;
    ASSERT_TRUE(PixelOf("tab_strip.bmp", 80, 8, pixel));
    EXPECT_EQ(pixel, colours.current);
}

TEST(Screenshot, List) {
    testing::TestParent parent(420, 220, true);
    Win32Clock clock;
    ListWindow list(clock);
    RECT rc{0, 0, 420, 220};
    ASSERT_NE(list.Create(parent.Handle(), WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, rc, 2), nullptr);
    list.InsertColumn("Title", 130, -1, 0);
    list.InsertColumn("URL", 170, -1, 0);
    list.InsertColumn("Hits", 50, -1, kAlignRight);
    list.InsertColumn("Check", 50, -1, kAlignCentre);
    const char* rows[][3] = {{"Example Domain", "http://example.com/", "12"},
                             {"Tidewell", "http://tidewell.invalid/a/very/long/path/indeed", "3"},
                             {"news", "http://news.example.org/", "104"},
                             {"Zebra", "http://zebra.example/", "9"}};
    for (auto& r : rows) {
        const int row = list.AddRow(r[0], -1);
        list.Model().SetCellText(row, 1, r[1]);
        list.Model().SetCellFormat(row, 1, kCellLink, 0);
        list.Model().SetCellText(row, 2, r[2]);
        list.Model().SetCellText(row, 3, row % 2 ? "1" : "0");
        list.Model().SetCellFormat(row, 3, kCellCheck, 0);
    }
    list.Model().SetCellColours(2, 0, RGB(0, 0, 0), RGB(255, 255, 0));
    list.SortByColumn(0);
    list.Select(1, 0, 0);
    ASSERT_TRUE(SaveClientBitmap(list.Handle(), "list.bmp"));
    Rgb pixel;
    const int y = list.HeaderHeight() + list.RowHeight() + 3;
    ASSERT_TRUE(PixelOf("list.bmp", 2, y, pixel));
    EXPECT_EQ(pixel, FromColourRef(GetSysColor(COLOR_HIGHLIGHT)));
}

TEST(Screenshot, ProgressWindow) {
    ProgressController progress;
    progress.Start();
    HWND window = nullptr;
    for (int i = 0; i < 200 && !window; ++i, Sleep(10))
        window = progress.Window();
    ASSERT_NE(window, nullptr);
    Sleep(300);
    EXPECT_TRUE(SaveScreenArea(window, "progress.bmp"));
    progress.Teardown();
}

}  // namespace
}  // namespace tw
