// The menu bar under Wine: real mouse input and keys reach the bar and its
// tracked popups, driven from a timer that the menu loop dispatches.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/ui/win32/test_parent.h"
#include "ui/colour_math.h"
#include "ui/win32/menu_bar.h"
#include "ui/win32/paint_util.h"

namespace tw {
namespace {

constexpr LPARAM kAltDown = LPARAM(1) << 29;

// The command list of the image strip, in image order.
const std::vector<unsigned> kStripCommands = {32768, 32779, 32780, 32804, 32777, 32807, 32802, 32778,
                                              32803, 32771, 32781, 32783, 32786, 32784, 32785, 32806,
                                              32805, 32776, 32772, 32789, 32787, 40013, 32769};

HMENU BandMenu() {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 32768, "&Refresh");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, 32779, "Save &History...");
    HMENU advanced = CreatePopupMenu();
    AppendMenuA(advanced, MF_STRING, 32777, "Open &Index File...");
    AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(advanced), "&Advanced");
    HMENU clean = CreatePopupMenu();
    AppendMenuA(clean, MF_STRING, 32771, "&History...");
    AppendMenuA(clean, MF_STRING, 32781, "&Cookie...");
    AppendMenuA(clean, MF_STRING, 32783, "&Browser Cache...");
    HMENU edit = CreatePopupMenu();
    AppendMenuA(edit, MF_STRING, 32805, "Select &All Items");
    HMENU settings = CreatePopupMenu();
    AppendMenuA(settings, MF_STRING, 32772, "&Options...");
    HMENU help = CreatePopupMenu();
    AppendMenuA(help, MF_STRING, 32789, "&Help");
    AppendMenuA(help, MF_STRING, 32769, "&About Tidewell");
    const std::pair<HMENU, const char*> tops[] = {
        {file, "&File"}, {clean, "&Clean"}, {edit, "&Edit"}, {settings, "&Settings"}, {help, "&Help"}};
    for (const auto& [popup, text] : tops)
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text);
    return bar;
}

// Steps run one a tick while the menu loop runs; the last step always
// closes whatever is still open so that a failing test cannot hang.
class MenuScript {
public:
    explicit MenuScript(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 60, &MenuScript::Tick);
    }
    ~MenuScript() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool Finished() const { return next_ > steps_.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        MenuScript* self = current_;
        if (!self || self->Finished())
            return;
        if (self->next_ < self->steps_.size())
            self->steps_[self->next_]();
        else
            EndMenu();
        ++self->next_;
    }
    static inline MenuScript* current_ = nullptr;
    std::vector<std::function<void()>> steps_;
    std::size_t next_ = 0;
    UINT_PTR timer_ = 0;
};

HWND PopupWindow() { return FindWindowA("#32768", nullptr); }

void Key(WPARAM key) {
    HWND target = PopupWindow();
    PostMessageA(target ? target : GetFocus(), WM_KEYDOWN, key, 1);
}

