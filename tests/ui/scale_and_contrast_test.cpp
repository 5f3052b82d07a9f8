// The band's sizes at the DPIs laptops run at, and the colours its painters
// choose in the normal scheme and in high contrast.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/tab_rows.h"
#include "tests/fakes/fake_shell.h"
#include "ui/band_window_model.h"
#include "ui/dpi_scale.h"
#include "ui/list_model.h"
#include "ui/list_model_rows.h"
#include "ui/palette.h"
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

namespace tw {
namespace {

SystemColours Scheme(const char* name) {
    SystemColours s;  // the default scheme of Windows 10
    if (std::string(name) == "classic") {
        s.face = s.menu = {212, 208, 200};
        s.highlight = {10, 36, 106};
        s.hotLight = {0, 0, 128};
        s.shadow = {128, 128, 128};
    } else if (std::string(name) == "high contrast black") {
        s.window = s.menu = s.face = {0, 0, 0};
        s.windowText = s.menuText = s.buttonText = {255, 255, 255};
        s.highlight = {26, 235, 255};
        s.highlightText = {0, 0, 0};
        s.hotLight = {255, 255, 0};
        s.grayText = {63, 242, 63};
    } else if (std::string(name) == "high contrast white") {
        s.face = s.menu = {255, 255, 255};
        s.highlight = {55, 0, 110};
        s.hotLight = {0, 0, 159};
        s.grayText = {96, 0, 0};
    } else if (std::string(name) == "dark text colours") {  // a scheme of the user's own
        s.face = s.menu = {90, 90, 90};
        s.buttonText = s.menuText = {60, 60, 60};
        s.windowText = {250, 250, 250};
        s.window = {20, 20, 20};
    }
    return s;
}

TEST(Contrast, RatiosOfTheRule) {
    for (auto [a, b, ratio] : {std::tuple{Rgb{0, 0, 0}, Rgb{255, 255, 255}, 21.0}, {Rgb{9, 9, 9}, Rgb{9, 9, 9}, 1.0},
                               {Rgb{255, 255, 255}, Rgb{191, 191, 191}, 1.84}, {Rgb{0, 0, 204}, Rgb{0, 0, 0}, 1.87},
                               {Rgb{255, 255, 255}, Rgb{210, 240, 250}, 1.19}, {Rgb{118, 118, 118}, Rgb{255, 255, 255}, 4.54},
                               {Rgb{255, 0, 0}, Rgb{255, 255, 255}, 4.0}, {Rgb{0, 0, 255}, Rgb{0, 0, 0}, 2.44}}) {
        EXPECT_NEAR(ContrastRatio(a, b), ratio, 0.01) << a.r << "," << a.g << "," << a.b;
        EXPECT_DOUBLE_EQ(ContrastRatio(a, b), ContrastRatio(b, a));
    }
    EXPECT_NEAR(RelativeLuminance({255, 255, 255}), 1.0, 1e-12);
    EXPECT_NEAR(RelativeLuminance({10, 0, 0}), 0.2126 * 10 / 255.0 / 12.92, 1e-12);  // the linear part
    const Rgb grey{119, 119, 119}, lighter{118, 118, 118}, fallback{1, 2, 3};  // 4.48 and 4.54 on white
    EXPECT_EQ(ReadableText(grey, {{255, 255, 255}}, fallback), fallback);
    EXPECT_EQ(ReadableText(lighter, {{255, 255, 255}}, fallback), lighter);
    EXPECT_EQ(ReadableText(lighter, {{255, 255, 255}, {200, 200, 200}}, fallback), fallback);  // the worst decides
}

TEST(Contrast, EveryPainterTextIsReadableInEveryScheme) {
    for (const char* scheme : {"default", "classic", "high contrast black", "high contrast white", "dark text colours"}) {
        const bool high = std::string(scheme).find("high") == 0;
        const SystemColours s = Scheme(scheme);
        const Palette p = ChoosePalette(s, high);
        EXPECT_EQ(p.highContrast, high);
        for (const TextOnBackground& t : TextsOf(p, s))
            for (const Rgb& back : t.backgrounds)
                EXPECT_GE(ContrastRatio(t.text, back), kMinimumTextContrast) << scheme << ": " << t.what;
    }
}

TEST(Contrast, NormalSchemeKeepsItsColoursAndHighContrastTakesTheSystems) {
    const SystemColours s = Scheme("default");
    const Palette p = ChoosePalette(s, false);
    // The open button's white text goes; the hot one's black stays; the
    // band's own colours stay as they are.
    EXPECT_EQ((std::vector<Rgb>{p.pressedText, p.hotText, p.hotOuterFrom, p.hotInnerTo, p.link, p.nameMark, p.valueMark,
                                p.boxFill, p.currentBoxFill, p.bandBack, p.barDark, p.barLight, p.itemBack}),
              (std::vector<Rgb>{s.windowText, {0, 0, 0}, {170, 200, 245}, {185, 215, 250}, kListLink, NameMarkColour(), ValueMarkColour(),
                                {160, 190, 220}, {190, 220, 255}, {255, 255, 255}, {215, 215, 215}, {255, 255, 255},
                                AdjustColour(s.face, 75, 0)}));
    EXPECT_EQ(ChoosePalette(Scheme("dark text colours"), false).barText, Scheme("dark text colours").windowText);

    const SystemColours b = Scheme("high contrast black");
    const Palette h = ChoosePalette(b, true);
    EXPECT_EQ((std::vector<Rgb>{h.barDark, h.barText, h.hotOuterFrom, h.pressedText, h.itemBack, h.itemText,
                                h.selectedText, h.disabledText, h.tabCurrent, h.bandBack, h.link, h.nameMark, h.valueMark,
                                h.markText, h.boxFill, h.currentBoxFill, h.progressBack}),
              (std::vector<Rgb>{b.menu, b.menuText, b.highlight, b.highlightText, b.menu, b.menuText, b.highlightText,
                                b.grayText, b.window, b.face, b.hotLight, b.highlight, b.highlight, b.highlightText,
                                b.window, b.highlight, b.face}));

    // Cells: a mark through the palette, a link, any other colour kept
    // readable; About's links.
    const auto cell = [&](const Palette& pal, const SystemColours& sys, Rgb text, Rgb back, bool link) {
        const CellColours c = CellColoursOf(pal, sys, text, back, link);
        return std::vector<Rgb>{c.text, c.back};
    };
    EXPECT_EQ(cell(p, s, s.windowText, NameMarkColour(), false), (std::vector<Rgb>{s.windowText, NameMarkColour()}));
    EXPECT_EQ(cell(p, s, s.windowText, ValueMarkColour(), true), (std::vector<Rgb>{kListLink, ValueMarkColour()}));
    EXPECT_EQ(cell(p, s, {250, 250, 250}, s.window, false), (std::vector<Rgb>{s.windowText, s.window}));
    EXPECT_EQ(cell(p, s, {200, 0, 0}, s.window, false), (std::vector<Rgb>{{200, 0, 0}, s.window}));
    EXPECT_EQ(cell(h, b, b.windowText, ValueMarkColour(), true), (std::vector<Rgb>{b.highlightText, b.highlight}));
    EXPECT_EQ(cell(h, b, {200, 0, 0}, {255, 255, 255}, false), (std::vector<Rgb>{b.windowText, b.window}));
    EXPECT_EQ(cell(h, b, b.windowText, b.window, true), (std::vector<Rgb>{b.hotLight, b.window}));
    EXPECT_EQ(DialogLinkColour(p, s, {0, 128, 0}), (Rgb{0, 128, 0}));
    EXPECT_EQ(DialogLinkColour(p, s, {200, 200, 255}), s.windowText);
    EXPECT_EQ(DialogLinkColour(h, b, {0, 0, 255}), b.hotLight);
}

}  // namespace
}  // namespace tw
