#include <windows.h>

#include <gtest/gtest.h>

#include <string>

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

// Prepared once, every item is owner-drawn with its text and image; someone
// else's item data is not a pointer of ours, and is left alone.
TEST_F(MenuPainterTest, PreparedItemsAreMeasuredAndDrawnAndOthersLeftAlone) {
    painter.PreparePopup(menu);
    painter.PreparePopup(menu);
    EXPECT_EQ(painter.PreparedPopups(), 1u);
    MemoryDc dc(CreateCompatibleDC(nullptr));
    GdiObject<HBITMAP> bitmap(CreateBitmap(200, 24, 1, 32, nullptr));
    SelectInto into(dc.Get(), bitmap.Get());
    const std::string line = std::to_string(GetSystemMetrics(SM_CYMENU) + 3) + " high, wide";
    const struct {
        ULONG_PTR data;
        std::string record;
    } items[] = {
        {DataOf(0), "'Open URL' image 0, " + line + ", drawn"},
        {DataOf(1), "separator, " + std::to_string(GetSystemMetrics(SM_CYMENU) / 2) + " high, 0 wide, drawn"},
        {DataOf(2), "'No image\tCtrl+N' image -1, " + line + ", drawn"},
        {12345, "not ours, not drawn"},
    };
    // Wide enough for the image button and the check mark's room.
    const UINT wide = UINT(2 * ContextMenuPainter::kButtonWidth - GetSystemMetrics(SM_CXMENUCHECK));
    for (const auto& item : items) {
        MEASUREITEMSTRUCT measure{};
        measure.CtlType = ODT_MENU;
        measure.itemData = item.data;
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_MENU;
        draw.hDC = dc.Get();
        draw.rcItem = RECT{0, 0, 200, 24};
        draw.itemState = ODS_SELECTED;
        draw.itemData = item.data;
        const auto* prepared = reinterpret_cast<const ContextMenuPainter::Item*>(item.data);
        std::string record = "not ours";
        if (painter.Measure(parent.Hwnd(), measure)) {
            record = measure.itemWidth == 0 ? "separator"
                                            : "'" + prepared->text + "' image " + std::to_string(prepared->image);
            record += ", " + std::to_string(measure.itemHeight) + " high, " +
                      (measure.itemWidth > wide ? "wide" : std::to_string(measure.itemWidth) + " wide");
        }
        EXPECT_EQ(record + (painter.Draw(draw) ? ", drawn" : ", not drawn"), item.record);
    }
}

}  // namespace
}  // namespace tw
