#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "ui/menu_bar_model.h"

namespace tw {
namespace {

using Bytes = std::vector<unsigned char>;

MenuBarModel Bar() {
    MenuBarModel bar;
    bar.SetButtons({"&File", "&Clean", "&Edit", "&Settings", "&Help"}, {20, 30, 22, 45, 25});
    return bar;
}

TEST(MenuBarModel, ButtonsFollowOneAnotherWithPaddedWidths) {
    const MenuBarModel bar = Bar();
    ASSERT_EQ(bar.Count(), 5);
    const int pad = 2 * MenuBarModel::kTextPadding;
    int left = 0;
    for (int i = 0, widths[] = {20, 30, 22, 45, 25}; i < 5; left += widths[i++] + pad) {
        EXPECT_EQ(bar.Button(i).left, left) << i;
        EXPECT_EQ(bar.Button(i).width, widths[i] + pad) << i;
    }
    EXPECT_EQ(bar.TotalWidth(), left);
    EXPECT_EQ(bar.Button(1).text, "&Clean");
    EXPECT_EQ(bar.Button(-1).width, 0);  // outside: an empty button
    EXPECT_EQ(bar.Button(5).text, "");
    EXPECT_EQ(MenuBarModel().TotalWidth(), 0);
    const int first = bar.Button(1).left;
    for (auto [x, button] : {std::pair{-1, -1}, {0, 0}, {first - 1, 0}, {first, 1}, {left - 1, 4}, {left, -1}})
        EXPECT_EQ(bar.HitTest(x), button) << x;
    MenuBarModel odd;  // missing or negative widths count as empty text
    odd.SetButtons({"a", "b", "c"}, {-5, 10});
    EXPECT_EQ(odd.Button(0).width, pad);
    EXPECT_EQ(odd.Button(2).width, pad);
    EXPECT_EQ(odd.Button(2).left, 2 * pad + 10);
}

TEST(MenuBarModel, MnemonicsAndNeighbours) {
    struct Case { const char* text; char mnemonic; } cases[] = {
        {"&File", 'F'}, {"Fi&le", 'l'}, {"No mark", 0}, {"Salt && &Pepper", 'P'}, {"&&Only literal", 0},
        {"Trailing&", 0}, {"", 0}, {"&&&x", 'x'}};
    for (const auto& c : cases) EXPECT_EQ(MnemonicOf(c.text), c.mnemonic) << c.text;
    const MenuBarModel bar = Bar();
    for (auto [letter, button] : {std::pair{'c', 1}, {'S', 3}, {'H', 4}, {'f', 0}, {'x', -1}, {'\0', -1}})
        EXPECT_EQ(bar.FindMnemonic(letter), button) << letter;  // without regard to case
    for (auto [from, step, to] : {std::tuple{0, 1, 1}, {4, 1, 0}, {0, -1, 4}, {2, -1, 1}, {3, 1, 4}})
        EXPECT_EQ(bar.Neighbour(from, step), to) << from << " " << step;  // wrapping round
    EXPECT_EQ(MenuBarModel().Neighbour(0, 1), -1);
}

Bytes Words(std::vector<unsigned> words, int size) {
    Bytes bytes;
    for (unsigned w : words)
        for (int shift = 0; shift < 8 * size; shift += 8) bytes.push_back((unsigned char)((w >> shift) & 255));
    return bytes;
}

TEST(ToolBarResource, ReadsBothLayoutsAndRejectsMalformedBlocks) {
    // The resource compiler's layout in words, and the GNU compiler's wide one without the version.
    for (const Bytes& bytes : {Words({1, 16, 15, 3, 32768, 0, 40013}, 2), Words({16, 15, 3, 32768, 0, 40013}, 4)}) {
        ToolBarResource bar;
        ASSERT_TRUE(ParseToolBarResource(bytes.data(), bytes.size(), bar));
        EXPECT_EQ(bar.imageWidth, 16);
        EXPECT_EQ(bar.imageHeight, 15);
        EXPECT_EQ(bar.commands, (std::vector<unsigned>{32768, 0, 40013}));
    }
    const Bytes bad[] = {
        {}, Words({1, 16, 16}, 2), Words({2, 16, 16, 1, 5}, 2), Words({1, 16, 16, 3, 5, 6}, 2),
        {1, 0, 16, 0, 16, 0, 1, 0, 5},                         // an odd trailing byte only
        Words({16, 16, 3, 32768, 0}, 4), Words({16, 16, 1, 32768, 0}, 4),  // wide counts past and short of the end
    };
    for (const Bytes& bytes : bad) {
        ToolBarResource bar;
        EXPECT_FALSE(ParseToolBarResource(bytes.data(), bytes.size(), bar)) << bytes.size();
    }
    ToolBarResource bar;
    EXPECT_FALSE(ParseToolBarResource(nullptr, 100, bar));
    // Image numbers skip separators and keep the first of a repeat.
    EXPECT_EQ(CommandImageNumbers({32768, 0, 32779, 32768, 40013}),
              (std::map<unsigned, int>{{32768, 0}, {32779, 1}, {40013, 3}}));
}

}  // namespace
}  // namespace tw
