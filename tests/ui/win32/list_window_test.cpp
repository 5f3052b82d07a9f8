#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_clock.h"
#include "tests/ui/win32/harness.h"
#include "ui/win32/list_window.h"

namespace tw {
namespace {

using testing::TestParent;

class ListWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent.listRecords = true;
        RECT rc{0, 0, 380, 200};
        ASSERT_NE(list.Create(parent.Hwnd(), WS_VISIBLE | WS_TABSTOP | WS_BORDER, WS_EX_CLIENTEDGE, rc, 5),
                  nullptr);
        list.InsertColumn("Title", 120, -1, 0);
        list.InsertColumn("Last Visited", 100, -1, 0);
        list.InsertColumn("Check", 60, -1, 0);
        const char* titles[] = {"delta", "alpha", "charlie", "bravo", "echo", "foxtrot"};
        for (int i = 0; i < 6; ++i) {
            const int row = list.AddRow(titles[i], -1);
            list.Model().SetCellDate(row, 1, FileTime::FromValue(std::uint64_t(10 - i)));
            list.Model().SetCellText(row, 1, "date");
            list.Model().SetCellText(row, 2, "0");
            list.Model().SetCellFormat(row, 2, kCellCheck, 0);
        }
        list.Changed();
    }
    // Client y of the middle of a row.
    int RowY(int row) const { return list.HeaderHeight() + row * list.RowHeight() + list.RowHeight() / 2; }
    void Left(int x, int y, WPARAM keys = 0) {
        SendMessageA(list.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(x, y));
        SendMessageA(list.Hwnd(), WM_LBUTTONUP, keys, MAKELPARAM(x, y));
    }
    std::vector<int> Selection() const {
        std::vector<int> rows;
        list.Model().SelectedRows(rows);
        return rows;
    }
    void Key(WPARAM key) { SendMessageA(list.Hwnd(), WM_KEYDOWN, key, 0); }

    TestParent parent;
    Win32Clock clock;
    ListWindow list{clock};
};

TEST_F(ListWindowTest, ClicksSelectExtendAndNotifyDownAndUp) {
    EXPECT_FALSE(GetWindowLongPtrA(list.Hwnd(), GWL_STYLE) & WS_BORDER) << "the client edge is the border";
    Left(10, RowY(2));
    EXPECT_EQ(Selection(), (std::vector<int>{2}));
    ASSERT_EQ(parent.Codes(), (std::vector<int>{kListSelChanged, kListLeftUp}));
    EXPECT_EQ(parent.notifications[1].row, 2);
    EXPECT_EQ(parent.notifications[1].column, 0);
    EXPECT_EQ(GetFocus(), list.Hwnd());
    Left(10, RowY(1));
    Left(10, RowY(3), MK_CONTROL);
    EXPECT_EQ(Selection(), (std::vector<int>{1, 3}));
    Left(10, RowY(5), MK_SHIFT);
    EXPECT_EQ(Selection(), (std::vector<int>{3, 4, 5}));
    // A plain click inside a multi-selection keeps it until the button is up.
    SendMessageA(list.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, RowY(4)));
    EXPECT_EQ(Selection(), (std::vector<int>{3, 4, 5}));
    SendMessageA(list.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(10, RowY(4)));
    EXPECT_EQ(Selection(), (std::vector<int>{4}));
    SendMessageA(list.Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, RowY(3)));
    EXPECT_EQ(parent.Codes().back(), kListDoubleClick);
    EXPECT_EQ(parent.notifications.back().row, 3);
}

TEST_F(ListWindowTest, RightButtonRules) {
    Left(10, RowY(1));
    Left(10, RowY(2), MK_CONTROL);
    const struct {
        int x, row;
        bool down;  // else only the button's release
        std::vector<int> selection;
        int notifiedRow;
    } clicks[] = {
        {10, 2, true, {1, 2}, 2},  // on a selected row the selection stays
        {10, 4, true, {4}, 4},     // on another it moves there
        {330, 4, true, {4}, 4},    // right of the last column the row is the one under the pointer
        {10, 8, false, {}, -1},    // below the rows it is cleared before the notification
    };
    for (const auto& c : clicks) {
        parent.notifications.clear();
        if (c.down)
            SendMessageA(list.Hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(c.x, RowY(c.row)));
        SendMessageA(list.Hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(c.x, RowY(c.row)));
        EXPECT_EQ(Selection(), c.selection) << c.x << "," << c.row;
        ASSERT_EQ(parent.Codes().back(), kListRightUp);
        EXPECT_EQ(parent.notifications.back().row, c.notifiedRow) << c.x << "," << c.row;
    }
}

