#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/win32/harness.h"
#include "ui/win32/tab_strip_window.h"

namespace tw {
namespace {

TEST(TabStripWindow, ClicksChangeTheTabOnlyAcrossABoundaryAndWhenTheParentAgrees) {
    testing::TestParent parent;
    FlatTabStrip strip;
    RECT rc{0, 0, 300, 24};
    ASSERT_NE(strip.Create(parent.Hwnd(), rc, 77, WS_VISIBLE | FlatTabStrip::kStyleToolTip), nullptr);
    EXPECT_EQ(strip.GetCurSel(), -1) << "no current tab before items";
    EXPECT_EQ(strip.AddItem(1, "x"), -1) << "nor an item past the end";
    for (const char* t : {" History ", " Cookies ", " Cache "})
        ASSERT_EQ(strip.AddItem(strip.Model().Count(), t), 1);
    const struct {
        int x;
        LRESULT answer;  // of the parent to the notifications
        const char* record;
    } clicks[] = {
        {70, 0, "tab 0:"},  // a boundary goes to the lower tab
        {71, 0, "tab 1: changing changed"},
        {211, 0, "tab 1:"},  // past the last tab
        {30, 1, "tab 1: changing"},
    };
    for (const auto& c : clicks) {
        parent.notifications.clear();
        parent.answer = c.answer;
        SendMessageA(strip.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, 10));
        std::string record = "tab " + std::to_string(strip.GetCurSel()) + ":";
        for (const auto& n : parent.notifications) {
            const bool ours = n.from == strip.Hwnd() && n.id == 77u;
            record += n.code == int(TCN_SELCHANGING) ? " changing" : n.code == int(TCN_SELCHANGE) ? " changed" : " ?";
            record += ours ? "" : " from another";
        }
        EXPECT_EQ(record, c.record) << c.x;
    }
}

}  // namespace
}  // namespace tw
