#include <gtest/gtest.h>

#include "ui/colour_math.h"
#include "ui/progress_indicator.h"
#include "ui/tab_strip_model.h"

#include <tuple>

namespace tw {
namespace {

TEST(TabColours, FollowTheSinglePrecisionFactors) {
    const TabColours c = TabColoursFrom(Rgb{212, 208, 200});
    EXPECT_EQ(c.dark, (Rgb{201, 197, 189}));
    EXPECT_EQ(c.light, (Rgb{222, 218, 209}));
    EXPECT_EQ(c.current, (Rgb{226, 222, 214}));
}

TEST(TabColours, ProductsAreTruncatedUnrounded) {
    struct Case {
        int component;
        float factor;
        int expected;
    } cases[] = {
        {200, kTabDark, 189}, {200, kTabLight, 209}, {0, kTabLight, 0},
        {250, kTabLight, 255}, {255, kTabCurrent, 255}, {100, kBarDark, 89}, {240, kBarLight, 255},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScaleComponent(c.component, c.factor), c.expected) << c.component << " x " << c.factor;
}

TEST(ShadeBand, RunsFromDarkAtTheBottomToLightAtTheTop) {
    const Rgb dark{100, 100, 100}, light{120, 140, 100};
    EXPECT_EQ(ShadeBand(dark, light, 0, 20), dark);
    EXPECT_EQ(ShadeBand(dark, light, 5, 20), (Rgb{110, 120, 100}));
    EXPECT_EQ(ShadeBand(dark, light, 10, 20), light);
    EXPECT_EQ(ShadeBand(dark, light, 3, 7), (Rgb{117, 134, 100}));  // 20*6/7 = 17
    EXPECT_EQ(ShadeBand(dark, light, 3, 0), dark);
}

TEST(TabStrip, BoundaryPixelsBelongToTheLowerTab) {
    TabStripModel tabs;
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(tabs.AddItem(i, "tab"), 1);
    struct Case {
        int x;
        int tab;
    } cases[] = {{-1, -1}, {0, 0}, {69, 0}, {70, 0}, {71, 1}, {140, 1}, {141, 2}, {210, 2}, {211, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(tabs.HitTest(c.x), c.tab) << c.x;
}

TEST(TabStrip, StartsEmptyAndTheFirstTabBecomesCurrent) {
    TabStripModel tabs;
    EXPECT_EQ(tabs.GetCurSel(), -1);
    EXPECT_EQ(tabs.HitTest(10), -1);
    EXPECT_EQ(tabs.AddItem(0, " Cache "), 1);
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_EQ(tabs.AddItem(0, " History "), 1);
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_EQ(tabs.Text(0), " History ");
    EXPECT_EQ(tabs.Text(1), " Cache ");
    EXPECT_EQ(tabs.TotalWidth(), 140);
}

TEST(TabStrip, BadIndexChangesNothing) {
    TabStripModel tabs;
    EXPECT_EQ(tabs.AddItem(1, "x"), -1);
    EXPECT_EQ(tabs.AddItem(-1, "x"), -1);
    EXPECT_EQ(tabs.Count(), 0);
    tabs.AddItem(0, "a");
    EXPECT_EQ(tabs.AddItem(2, "x"), -1);
    EXPECT_EQ(tabs.Count(), 1);
    EXPECT_EQ(tabs.Rect(1, 20), TabRect{});
    EXPECT_EQ(tabs.Rect(0, 20), (TabRect{0, 0, 70, 20}));
    tabs.AddItem(1, "b");
    for (auto [index, ok, current] : {std::tuple{1, true, 1}, {0, true, 0}, {2, false, 0}, {-1, false, 0}}) {
        EXPECT_EQ(tabs.SetCurrent(index), ok) << index;
        EXPECT_EQ(tabs.GetCurSel(), current) << index;
    }
    EXPECT_EQ(tabs.Text(1), "b");
    EXPECT_EQ(tabs.Text(2), "");
    EXPECT_EQ(tabs.Text(-1), "");
    for (const TabRect& other : {TabRect{1, 0, 70, 20}, TabRect{0, 1, 70, 20}, TabRect{0, 0, 71, 20}, TabRect{0, 0, 70, 21}})
        EXPECT_FALSE(other == (TabRect{0, 0, 70, 20}));
}

TEST(ProgressIndicator, BoxesOfAThreeHundredPixelControl) {
    const auto boxes = ProgressIndicator::Boxes(300, 15);
    const TabRect expected[] = {{0, 0, 28, 15}, {29, 0, 58, 15}, {59, 0, 88, 15}, {89, 0, 117, 15}};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(boxes[i], expected[i]) << i;
    for (std::size_t i = 1; i < boxes.size(); ++i) {
        EXPECT_GT(boxes[i].left, boxes[i - 1].right) << i;
        EXPECT_LE(boxes[i].right, 300) << i;
    }
}

TEST(ProgressIndicator, WalksZeroToNineAndBack) {
    ProgressIndicator p;
    std::vector<int> walk;
    for (int i = 0; i < 20; ++i) {
        p.Advance();
        walk.push_back(p.Position());
        ASSERT_GE(p.Position(), 0);
        ASSERT_LE(p.Position(), 9);
    }
    EXPECT_EQ(walk, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2}));
}

TEST(AdjustColour, LightensAndDarkensGreys) {
    struct Case {
        Rgb in;
        int lightness, saturation;
        Rgb out;
    } cases[] = {
        {{255, 255, 255}, 20, 0, {255, 255, 255}},
        {{128, 128, 128}, 75, 0, {223, 223, 223}},
        {{128, 128, 128}, 0, 0, {128, 128, 128}},
        {{128, 128, 128}, -18, 0, {104, 104, 104}},  // 82 x 128 / 100
        {{0, 0, 0}, -50, 0, {0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AdjustColour(c.in, c.lightness, c.saturation), c.out)
            << c.in.r << " by " << c.lightness << "," << c.saturation;
}

TEST(AdjustColour, KeepsHueOfAColour) {
    const Rgb blue{10, 36, 106};  // a highlight colour
    const Rgb light = AdjustColour(blue, 70, -57);
    EXPECT_GT(light.b, light.r);
    EXPECT_GT(light.b, light.g);
    EXPECT_GT(light.r + light.g + light.b, blue.r + blue.g + blue.b);
    EXPECT_EQ(AdjustColour(blue, 0, 0).b, 106);
}

}  // namespace
}  // namespace tw