// Real input through the system's queue: move, press, release.
void ClickAt(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    INPUT inputs[3] = {};
    const int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
    for (auto& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = screen.x * 65535 / w;
        input.mi.dy = screen.y * 65535 / h;
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    inputs[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(3, inputs, sizeof(INPUT));
}

POINT CentreOf(const RECT& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }

class MenuBarTest : public ::testing::Test {
protected:
    // One shown parent for all: Wine takes two seconds to unmap each.
    static void SetUpTestSuite() { shared = new testing::TestParent(400, 300, true); }
    static void TearDownTestSuite() {
        delete shared;
        shared = nullptr;
    }
    void SetUp() override {
        parent.commands.clear();
        ASSERT_NE(bar.Create(parent.Hwnd(), RECT{0, 0, 360, 21}), nullptr);
        menu = BandMenu();
        ASSERT_TRUE(bar.AttachMenu(menu));
        HBITMAP strip = static_cast<HBITMAP>(
            LoadImageA(nullptr, "command_images.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        ASSERT_NE(strip, nullptr) << "command_images.bmp beside the test";
        EXPECT_TRUE(bar.LoadImages(strip, kStripCommands));
        DeleteObject(strip);
        SetForegroundWindow(parent.Hwnd());
        testing::Pump();
    }
    void TearDown() override { DestroyMenu(menu); }

    POINT ButtonCentre(int index) const {
        const MenuBarButton& b = bar.Model().Button(index);
        POINT pt{b.left + b.width / 2, 10};
        ClientToScreen(bar.Hwnd(), &pt);
        return pt;
    }
    // Runs the queue until the script has ended (the popups run inside).
    void RunUntil(const MenuScript& script) {
        for (int i = 0; i < 300 && !script.Finished(); ++i) {
            testing::Pump();
            Sleep(10);
        }
        testing::Pump();
    }

    static inline testing::TestParent* shared = nullptr;
    testing::TestParent& parent = *shared;
    MenuBar bar;
    HMENU menu = nullptr;
};

TEST_F(MenuBarTest, IsAWindowOfItsClassThatAnswersItsMessages) {
    char name[64] = {};
    GetClassNameA(bar.Hwnd(), name, sizeof name);
    EXPECT_STREQ(name, "WTL_CommandBarXP");
    EXPECT_NE(MenuBar::AutoPopupMessage(), 0u);
    EXPECT_EQ(MenuBar::AutoPopupMessage(), RegisterWindowMessageA("WTL_CmdBar_InternalAutoPopupMsg"));
    EXPECT_EQ(MenuBar::GetBarMessage(), RegisterWindowMessageA("WTL_CmdBar_InternalGetBarMsg"));
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(bar.Hwnd(), MenuBar::GetBarMessage(), 0, 0)), bar.Hwnd());
    EXPECT_EQ(GetParent(bar.Hwnd()), parent.Hwnd());
}

TEST_F(MenuBarTest, ButtonsAreTheTopLevelItems) {
    ASSERT_EQ(bar.Model().Count(), 5);
    const char* texts[] = {"&File", "&Clean", "&Edit", "&Settings", "&Help"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(bar.Model().Button(i).text, texts[i]);
        EXPECT_GT(bar.Model().Button(i).width, 2 * MenuBarModel::kTextPadding) << i;
    }
    // A longer text makes a wider button.
    EXPECT_GT(bar.Model().Button(3).width, bar.Model().Button(2).width);
}

TEST_F(MenuBarTest, MouseClickOnAButtonAndOnAnItemSendsTheCommand) {
    int opened = -1;
    MenuScript script({[&] { opened = bar.OpenButton(); },
                       [&] {
                           // No window: the system finds the popup's own.
                           RECT item{};
                           ASSERT_TRUE(GetMenuItemRect(nullptr, GetSubMenu(menu, 1), 1, &item));
                           ClickAt(CentreOf(item));
                       },
                       [] {}});
    ClickAt(ButtonCentre(1));
    RunUntil(script);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(parent.commands, (std::vector<UINT>{32781}));
    EXPECT_EQ(bar.OpenButton(), -1);
}

TEST_F(MenuBarTest, AltAndAMnemonicOpenThatPopupAtItsFirstItem) {
    int opened = -1;
    MenuScript script({[&] { opened = bar.OpenButton(); }, [] { Key(VK_RETURN); }, [] {}});
    PostMessageA(parent.Hwnd(), WM_SYSKEYDOWN, 'E', kAltDown | 1);
    RunUntil(script);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(parent.commands, (std::vector<UINT>{32805}));
}

TEST_F(MenuBarTest, LeftAndRightMoveBetweenPopupsAndWrapRound) {
    std::vector<int> opened;
    const auto record = [&] { opened.push_back(bar.OpenButton()); };
    MenuScript script({record, [] { Key(VK_RIGHT); }, record, [] { Key(VK_LEFT); }, record,
                       [] { Key(VK_LEFT); }, record, [] { Key(VK_RETURN); }, [] {}});
    PostMessageA(parent.Hwnd(), WM_SYSKEYDOWN, 'F', kAltDown | 1);
    RunUntil(script);
    EXPECT_EQ(opened, (std::vector<int>{0, 1, 0, 4}));
    EXPECT_EQ(parent.commands, (std::vector<UINT>{32789}));
}

TEST_F(MenuBarTest, EscapeClosesWithoutACommand) {
    int opened = -1;
    MenuScript script({[&] { opened = bar.OpenButton(); }, [] { Key(VK_ESCAPE); }, [] {}});
    PostMessageA(bar.Hwnd(), MenuBar::AutoPopupMessage(), 3, 1);
    RunUntil(script);
    EXPECT_EQ(opened, 3);
    EXPECT_TRUE(parent.commands.empty());
    EXPECT_EQ(bar.OpenButton(), -1);
}

TEST_F(MenuBarTest, LoadsTheImagesOfAToolBarResource) {
    EXPECT_TRUE(bar.LoadToolBar(GetModuleHandleA(nullptr), 203));
    EXPECT_FALSE(bar.LoadToolBar(GetModuleHandleA(nullptr), 300));  // malformed
    EXPECT_FALSE(bar.LoadToolBar(GetModuleHandleA(nullptr), 301));  // absent
    // The failed loads left the bar working with the images loaded before.
    int opened = -1;
    MenuScript script({[&] { opened = bar.OpenButton(); }, [] { Key(VK_ESCAPE); }, [] {}});
    PostMessageA(bar.Hwnd(), MenuBar::AutoPopupMessage(), 0, 1);
    RunUntil(script);
    EXPECT_EQ(opened, 0);
}

TEST_F(MenuBarTest, KeysWithoutAltOrWithoutAMnemonicOpenNothing) {
    PostMessageA(parent.Hwnd(), WM_SYSKEYDOWN, 'Q', kAltDown | 1);
    PostMessageA(parent.Hwnd(), WM_KEYDOWN, 'F', 1);
    PostMessageA(bar.Hwnd(), MenuBar::AutoPopupMessage(), 99, 1);
    testing::Pump();
    EXPECT_EQ(bar.OpenButton(), -1);
    EXPECT_EQ(PopupWindow() && IsWindowVisible(PopupWindow()), false);
    EXPECT_TRUE(parent.commands.empty());
}

TEST_F(MenuBarTest, BackgroundIsShadedAndTheHotButtonGetsTheGradient) {
    SendMessageA(bar.Hwnd(), WM_MOUSEMOVE, 0, testing::Point(bar.Model().Button(0).left + 3, 10));
    EXPECT_EQ(bar.HotButton(), 0);
    ASSERT_TRUE(SaveClientBitmap(bar.Hwnd(), "menu_bar.bmp"));
    const Rgb face = FromColourRef(GetSysColor(COLOR_3DFACE));
    const Rgb dark = ScaleColour(face, kBarDark), light = ScaleColour(face, kBarLight);
    Rgb pixel;
    const int right = 359;
    ASSERT_TRUE(testing::PixelOf("menu_bar.bmp", right, 20, pixel));
    EXPECT_EQ(pixel, ShadeBand(dark, light, 0, 21));
    ASSERT_TRUE(testing::PixelOf("menu_bar.bmp", right, 0, pixel));
    EXPECT_EQ(pixel, ShadeBand(dark, light, 10, 21));
    ASSERT_TRUE(testing::PixelOf("menu_bar.bmp", 0, 0, pixel));
    EXPECT_EQ(pixel, (Rgb{170, 200, 245}));
}

}  // namespace
}  // namespace tw
