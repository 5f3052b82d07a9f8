#include <windows.h>

#include <gtest/gtest.h>

#include "tests/ui/win32/harness.h"
#include "ui/win32/gdi.h"
#include "ui/win32/menu_painter.h"

namespace tw {
namespace {

class MenuPainterTest : public ::testing::Test {
protected:
    void SetUp() override {
        menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 100, "Open URL");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, 300, "No image\tCtrl+N");
        painter.SetImages(nullptr, {{100, 0}, {200, 2}});
    }
    void TearDown() override { DestroyMenu(menu); }
    ULONG_PTR DataOf(int position) const {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        GetMenuItemInfoA(menu, UINT(position), TRUE, &info);
        return (info.fType & MFT_OWNERDRAW) ? info.dwItemData : 0;
    }

    HMENU menu = nullptr;
    ContextMenuPainter painter;
    testing::TestParent parent;
};

TEST_F(MenuPainterTest, PreparingMakesEveryItemOwnerDrawnOnce) {
    painter.PreparePopup(menu);
    painter.PreparePopup(menu);
    EXPECT_EQ(painter.PreparedPopups(), 1u);
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(DataOf(i), 0u) << i;
    const auto* open = reinterpret_cast<const ContextMenuPainter::Item*>(DataOf(0));
    const auto* plain = reinterpret_cast<const ContextMenuPainter::Item*>(DataOf(2));
    EXPECT_EQ(open->text, "Open URL");
    EXPECT_EQ(open->image, 0);
    EXPECT_EQ(plain->image, -1);
    EXPECT_EQ(plain->text, "No image\tCtrl+N");
}

TEST_F(MenuPainterTest, MeasuresSeparatorsAndItems) {
    painter.PreparePopup(menu);
    MEASUREITEMSTRUCT separator{};
    separator.CtlType = ODT_MENU;
    separator.itemData = DataOf(1);
    ASSERT_TRUE(painter.Measure(parent.Hwnd(), separator));
    EXPECT_EQ(separator.itemHeight, UINT(GetSystemMetrics(SM_CYMENU) / 2));
    EXPECT_EQ(separator.itemWidth, 0u);
    MEASUREITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemData = DataOf(0);
    ASSERT_TRUE(painter.Measure(parent.Hwnd(), item));
    EXPECT_EQ(item.itemHeight, UINT(GetSystemMetrics(SM_CYMENU) + 3));
    EXPECT_GT(item.itemWidth, UINT(2 * ContextMenuPainter::kButtonWidth - GetSystemMetrics(SM_CXMENUCHECK)));
}

// Someone else's item data is not a pointer of ours: left alone.
TEST_F(MenuPainterTest, DrawsOnlyTheItemsItPrepared) {
    painter.PreparePopup(menu);
    MemoryDc dc(CreateCompatibleDC(nullptr));
    GdiObject<HBITMAP> bitmap(CreateBitmap(200, 24, 1, 32, nullptr));
    SelectInto into(dc.Get(), bitmap.Get());
    for (ULONG_PTR data : {DataOf(0), DataOf(2), ULONG_PTR(12345)}) {
        MEASUREITEMSTRUCT measure{};
        measure.CtlType = ODT_MENU;
        measure.itemData = data;
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_MENU;
        draw.hDC = dc.Get();
        draw.rcItem = RECT{0, 0, 200, 24};
        draw.itemState = ODS_SELECTED;
        draw.itemData = data;
        EXPECT_EQ(painter.Measure(parent.Hwnd(), measure), data != 12345);
        EXPECT_EQ(painter.Draw(draw), data != 12345);
    }
}

}  // namespace
}  // namespace tw
