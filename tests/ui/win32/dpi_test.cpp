// The band on a screen of 144 dpi (150 %): its prefix's LogPixels says so,
// and the controls must measure half as much again as at 96. The program
// runs in a prefix of its own, so that every other test stays at 96; it
// sets the DPI there and starts itself again when the DPI it woke up at is
// another, since the system reads it when a process starts.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "res/resource.h"
#include "tests/ui/win32/harness.h"
#include "ui/dpi_scale.h"
#include "ui/win32/band/band_window.h"
#include "ui/win32/gdi.h"
#include "ui/win32/window/activation.h"
#include "ui/win32/window/dpi.h"

namespace tw {
namespace {

using namespace testing;

constexpr int kDpi = 144;
const char kRestarted[] = "TW_DPI_TEST_RESTARTED";

// Where the screen's DPI is kept: Windows keeps it per user in the first,
// and Wine has read one or the other as its versions went; both are
// written, so that whichever is read says 144.
bool WriteLogPixels(int dpi) {
    const DWORD value = DWORD(dpi);
    bool ok = true;
    const struct { HKEY root; const char* path; } keys[] = {
        {HKEY_CURRENT_USER, "Control Panel\\Desktop"},
        {HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"},
    };
    for (const auto& k : keys) {
        UniqueKey key;
        ok = RegCreateKeyExA(k.root, k.path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(), nullptr) ==
                 ERROR_SUCCESS &&
             RegSetValueExA(key.Get(), "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
                 ERROR_SUCCESS &&
             ok;
    }
    return ok;
}

class BandAt144Dpi : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        if (!HasModuleActivationContext())
            CreateModuleActivationContext(GetModuleHandleA(nullptr));
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        parent_.reset(new TestParent(false, 900, 400));
        RECT client = {0, 0, 900, 400};
        HWND hwnd = BandWindow::Create(new BandWindow(GetModuleHandleA(nullptr), std::unique_ptr<BandServices>(new BandServices)),
                                       parent_->Hwnd(), client);
        ASSERT_NE(hwnd, nullptr);
        band_ = BandWindow::FromHandle(hwnd);
        SendMessageA(hwnd, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    }
    void TearDown() override {
        parent_.reset();
        OleUninitialize();
    }
    // A child's rectangle in the band's client coordinates.
    RECT ChildRect(HWND child) {
        RECT rc{};
        GetWindowRect(child, &rc);
        MapWindowPoints(nullptr, band_->Hwnd(), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    HWND ChildOfClass(const char* name) { return FindWindowExA(band_->Hwnd(), nullptr, name, nullptr); }

    std::unique_ptr<TestParent> parent_;
    BandWindow* band_ = nullptr;
};

TEST_F(BandAt144Dpi, ControlsMeasureHalfAsMuchAgain) {
    ASSERT_EQ(SystemDpi(), kDpi) << "the prefix's LogPixels did not take";
    EXPECT_EQ(WindowDpi(band_->Hwnd()), kDpi);
    const BandMetrics base = BandMetricsFor(96), at = BandMetricsFor(kDpi);
    EXPECT_EQ(band_->Metrics().dpi, kDpi);

    const RECT bar = ChildRect(ChildOfClass("WTL_CommandBarXP"));
    const RECT strip = ChildRect(ChildOfClass("QvFlatTabCtrl"));
    const RECT list = ChildRect(band_->List(EntryKind::History).Hwnd());
    const int tab = band_->TabStrip().Model().TabWidth();
    // What the stand-in shows: at least 1.4 times the sizes at 96 dpi.
    for (auto [what, size, at96] : {std::tuple{"menu bar height", int(bar.bottom - bar.top), base.menuBarHeight},
                                    {"tab strip height", int(strip.bottom - strip.top), base.tabStripHeight},
                                    {"tab strip width", int(strip.right - strip.left), base.tabStripWidth},
                                    {"tab width", tab, base.tabWidth},
                                    {"list top", int(list.top), base.listTop}}) {
        EXPECT_GE(size * 10, at96 * 14) << what << ": " << size;
        std::printf("%s: %d at %d dpi, %d at 96\n", what, size, kDpi, at96);
    }
    EXPECT_EQ((std::vector<int>{int(bar.bottom - bar.top), int(strip.bottom - strip.top), int(strip.right - strip.left),
                                tab, int(list.top), int(strip.left), int(bar.right)}),
              (std::vector<int>{at.menuBarHeight, at.tabStripHeight, at.tabStripWidth, at.tabWidth, at.listTop,
                                900 - at.tabStripWidth, 900 - at.tabStripWidth}));
    // The tab under a point half way into the second tab, by a real click.
    SendMessageA(band_->TabStrip().Hwnd(), WM_LBUTTONDOWN, 0, MAKELPARAM(at.tabWidth + at.tabWidth / 2, 5));
    EXPECT_EQ(band_->CurrentTab(), 1);

    // The columns, the images and the rows.
    const ListWindow& history = band_->List(EntryKind::History);
    ASSERT_GE(history.Model().ColumnCount(), 2);
    EXPECT_EQ(history.Model().Column(0)->width, 375);  // "Title", 250 at 96
    EXPECT_EQ(history.Model().Column(1)->width, 495);  // "URL", 330
    EXPECT_EQ(history.ImageSize(), 24);
    EXPECT_EQ(history.Dpi(), kDpi);

    // A change of settings lays the band out again from its DPI.
    MoveWindow(ChildOfClass("QvFlatTabCtrl"), 0, 0, 10, 10, FALSE);
    SendMessageA(band_->Hwnd(), WM_SETTINGCHANGE, 0, 0);
    const RECT again = ChildRect(ChildOfClass("QvFlatTabCtrl"));
    EXPECT_EQ(again.right - again.left, at.tabStripWidth);
}

// Colours too are the prefix's own here: a button text too pale for the
// tab strip's shading is drawn in the window text colour, from the next
// paint after the change of colours on.
TEST_F(BandAt144Dpi, PaleTextGivesWayToTheWindowText) {
    const HWND strip = band_->TabStrip().Hwnd();
    RECT rc{};
    GetClientRect(strip, &rc);
    const auto pixels = [&] {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = rc.right;
        info.bmiHeader.biHeight = -rc.bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        GdiObject<HBITMAP> bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        std::vector<COLORREF> out;
        MemoryDc dc(CreateCompatibleDC(nullptr));
        if (!bitmap || !dc)
            return out;
        {
            SelectInto select(dc.Get(), bitmap.Get());
            SendMessageA(strip, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
            GdiFlush();
        }
        const auto* p = static_cast<const std::uint32_t*>(bits);
        for (long i = 0; i < rc.right * rc.bottom; ++i)
            out.push_back(RGB((p[i] >> 16) & 255, (p[i] >> 8) & 255, p[i] & 255));
        return out;
    };
    const auto count = [](const std::vector<COLORREF>& all, COLORREF c) { return std::count(all.begin(), all.end(), c); };
    const COLORREF pale = RGB(200, 200, 200), face = RGB(240, 240, 240), text = GetSysColor(COLOR_WINDOWTEXT);
    const int indexes[] = {COLOR_BTNTEXT, COLOR_BTNFACE};
    const COLORREF before[] = {GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE)};
    const COLORREF changed[] = {pale, face};
    ASSERT_TRUE(SetSysColors(2, indexes, changed));
    SendMessageA(band_->Hwnd(), WM_SYSCOLORCHANGE, 0, 0);
    const std::vector<COLORREF> shown = pixels();
    SetSysColors(2, indexes, before);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(count(shown, pale), 0);
    EXPECT_GT(count(shown, text), 0);
}

TEST_F(BandAt144Dpi, ProgressWindowGrows) {
    ProgressController progress;
    progress.Start();
    ASSERT_TRUE(PumpUntil([&] { return progress.Window() != nullptr; }));
    RECT rc{};
    GetWindowRect(progress.Window(), &rc);
    // 220 x 35 dialog units of "MS Sans Serif" 8: 330 x 57 pixels at 96 dpi.
    std::printf("progress window: %ld x %ld at %d dpi\n", rc.right - rc.left, rc.bottom - rc.top, kDpi);
    EXPECT_GE((rc.right - rc.left) * 10, 330 * 14);
    EXPECT_GE((rc.bottom - rc.top) * 10, 57 * 14);
    progress.End();
    ASSERT_TRUE(PumpUntil([&] { return progress.RecordedThread() == nullptr; }));
}

}  // namespace
}  // namespace tw

int main(int argc, char** argv) {
    if (tw::SystemDpi() != tw::kDpi && !std::getenv(tw::kRestarted)) {
        if (!tw::WriteLogPixels(tw::kDpi)) {
            std::fprintf(stderr, "cannot write LogPixels\n");
            return 1;
        }
        SetEnvironmentVariableA(tw::kRestarted, "1");
        STARTUPINFOA start{};
        start.cb = sizeof start;
        PROCESS_INFORMATION process{};
        std::string line = GetCommandLineA();
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
            return 1;
        tw::UniqueKernelHandle child(process.hProcess), thread(process.hThread);
        WaitForSingleObject(child.Get(), INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(child.Get(), &code);
        return int(code);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
