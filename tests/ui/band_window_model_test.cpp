#include <gtest/gtest.h>

#include <set>

#include "core/tab_fill.h"
#include "ui/band_window_model.h"

namespace tw {
namespace {

TEST(BandWindowModel, EveryTabValueFindsAList) {
    const struct {
        int tab;
        EntryKind list;
        bool shows;
    } cases[] = {{0, EntryKind::History, true}, {1, EntryKind::Cookie, true}, {2, EntryKind::Cache, true},
                 {-1, EntryKind::History, false}, {3, EntryKind::History, false}, {1000, EntryKind::History, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(ListOfTab(c.tab), c.list) << c.tab;
        EXPECT_EQ(IsTab(c.tab), c.shows) << c.tab;
    }
}

TEST(BandWindowModel, StatusLinesCountRows) {
    EXPECT_EQ(StatusText(EntryKind::History, 3), "Internet Explorer History contains: 3 items");
    EXPECT_EQ(StatusText(EntryKind::Cookie, 0), "Internet Explorer Cookies contain: 0 items");
    EXPECT_EQ(StatusText(EntryKind::Cache, 4294967295u), "Internet Explorer Cache contains: 4294967295 items");
}

TEST(BandWindowModel, RightMarginByTheBandsDistanceFromTheFrame) {
    const struct {
        bool browser;
        int band, frame, margin;
    } cases[] = {{false, 100, 0, 0}, {true, 30, 0, 0},  {true, 50, 0, 20}, {true, 51, 0, 0},
                 {true, 10, 0, -20}, {true, 0, 40, 10}, {true, 0, 0, -30}, {true, 500, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(RightMargin(c.browser, c.band, c.frame), c.margin) << c.band << " " << c.frame;
}

TEST(BandWindowModel, LayoutIsNotClamped) {
    BandLayout l = LayOutBand(800, 300, 10);
    EXPECT_EQ(l.menuBar.width, 580);
    EXPECT_EQ(l.menuBar.height, 21);
    EXPECT_EQ(l.lists.y, 25);
    EXPECT_EQ(l.lists.width, 790);
    EXPECT_EQ(l.lists.height, 275);
    EXPECT_EQ(l.tabStrip.x, 580);
    EXPECT_EQ(l.tabStrip.width, 210);
    EXPECT_EQ(l.tabStrip.height, 22);
    l = LayOutBand(200, 10, -20);
    EXPECT_EQ(l.menuBar.width, 10);
    EXPECT_EQ(l.lists.width, 220);
    EXPECT_EQ(l.lists.height, -15);
    l = LayOutBand(100, 100, 0);
    EXPECT_EQ(l.menuBar.width, -110);
    EXPECT_EQ(l.tabStrip.x, -110);
}

TEST(BandWindowModel, BackgroundLightensTheFace) {
    EXPECT_EQ(BandBackground({240, 240, 240}), (Rgb{255, 255, 255}));
    EXPECT_EQ(BandBackground({212, 208, 200}), (Rgb{226, 222, 214}));
    EXPECT_EQ(BandBackground({0, 100, 238}), (Rgb{0, 107, 254}));
    EXPECT_EQ(ToColourRef(FromColourRef(0x00C8D0D4)), 0x00C8D0D4u);
    EXPECT_EQ(FromColourRef(0x00C8D0D4), (Rgb{212, 208, 200}));
}

TEST(BandWindowModel, CommandsByTheirLowWordInMenuOrder) {
    std::set<int> ids, images;
    for (const CommandEntry& c : kCommands) {
        ids.insert(c.id);
        images.insert(c.image);
    }
    EXPECT_EQ(ids.size(), 23u);
    EXPECT_EQ(images.size(), 23u);
    // The image strip's order is the menu's.
    const std::uint16_t strip[23] = {32768, 32779, 32780, 32804, 32777, 32807, 32802, 32778,
                                     32803, 32771, 32781, 32783, 32786, 32784, 32785, 32806,
                                     32805, 32776, 32772, 32789, 32787, 40013, 32769};
    for (int i = 0; i < 23; ++i) {
        const CommandEntry* c = FindCommand(strip[i]);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->image, i);
    }
    EXPECT_EQ(FindCommand(32768)->command, Command::Refresh);
    EXPECT_EQ(FindCommand((1u << 16) | 32781)->command, Command::CleanCookies);  // a notification code rides along
    EXPECT_EQ(FindCommand(40013)->command, Command::WebPage);
    EXPECT_EQ(FindCommand(0), nullptr);
    EXPECT_EQ(FindCommand(32770), nullptr);
}

}  // namespace
}  // namespace tw
