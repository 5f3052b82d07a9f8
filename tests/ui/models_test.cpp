// The small models behind the painted controls and the band window.
#include <gtest/gtest.h>

#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "ui/about_model.h"
#include "ui/band_window_model.h"
#include "ui/colour_math.h"
#include "ui/menu_bar_model.h"
#include "ui/progress_indicator.h"
#include "ui/tab_strip_model.h"

namespace tw {
namespace {

using Ints = std::vector<int>;

TEST(BandWindowModel, TabsMarginsLayoutAndCommands) {
    for (auto [tab, list, shows] : {std::tuple{0, EntryKind::History, true}, {1, EntryKind::Cookie, true},
                                    {2, EntryKind::Cache, true}, {-1, EntryKind::History, false},
                                    {3, EntryKind::History, false}}) {
        EXPECT_EQ(ListOfTab(tab), list) << tab;
        EXPECT_EQ(IsTab(tab), shows) << tab;
    }
    for (auto [browser, band, frame, margin] : {std::tuple{false, 100, 0, 0}, {true, 30, 0, 0}, {true, 50, 0, 20},
                                                {true, 51, 0, 0}, {true, 10, 0, -20}, {true, 0, 40, 10}})
        EXPECT_EQ(RightMargin(browser, band, frame), margin) << band << " " << frame;
    const BandLayout l = LayOutBand(800, 300, 10);  // not clamped
    EXPECT_EQ((Ints{l.menuBar.width, l.lists.y, l.lists.width, l.lists.height, l.tabStrip.x, l.tabStrip.width}),
              (Ints{580, 25, 790, 275, 580, 210}));
    EXPECT_EQ(LayOutBand(100, 10, 0).lists.height, -15);
    EXPECT_EQ((std::vector<Rgb>{BandBackground({240, 240, 240}), BandBackground({212, 100, 0}),
                                FromColourRef(0x00C8D0D4)}),
              (std::vector<Rgb>{{255, 255, 255}, {226, 107, 0}, {212, 208, 200}}));
    EXPECT_EQ(ToColourRef(Rgb{212, 208, 200}), 0x00C8D0D4u);
    EXPECT_EQ(FindCommand((1u << 16) | 32781)->command, Command::CleanCookies);  // a notification code rides along
    EXPECT_EQ(FindCommand(32769)->image, 22);
    EXPECT_EQ(FindCommand(32770), nullptr);
}

TEST(AboutModel, AnchorColoursAndBanner) {
    const struct { const char* text; bool ok; Rgb colour; } cases[] = {
        {"0,128,0", true, {0, 128, 0}}, {"0,128", false, {}}, {"1,2,", false, {}}, {" 12,\t34 ,56x", true, {12, 34, 56}},
        {"a,b,c", true, {0, 0, 0}}, {"300,0,99999", true, {255, 0, 255}}, {",,", false, {}}, {",,7", true, {0, 0, 7}},
        {"\r7,\v8,\f9", true, {7, 8, 9}},  // every white space character, up to carriage return
        {"255", false, {}}, {"1 2 3", false, {}},  // no comma at all
    };
    for (const auto& c : cases) {
        Rgb got = kLinkColour;
        EXPECT_EQ(ParseAnchorColour(c.text, &got), c.ok) << c.text;
        EXPECT_EQ(got, c.ok ? c.colour : kLinkColour) << c.text;
    }
    for (auto [dialog, width, height] : {std::tuple{401, 400, 80}, {405, 400, 81}, {200, 400, 40}, {200, 0, 80}})
        EXPECT_EQ(BannerHeight(dialog, width, 80), height) << dialog << " " << width;
}

TEST(MenuBarModel, ButtonsHitTestsMnemonicsAndNeighbours) {
    MenuBarModel bar;
    bar.SetButtons({"&File", "&Clean", "&Edit", "&Settings", "&Help"}, {20, 30, 22, 45, 25});
    const int pad = 2 * MenuBarModel::kTextPadding, first = 20 + pad, total = 142 + 5 * pad;
    EXPECT_EQ((Ints{bar.Button(1).left, bar.Button(1).width, bar.Button(4).left, bar.TotalWidth()}),
              (Ints{first, 30 + pad, total - 25 - pad, total}));
    EXPECT_EQ(bar.Button(5).text + bar.Button(-1).text, "");  // outside: an empty button
    for (auto [x, button] : {std::pair{-1, -1}, {0, 0}, {first - 1, 0}, {first, 1}, {total - 1, 4}, {total, -1}})
        EXPECT_EQ(bar.HitTest(x), button) << x;
    MenuBarModel odd;  // missing or negative widths count as empty text
    odd.SetButtons({"a", "b", "c"}, {-5, 10});
    EXPECT_EQ((Ints{odd.Button(0).width, odd.Button(2).width, odd.Button(2).left}), (Ints{pad, pad, 2 * pad + 10}));
    for (auto [text, mnemonic] : {std::pair{"Fi&le", 'l'}, {"No mark", '\0'}, {"Salt && &Pepper", 'P'},
                                  {"&&Only literal", '\0'}, {"Trailing&", '\0'}, {"&&&x", 'x'}})
        EXPECT_EQ(MnemonicOf(text), mnemonic) << text;
    for (auto [letter, button] : {std::pair{'c', 1}, {'S', 3}, {'H', 4}, {'f', 0}, {'x', -1}, {'\0', -1}})
        EXPECT_EQ(bar.FindMnemonic(letter), button) << letter;  // without regard to case
    // Unmarked texts open by their first letter or digit, and show it marked with the keyboard cues.
    for (auto [text, key, marked] : {std::tuple{"File", 'F', "&File"}, {"Fi&le", 'l', "Fi&le"}, {"  7 up", '7', "  &7 up"},
                                     {"A && B", 'A', "&A && B"}, {"&&Only", 'O', "&&&Only"}, {"...", '\0', "..."}}) {
        EXPECT_EQ(AccessKeyOf(text), key) << text;
        EXPECT_EQ(WithAccessKeyMarked(text), marked) << text;
    }
    MenuBarModel plain;
    plain.SetButtons({"File", "Clean", "Edit", "...", "Help"}, {});
    for (auto [letter, button] : {std::pair{'e', 2}, {'H', 4}, {'.', -1}})
        EXPECT_EQ(plain.FindMnemonic(letter), button) << letter;
    // A popup's typed key picks on from the highlighted item, round to it.
    const std::vector<std::string> items = {"Refresh", "", "Save History...", "Save Cookie List...", "&Advanced"};
    for (auto [key, highlighted, item, only] : {std::tuple{'r', -1, 0, true}, {'s', -1, 2, false}, {'S', 2, 3, false},
                                                {'s', 3, 2, false}, {'a', 4, 4, true}, {'x', 0, -1, false},
                                                {'\0', 0, -1, false}}) {
        bool alone = !only;
        EXPECT_EQ(ItemOfKey(items, highlighted, key, &alone), item) << key << " " << highlighted;
        EXPECT_EQ(alone, only) << key << " " << highlighted;
    }
    EXPECT_EQ(ItemOfKey({"Save", "Store"}, 0, 's', nullptr), 1) << "on from the first item when it is highlighted";
    for (auto [from, step, to] : {std::tuple{0, 1, 1}, {4, 1, 0}, {0, -1, 4}, {2, -1, 1}})
        EXPECT_EQ(bar.Neighbour(from, step), to) << from << " " << step;  // wrapping round
    EXPECT_EQ(MenuBarModel().Neighbour(0, 1), -1);
}

std::vector<unsigned char> Words(std::vector<unsigned> words, int size) {
    std::vector<unsigned char> bytes;
    for (unsigned w : words)
        for (int shift = 0; shift < 8 * size; shift += 8) bytes.push_back((unsigned char)((w >> shift) & 255));
    return bytes;
}

TEST(ToolBarResource, ReadsBothLayoutsAndRejectsMalformedBlocks) {
    // The resource compiler's layout in words, and the GNU compiler's wide one without the version.
    for (const auto& bytes : {Words({1, 16, 15, 3, 32768, 0, 40013}, 2), Words({16, 15, 3, 32768, 0, 40013}, 4)}) {
        ToolBarResource bar;
        ASSERT_TRUE(ParseToolBarResource(bytes.data(), bytes.size(), bar));
        EXPECT_EQ((std::vector<unsigned>{unsigned(bar.imageWidth), unsigned(bar.imageHeight), bar.commands[0],
                                         bar.commands[1], bar.commands[2]}),
                  (std::vector<unsigned>{16, 15, 32768, 0, 40013}));
    }
    // A bar without buttons, in either layout, and the largest images the wide one holds.
    for (const auto& [bytes, width] : {std::pair{Words({0xFFFF, 0xFFFF, 0}, 4), 0xFFFF}, {Words({1, 16, 15, 0}, 2), 16}}) {
        ToolBarResource bar;
        ASSERT_TRUE(ParseToolBarResource(bytes.data(), bytes.size(), bar)) << bytes.size();
        EXPECT_EQ(bar.imageWidth, width);
        EXPECT_EQ(bar.imageHeight, width == 16 ? 15 : width);
        EXPECT_TRUE(bar.commands.empty());
    }
    const std::vector<unsigned char> bad[] = {
        {}, Words({1, 16, 16}, 2), Words({2, 16, 16, 1, 5}, 2), Words({1, 16, 16, 3, 5, 6}, 2),
        {1, 0, 16, 0, 16, 0, 1, 0, 5},                                     // an odd trailing byte only
        Words({16, 16, 3, 32768, 0}, 4), Words({16, 16, 1, 32768, 0}, 4),  // wide counts past and short of the end
    };
    for (const auto& bytes : bad) {
        ToolBarResource bar;
        EXPECT_FALSE(ParseToolBarResource(bytes.data(), bytes.size(), bar)) << bytes.size();
    }
    // Image numbers skip separators and keep the first of a repeat.
    EXPECT_EQ(CommandImageNumbers({32768, 0, 32779, 32768, 40013}),
              (std::map<unsigned, int>{{32768, 0}, {32779, 1}, {40013, 3}}));
}

TEST(ColourMath, TruncatedFactorsShadingAndAdjustment) {
    const TabColours c = TabColoursFrom(Rgb{212, 208, 200});
    EXPECT_EQ((std::vector<Rgb>{c.dark, c.light, c.current}),
              (std::vector<Rgb>{{201, 197, 189}, {222, 218, 209}, {226, 222, 214}}));
    for (auto [component, factor, expected] : {std::tuple{250, kTabLight, 255}, {255, kTabCurrent, 255},
                                               {100, kBarDark, 89}, {240, kBarLight, 255}, {0, kTabLight, 0}})
        EXPECT_EQ(ScaleComponent(component, factor), expected) << component << " x " << factor;
    const Rgb dark{100, 100, 100}, light{120, 140, 100};
    for (auto [band, height, shade] : {std::tuple{0, 20, dark}, {5, 20, Rgb{110, 120, 100}}, {10, 20, light},
                                       {3, 7, Rgb{117, 134, 100}}, {3, 0, dark}})
        EXPECT_EQ(ShadeBand(dark, light, band, height), shade) << band << "/" << height;
    for (auto [in, lightness, out] : {std::tuple{Rgb{255, 255, 255}, 20, Rgb{255, 255, 255}},
                                      {Rgb{128, 128, 128}, 75, Rgb{223, 223, 223}}, {Rgb{128, 128, 128}, 0, Rgb{128, 128, 128}},
                                      {Rgb{128, 128, 128}, -18, Rgb{104, 104, 104}}, {Rgb{0, 0, 0}, -50, Rgb{0, 0, 0}}})
        EXPECT_EQ(AdjustColour(in, lightness, 0), out) << in.r << " by " << lightness;
    const Rgb blue{10, 36, 106}, paler = AdjustColour(blue, 70, -57);  // a highlight keeps its hue
    EXPECT_TRUE(paler.b > paler.r && paler.b > paler.g && paler.r + paler.g > blue.r + blue.g) << paler.r;
    EXPECT_EQ(AdjustColour(blue, 0, 0).b, 106);
}

TEST(TabStrip, AddingSelectingAndHitTesting) {
    TabStripModel tabs;  // the first tab becomes current
    EXPECT_EQ((Ints{tabs.GetCurSel(), tabs.AddItem(1, "x"), tabs.AddItem(-1, "x"), tabs.AddItem(0, "c"), tabs.GetCurSel(),
                    tabs.AddItem(2, "x"), tabs.AddItem(0, "a"), tabs.AddItem(1, "b")}),
              (Ints{-1, -1, -1, 1, 0, -1, 1, 1}));
    EXPECT_EQ(tabs.Text(0) + tabs.Text(1) + tabs.Text(2) + tabs.Text(3) + tabs.Text(-1), "abc");
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_EQ(tabs.Rect(1, 20), (TabRect{70, 0, 140, 20}));
    EXPECT_EQ(tabs.Rect(0, 20), (TabRect{0, 0, 70, 20}));  // the first tab has a place too
    EXPECT_EQ(tabs.Rect(3, 20), TabRect{});
    for (auto [x, tab] : {std::pair{-1, -1}, {0, 0}, {70, 0}, {71, 1}, {140, 1}, {141, 2}, {210, 2}, {211, -1}})
        EXPECT_EQ(tabs.HitTest(x), tab) << x;  // a boundary pixel belongs to the lower tab
    for (auto [index, ok, current] : {std::tuple{2, true, 2}, {0, true, 0}, {3, false, 0}, {-1, false, 0}}) {
        EXPECT_EQ(tabs.SetCurrent(index), ok) << index;
        EXPECT_EQ(tabs.GetCurSel(), current) << index;
    }
    for (const TabRect& other : {TabRect{1, 0, 70, 20}, TabRect{0, 1, 70, 20}, TabRect{0, 0, 71, 20}, TabRect{0, 0, 70, 21}})
        EXPECT_FALSE(other == (TabRect{0, 0, 70, 20}));
}

TEST(ProgressIndicator, BoxesAndAWalkFromZeroToNineAndBack) {
    const auto boxes = ProgressIndicator::Boxes(300, 15);
    EXPECT_EQ(std::vector<TabRect>(boxes.begin(), boxes.begin() + 4),
              (std::vector<TabRect>{{0, 0, 28, 15}, {29, 0, 58, 15}, {59, 0, 88, 15}, {89, 0, 117, 15}}));
    EXPECT_LE(boxes.back().right, 300);
    ProgressIndicator p;
    Ints walk;
    for (int i = 0; i < 20; ++i, p.Advance()) walk.push_back(p.Position());
    EXPECT_EQ(walk, (Ints{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1}));
}

}  // namespace
}  // namespace tw
