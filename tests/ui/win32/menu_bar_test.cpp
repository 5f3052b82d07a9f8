// The menu bar under Wine: real mouse input and keys reach the bar and its
// tracked popups, worked by a script while the menu loop runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "res/resource.h"
#include "tests/ui/win32/harness.h"
#include "ui/win32/menu_bar.h"

namespace tw {
namespace {

using namespace testing;

constexpr LPARAM kAltDown = LPARAM(1) << 29;

HMENU BandMenu() {
    const struct {
        const char* text;
        std::vector<std::pair<UINT, const char*>> items;
    } popups[] = {{"&File", {{ID_REFRESH, "&Refresh"}, {ID_SAVE_HISTORY, "Save &History..."}}},
                  {"&Clean", {{ID_CLEAN_HISTORY, "&History..."}, {ID_CLEAN_COOKIES, "&Cookie..."}}},
                  {"&Edit", {{ID_SELECT_ALL, "Select &All Items"}}},
                  {"&Settings", {{ID_OPTIONS, "&Options..."}}},
                  {"&Help", {{ID_HELP_CONTENTS, "&Help"}, {ID_ABOUT, "&About Tidewell"}}}};
    HMENU bar = CreateMenu();
    for (const auto& p : popups) {
        HMENU popup = CreatePopupMenu();
        for (const auto& [id, text] : p.items)
            AppendMenuA(popup, MF_STRING, id, text);
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), p.text);
    }
    return bar;
}

// Real input through the system's queue: move, press, release.
void ClickAt(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    INPUT inputs[3] = {};
    const int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
    const DWORD flags[3] = {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 3; ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dx = screen.x * 65535 / w;
        inputs[i].mi.dy = screen.y * 65535 / h;
        inputs[i].mi.dwFlags = MOUSEEVENTF_ABSOLUTE | flags[i];
    }
    SendInput(3, inputs, sizeof(INPUT));
}

class MenuBarTest : public ::testing::Test {
protected:
    // One shown parent for all: Wine takes two seconds to unmap each.
    static void SetUpTestSuite() { shared = new TestParent(true); }
    static void TearDownTestSuite() { delete shared; }
    void SetUp() override {
        parent.commands.clear();
        ASSERT_NE(bar.Create(parent.Hwnd(), RECT{0, 0, 360, 21}), nullptr);
        menu = BandMenu();
        ASSERT_TRUE(bar.AttachMenu(menu));
        ASSERT_TRUE(bar.LoadToolBar(GetModuleHandleA(nullptr), IDR_COMMAND_IMAGES));
        SetForegroundWindow(parent.Hwnd());
        Pump();
    }
    void TearDown() override { DestroyMenu(menu); }

    // Posts message to window, then works the menu loop that it starts.
    // Steps are keys to press in the open popup, or 0 to note which is open.
    bool Drive(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const std::vector<WPARAM>& keys) {
        std::vector<Step> steps;
        for (WPARAM key : keys)
            steps.push_back(key ? MenuKeys({key}) : Step([this] { return Note(); }));
        return RunScripted(
            [&] {
                PostMessageA(window, message, wParam, lParam);
                PumpUntil(&ScriptEnded);
            },
            steps);
    }
    bool Note() {
        opened.push_back(bar.OpenButton());
        return true;
    }

    static inline TestParent* shared = nullptr;
    TestParent& parent = *shared;
    MenuBar bar;
    HMENU menu = nullptr;
    std::vector<int> opened;
};

// The bar is found by its class, answers its own message with itself and
// measures its buttons' texts.
TEST_F(MenuBarTest, MouseClickOnAButtonAndOnAnItemSendsTheCommand) {
    char name[64] = {};
    GetClassNameA(bar.Hwnd(), name, sizeof name);
    EXPECT_STREQ(name, "WTL_CommandBarXP");
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(bar.Hwnd(), MenuBar::GetBarMessage(), 0, 0)), bar.Hwnd());
    EXPECT_GT(bar.Model().Button(3).width, bar.Model().Button(2).width);
    const MenuBarButton& button = bar.Model().Button(1);
    POINT centre{button.left + button.width / 2, 10};
    ClientToScreen(bar.Hwnd(), &centre);
    EXPECT_TRUE(RunScripted(
        [&] {
            ClickAt(centre);
            PumpUntil(&ScriptEnded);
        },
        {[&] { return Note(); },
         [&] {
             // No window: the system finds the popup's own.
             RECT item{};
             if (!GetMenuItemRect(nullptr, GetSubMenu(menu, 1), 1, &item))
                 return false;
             ClickAt(POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
             return true;
         }}));
    EXPECT_EQ(opened, std::vector<int>{1});
    EXPECT_EQ(parent.commands, std::vector<UINT>{ID_CLEAN_COOKIES});
    EXPECT_EQ(bar.OpenButton(), -1);
}

TEST_F(MenuBarTest, KeysOpenPopupsMoveBetweenThemAndChooseOrClose) {
    // Failed loads leave the bar working with the images loaded before.
    EXPECT_FALSE(bar.LoadToolBar(GetModuleHandleA(nullptr), 300));  // malformed
    EXPECT_FALSE(bar.LoadToolBar(GetModuleHandleA(nullptr), 301));  // absent
    const struct {
        bool toBar;  // else to the parent
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        std::vector<WPARAM> keys;
        std::vector<int> opened;
        std::vector<UINT> commands;
    } cases[] = {
        // Alt and a mnemonic open that popup at its first item.
        {false, WM_SYSKEYDOWN, 'E', kAltDown | 1, {0, VK_RETURN}, {2}, {ID_SELECT_ALL}},
        // Left and right move between the popups and wrap round.
        {false,
         WM_SYSKEYDOWN,
         'F',
         kAltDown | 1,
         {0, VK_RIGHT, 0, VK_LEFT, 0, VK_LEFT, 0, VK_RETURN},
         {0, 1, 0, 4},
         {ID_HELP_CONTENTS}},
        // Escape closes without a command.
        {true, MenuBar::AutoPopupMessage(), 3, kAltDown | 1, {0, VK_ESCAPE}, {3}, {}},
        // Without a mnemonic, without Alt, or past the last button nothing
        // opens: a menu that did would keep its loop running until the
        // script gave up on it.
        {false, WM_SYSKEYDOWN, 'Q', kAltDown | 1, {}, {}, {}},
        {false, WM_KEYDOWN, 'F', 1, {}, {}, {}},
        {true, MenuBar::AutoPopupMessage(), 99, 1, {}, {}, {}},
    };
    for (const auto& c : cases) {
        opened.clear();
        parent.commands.clear();
        EXPECT_TRUE(Drive(c.toBar ? bar.Hwnd() : parent.Hwnd(), c.message, c.wParam, c.lParam, c.keys)) << c.wParam;
        EXPECT_EQ(std::make_pair(opened, parent.commands), std::make_pair(c.opened, c.commands)) << c.wParam;
        EXPECT_EQ(bar.OpenButton(), -1);
    }
}

}  // namespace
}  // namespace tw
