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
    ASSERT_TRUE(testing::PixelOf("tab_strip.bmp", 80, 8, pixel));
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
    ASSERT_TRUE(testing::PixelOf("list.bmp", 2, y, pixel));
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
    EXPECT_TRUE(testing::SaveScreenArea(window, "progress.bmp"));
    progress.Teardown();
}

}  // namespace
}  // namespace tw
