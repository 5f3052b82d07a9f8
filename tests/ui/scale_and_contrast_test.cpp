// The band's sizes at the DPIs laptops run at, and the colours its painters
// choose in the normal scheme and in high contrast.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "core/tab_rows.h"
#include "tests/fakes/fake_shell.h"
#include "ui/band_window_model.h"
#include "ui/dpi_scale.h"
#include "ui/list_model.h"
#include "ui/list_model_rows.h"
#include "ui/progress_indicator.h"
#include "ui/tab_strip_model.h"

namespace tw {
namespace {

using Ints = std::vector<int>;

Ints Sizes(const BandMetrics& m) {
    return {m.menuBarHeight, m.tabStripWidth, m.tabStripHeight, m.tabWidth, m.listTop,
            m.barLine,       m.imageSize,     m.marginSlack,    m.marginLimit};
}

TEST(DpiScale, BandSizesAtEachDpi) {
    // menu bar height, tab strip width and height, tab width, list top, line
    // under the bar, image size, margin slack and limit
    const std::vector<std::pair<int, Ints>> table = {
        {96, {21, 210, 22, 70, 25, 21, 16, 30, 20}},   {120, {26, 263, 28, 88, 31, 26, 16, 38, 25}},
        {144, {32, 315, 33, 105, 38, 32, 24, 45, 30}}, {192, {42, 420, 44, 140, 50, 42, 32, 60, 40}},
        {0, {21, 210, 22, 70, 25, 21, 16, 30, 20}},  // the platform could not tell
    };
    for (const auto& [dpi, sizes] : table)
        EXPECT_EQ(Sizes(BandMetricsFor(dpi)), sizes) << dpi;
    EXPECT_EQ(Sizes(BandMetricsFor(96)), Sizes(BandMetrics()));
}

TEST(DpiScale, RoundingImagesAndBitmaps) {
    for (auto [pixels, dpi, scaled] : {std::tuple{1, 144, 2}, {3, 120, 4}, {5, 120, 6}, {7, 120, 9}, {-15, 144, -23},
                                       {-1, 120, -1}, {100, 72, 75}, {1, 47, 0}, {1, 48, 1}, {0, 192, 0}})
        EXPECT_EQ(ScaleToDpi(pixels, dpi), scaled) << pixels << " at " << dpi;
    for (auto [pixels, from, to, scaled] : {std::tuple{150, 144, 96, 100}, {313, 120, 144, 376}, {100, 96, 96, 100},
                                            {100, 0, 192, 200}, {100, 192, -1, 50}})
        EXPECT_EQ(ScaleBetweenDpi(pixels, from, to), scaled) << pixels << " " << from << " to " << to;
    for (auto [dpi, size] : {std::pair{72, 16}, {96, 16}, {120, 16}, {138, 16}, {141, 24}, {144, 24}, {168, 24}, {186, 24}, {189, 32},
                             {192, 32}, {288, 32}})
        EXPECT_EQ(ImageSizeForDpi(dpi), size) << dpi;
    for (auto [bitmap, size, id] : {std::tuple{203, 16, 203}, {203, 24, 1203}, {212, 32, 2212}, {210, 20, 210}})
        EXPECT_EQ(BitmapForImageSize(bitmap, size), id) << bitmap << " " << size;
}

TEST(DpiScale, LayoutMarginsTabsColumnsAndProgressBoxes) {
    const BandMetrics m = BandMetricsFor(144);
    const BandLayout l = LayOutBand(800, 300, 10, m);
    EXPECT_EQ((Ints{l.menuBar.width, l.menuBar.height, l.lists.y, l.lists.width, l.lists.height, l.tabStrip.x,
                    l.tabStrip.width, l.tabStrip.height}),
              (Ints{475, 32, 38, 790, 262, 475, 315, 33}));
    for (auto [band, margin] : {std::pair{75, 30}, {76, 0}, {45, 0}, {40, -5}})
        EXPECT_EQ(RightMargin(true, band, 0, m), margin) << band;

    TabStripModel tabs;
    for (int i = 0; i < 3; ++i) tabs.AddItem(i, "t");
    EXPECT_FALSE(tabs.SetTabWidth(0));
    EXPECT_EQ(tabs.TabWidth(), 70);
    EXPECT_TRUE(tabs.SetTabWidth(m.tabWidth));
    EXPECT_EQ(tabs.Rect(1, 33), (TabRect{105, 0, 210, 33}));
    EXPECT_EQ(tabs.TotalWidth(), 315);
    for (auto [x, tab] : {std::pair{105, 0}, {106, 1}, {315, 2}, {316, -1}})
        EXPECT_EQ(tabs.HitTest(x), tab) << x;

    // The History columns, and a Cookies one of 50 pixels, at each DPI.
    for (auto [dpi, widths] : {std::pair{96, Ints{250, 330, 100, 50}}, {120, Ints{313, 413, 125, 63}},
                               {144, Ints{375, 495, 150, 75}}, {192, Ints{500, 660, 200, 100}}}) {
        fakes::FakeClock clock;
        ListModel list(clock);
        ListModelRows rows(list, dpi);
        for (const Column& c : LiveColumns(EntryKind::History)) rows.AddColumn(c);
        rows.AddColumn(LiveColumns(EntryKind::Cookie)[2]);
        Ints got;
        for (int c : {0, 1, 2, 5}) got.push_back(list.Column(c)->width);
        EXPECT_EQ(got, widths) << dpi;
    }

    const auto boxes = ProgressIndicator::Boxes(450, 22, 144);  // 43.05 wide, 1.5 apart
    EXPECT_EQ(std::vector<TabRect>(boxes.begin(), boxes.begin() + 3),
              (std::vector<TabRect>{{0, 0, 43, 22}, {44, 0, 87, 22}, {89, 0, 132, 22}}));
    EXPECT_LE(boxes.back().right, 450);
    EXPECT_EQ(ProgressIndicator::Boxes(300, 15, 96), ProgressIndicator::Boxes(300, 15));
}

}  // namespace
}  // namespace tw