TEST_F(ListWindowTest, CheckCellTogglesAndLinkCellNotifies) {
    Left(125 + 120, RowY(0));  // the check column starts at 220
    EXPECT_EQ(list.Model().CellText(0, 2), "1");
    EXPECT_EQ(parent.Codes(), (std::vector<int>{kListSelChanged, kListCellChanged, kListLeftUp}));
    EXPECT_EQ(parent.notifications[1].column, 2);
    parent.notifications.clear();
    list.Model().SetCellFormat(1, 0, kCellLink, 0);
    Left(10, RowY(1));
    EXPECT_EQ(parent.Codes(), (std::vector<int>{kListSelChanged, kListLinkDown, kListLeftUp}));
    // Space toggles the focus cell.
    Left(230, RowY(1));
    Key(VK_SPACE);
    EXPECT_EQ(list.Model().CellText(1, 2), "0");
}

TEST_F(ListWindowTest, HeaderClickSortsAndSecondClickReverses) {
    // Pressed on one header and let go on another: no sort.
    SendMessageA(list.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 2));
    SendMessageA(list.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(150, 2));
    EXPECT_EQ(list.Model().SortColumn(), -1);
    Left(10, RowY(0));
    const struct {
        int x;
        const char *first, *last;
    } clicks[] = {{10, "alpha", "foxtrot"}, {10, "foxtrot", "alpha"}, {150, "foxtrot", "delta"}};  // 150: by time
    for (const auto& c : clicks) {
        Left(c.x, list.HeaderHeight() / 2);
        EXPECT_EQ(list.Model().CellText(0, 0), c.first) << c.x;
        EXPECT_EQ(list.Model().CellText(5, 0), c.last) << c.x;
    }
    EXPECT_TRUE(Selection().empty());
}

TEST_F(ListWindowTest, KeysMoveTheFocusRowSelectAllAndTypeAhead) {
    Key('C');
    EXPECT_TRUE(Selection().empty()) << "type-ahead needs a sort column";
    Left(10, RowY(0));
    const std::pair<WPARAM, int> moves[] = {{VK_DOWN, 1}, {VK_DOWN, 2}, {VK_END, 5}, {VK_HOME, 0}, {VK_UP, 0}};
    for (const auto& [key, row] : moves) {
        Key(key);
        EXPECT_EQ(list.Model().CurrentRow(), row) << key;
    }
    list.SortByColumn(0);
    Key('C');
    EXPECT_EQ(list.Model().CellText(list.Model().CurrentRow(), 0), "charlie");
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    Key('A');
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(Selection().size(), 6u);
    EXPECT_EQ(parent.Codes().back(), kListSelChanged);
}

TEST_F(ListWindowTest, WheelAndScrollBarMoveTheRows) {
    for (int i = 0; i < 60; ++i)
        list.AddRow("row", -1);
    SendMessageA(list.Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), MAKELPARAM(10, 10));
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    EXPECT_EQ(list.TopRow(), int(lines));
    SendMessageA(list.Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(WHEEL_DELTA * 5)), MAKELPARAM(10, 10));
    EXPECT_EQ(list.TopRow(), 0);
    SendMessageA(list.Hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(list.TopRow(), 1);
    SendMessageA(list.Hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(list.TopRow(), 66 - list.PageRows());
    // A click on the row now shown first selects that row.
    Left(10, RowY(0));
    EXPECT_EQ(list.Model().CurrentRow(), list.TopRow());
    Key(VK_HOME);
    EXPECT_EQ(list.TopRow(), 0);
}

TEST_F(ListWindowTest, CutOffTextShowsATitleTip) {
    list.Model().SetCellText(0, 0, "a title far too long to fit into one hundred and twenty pixels");
    SendMessageA(list.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, RowY(0)));
    HWND tip = list.TitleTip();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(IsWindowVisible(tip));
    char name[64] = {};
    GetClassNameA(tip, name, sizeof name);
    EXPECT_STREQ(name, "TitleTip");
    SendMessageA(list.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, RowY(1)));  // "alpha" fits
    EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(ListWindowTest, MalformedMessagesAreHarmless) {
    SendMessageA(list.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5000, -5000));
    SendMessageA(list.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(0xFFFF, 0xFFFF));
    SendMessageA(list.Hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(30000, 30000));
    SendMessageA(list.Hwnd(), WM_VSCROLL, 0xFFFF, 0);
    SendMessageA(list.Hwnd(), WM_KEYDOWN, 0xFFFF, 0);
    EXPECT_TRUE(Selection().empty());
    EXPECT_EQ(list.Model().RowCount(), 6);
}

}  // namespace
}  // namespace tw
