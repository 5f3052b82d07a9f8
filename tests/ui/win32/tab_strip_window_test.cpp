#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/ui/win32/harness.h"
#include "ui/win32/tab_strip_window.h"

namespace tw {
namespace {

using testing::TestParent;

class TabStripWindow : public ::testing::Test {
protected:
    void SetUp() override {
        RECT rc{0, 0, 300, 24};
        ASSERT_NE(strip.Create(parent.Hwnd(), rc, 77, WS_VISIBLE | FlatTabStrip::kStyleToolTip), nullptr);
    }
    void AddThree() {
        for (const char* t : {" History ", " Cookies ", " Cache "})
            ASSERT_EQ(strip.AddItem(strip.Model().Count(), t), 1);
    }
    void Click(int x) { SendMessageA(strip.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10)); }

    TestParent parent;
    FlatTabStrip strip;
};

TEST_F(TabStripWindow, HasNoCurrentTabBeforeItems) {
    EXPECT_EQ(strip.GetCurSel(), -1);
    EXPECT_EQ(strip.AddItem(1, "x"), -1);
}

TEST_F(TabStripWindow, ClicksOnBoundariesGoToTheLowerTab) {
    AddThree();
    EXPECT_EQ(strip.GetCurSel(), 0);
    Click(70);  // still tab 0: nothing happens
    EXPECT_TRUE(parent.notifications.empty());
    Click(71);
    EXPECT_EQ(strip.GetCurSel(), 1);
    EXPECT_EQ(parent.Codes(), (std::vector<int>{int(TCN_SELCHANGING), int(TCN_SELCHANGE)}));
    EXPECT_EQ(parent.notifications[0].from, strip.Hwnd());
    EXPECT_EQ(parent.notifications[0].id, 77u);
    parent.notifications.clear();
    Click(211);
    EXPECT_EQ(strip.GetCurSel(), 1);
    EXPECT_TRUE(parent.notifications.empty());
}

TEST_F(TabStripWindow, ParentCanVetoTheChange) {
    AddThree();
    parent.answer = 1;
    Click(150);
    EXPECT_EQ(strip.GetCurSel(), 0);
    EXPECT_EQ(parent.Codes(), (std::vector<int>{int(TCN_SELCHANGING)}));
}

}  // namespace
}  // namespace tw
