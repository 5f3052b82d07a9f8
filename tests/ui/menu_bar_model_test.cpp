#include <gtest/gtest.h>

#include <vector>

#include "ui/menu_bar_model.h"

namespace tw {
namespace {

MenuBarModel Bar() {
    MenuBarModel bar;
    bar.SetButtons({"&File", "&Clean", "&Edit", "&Settings", "&Help"}, {20, 30, 22, 45, 25});
    return bar;
}

TEST(MenuBarModel, ButtonsFollowOneAnotherWithPaddedWidths) {
    const MenuBarModel bar = Bar();
    ASSERT_EQ(bar.Count(), 5);
    const int pad = 2 * MenuBarModel::kTextPadding;
    const int widths[] = {20, 30, 22, 45, 25};
    int left = 0;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(bar.Button(i).left, left) << i;
        EXPECT_EQ(bar.Button(i).width, widths[i] + pad) << i;
        left += widths[i] + pad;
    }
    EXPECT_EQ(bar.TotalWidth(), left);
    EXPECT_EQ(bar.Button(1).text, "&Clean");
}

TEST(MenuBarModel, MissingOrNegativeWidthsCountAsEmptyText) {
    MenuBarModel bar;
    bar.SetButtons({"a", "b", "c"}, {-5, 10});
    EXPECT_EQ(bar.Button(0).width, 2 * MenuBarModel::kTextPadding);
    EXPECT_EQ(bar.Button(2).width, 2 * MenuBarModel::kTextPadding);
    EXPECT_EQ(bar.Button(2).left, 4 * MenuBarModel::kTextPadding + 10);
}

TEST(MenuBarModel, OutsideIndexGivesAnEmptyButton) {
    const MenuBarModel bar = Bar();
    EXPECT_EQ(bar.Button(-1).width, 0);
    EXPECT_EQ(bar.Button(5).text, "");
    EXPECT_EQ(MenuBarModel().TotalWidth(), 0);
}

TEST(MenuBarModel, HitTest) {
    const MenuBarModel bar = Bar();
    const int first = bar.Button(1).left;
    struct Case {
        int x, button;
    } cases[] = {{-1, -1}, {0, 0}, {first - 1, 0}, {first, 1}, {bar.TotalWidth() - 1, 4}, {bar.TotalWidth(), -1}};
    for (const auto& c : cases)
        EXPECT_EQ(bar.HitTest(c.x), c.button) << c.x;
}

TEST(MenuBarModel, Mnemonics) {
    struct Case {
        const char* text;
        char mnemonic;
    } cases[] = {{"&File", 'F'}, {"Fi&le", 'l'}, {"No mark", 0}, {"Salt && &Pepper", 'P'},
                 {"&&Only literal", 0}, {"Trailing&", 0}, {"", 0}, {"&&&x", 'x'}};
    for (const auto& c : cases)
        EXPECT_EQ(MnemonicOf(c.text), c.mnemonic) << c.text;
}

TEST(MenuBarModel, FindMnemonicIgnoresCase) {
    const MenuBarModel bar = Bar();
    EXPECT_EQ(bar.FindMnemonic('c'), 1);
    EXPECT_EQ(bar.FindMnemonic('S'), 3);
    EXPECT_EQ(bar.FindMnemonic('H'), 4);
    EXPECT_EQ(bar.FindMnemonic('x'), -1);
    EXPECT_EQ(bar.FindMnemonic(0), -1);
}

TEST(MenuBarModel, NeighboursWrapRound) {
    const MenuBarModel bar = Bar();
    EXPECT_EQ(bar.Neighbour(0, 1), 1);
    EXPECT_EQ(bar.Neighbour(4, 1), 0);
    EXPECT_EQ(bar.Neighbour(0, -1), 4);
    EXPECT_EQ(bar.Neighbour(2, -1), 1);
    EXPECT_EQ(MenuBarModel().Neighbour(0, 1), -1);
}

std::vector<unsigned char> Words(std::vector<unsigned> words) {
    std::vector<unsigned char> bytes;
    for (unsigned w : words) {
        bytes.push_back((unsigned char)(w & 255));
        bytes.push_back((unsigned char)(w >> 8));
    }
    return bytes;
}

TEST(ToolBarResource, ReadsSizeAndCommands) {
    const auto bytes = Words({1, 16, 15, 3, 32768, 0, 40013});
    ToolBarResource bar;
    ASSERT_TRUE(ParseToolBarResource(bytes.data(), bytes.size(), bar));
    EXPECT_EQ(bar.imageWidth, 16);
    EXPECT_EQ(bar.imageHeight, 15);
    EXPECT_EQ(bar.commands, (std::vector<unsigned>{32768, 0, 40013}));
}

std::vector<unsigned char> Dwords(std::vector<unsigned> dwords) {
    std::vector<unsigned char> bytes;
    for (unsigned d : dwords)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back((unsigned char)((d >> shift) & 255));
    return bytes;
}

TEST(ToolBarResource, ReadsTheWideLayoutOfTheGnuCompiler) {
    const auto bytes = Dwords({16, 16, 3, 32768, 0, 40013});
    ToolBarResource bar;
    ASSERT_TRUE(ParseToolBarResource(bytes.data(), bytes.size(), bar));
    EXPECT_EQ(bar.imageWidth, 16);
    EXPECT_EQ(bar.imageHeight, 16);
    EXPECT_EQ(bar.commands, (std::vector<unsigned>{32768, 0, 40013}));
}

TEST(ToolBarResource, RejectsMalformedBlocks) {
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"empty", {}},
        {"short header", Words({1, 16, 16})},
        {"version 2", Words({2, 16, 16, 1, 5})},
        {"count past the end", Words({1, 16, 16, 3, 5, 6})},
        {"odd trailing byte only", {1, 0, 16, 0, 16, 0, 1, 0, 5}},
        {"wide count past the end", Dwords({16, 16, 3, 32768, 0})},
        {"wide count short of the end", Dwords({16, 16, 1, 32768, 0})},
    };
    for (const auto& c : cases) {
        ToolBarResource bar;
        EXPECT_FALSE(ParseToolBarResource(c.bytes.data(), c.bytes.size(), bar)) << c.what;
    }
    ToolBarResource bar;
    EXPECT_FALSE(ParseToolBarResource(nullptr, 100, bar));
}

TEST(ToolBarResource, ImageNumbersSkipSeparatorsAndKeepTheFirstOfARepeat) {
    const auto images = CommandImageNumbers({32768, 0, 32779, 32768, 40013});
    EXPECT_EQ(images, (std::map<unsigned, int>{{32768, 0}, {32779, 1}, {40013, 3}}));
}

}  // namespace
}  // namespace tw
