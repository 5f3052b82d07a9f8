// What a screen reader is told of the lists, the tab strip and the menu bar.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "clean/find.h"
#include "core/classify.h"
#include "tests/fakes/fake_shell.h"
#include "ui/accessibility.h"

namespace tw {
namespace {

using Ints = std::vector<int>;

class AccessibleList : public ::testing::Test {
protected:
    void SetUp() override {
        list.RemoveAllRows();
        list.RemoveAllColumns();
        for (const char* title : {"Title", "URL", "Check"})
            list.InsertColumn(title, 100, -1, 0);
        for (const char* title : {"alpha", "", "charlie", "delta", "echo", "foxtrot"}) {
            const int row = list.AddRow(title, -1);
            list.SetCellText(row, 1, std::string("http://") + char('a' + row) + "/");
        }
        list.SetCellText(0, 2, "1");
        // Rows 1 and 2 selected, 2 the focus and the anchor.
        list.Select(1, 0, 0);
        list.Select(2, 0, kKeyControl);
    }
    std::string Selection() const {
        Ints rows;
        list.SelectedRows(rows);
        std::string out;
        for (int r : rows)
            out += std::to_string(r) + " ";
        return out + "focus " + std::to_string(list.FocusRow());
    }
    fakes::FakeClock clock;
    Latin1CodePage latin1;
    ListModel list{clock, latin1};
};

TEST_F(AccessibleList, ChildrenNamesAndStates) {
    for (auto [child, index] : {std::pair{0L, -1}, {1L, 0}, {6L, 5}, {7L, -1}, {-1L, -1}})
        EXPECT_EQ(IndexOfChild(child, 6), index) << child;
    EXPECT_EQ(ChildOfIndex(5), 6L);
    // What only an image or a colour shows is said too.
    list.SetCellImage(3, 0, kImageKeptCookie);
    list.SetCellImage(4, 0, kImageCookie);
    list.SetCellColours(4, 1, kDefaultColour, kValueMark);
    list.SetCellColours(5, 0, kDefaultColour, kNameMark);
    list.SetCellColours(5, 1, 0x00FF0000, kDefaultColour);
    for (auto [row, name, description] : {
             std::tuple{0, "alpha, http://a/, 1", "Title: alpha, URL: http://a/, Check: 1"},
             {1, "http://b/", "URL: http://b/"},  // empty cells are left out
             {3, "delta, http://d/, kept", "Title: delta, URL: http://d/, kept"},
             {4, "echo, http://e/, found", "Title: echo, URL: http://e/ (found)"},
             {5, "foxtrot, http://f/, found", "Title: foxtrot (found), URL: http://f/"},
             {6, "", ""}})
        EXPECT_EQ(RowName(list, row) + " | " + RowDescription(list, row), std::string(name) + " | " + description);
    ListModel untitled{clock, latin1};
    untitled.InsertColumn("", 20, 0, 0);
    untitled.InsertColumn("Size", 20, -1, 0);
    untitled.SetCellText(untitled.AddRow("7", -1), 1, "12 KB");
    EXPECT_EQ(RowDescription(untitled, 0), "7, Size: 12 KB") << "a column without a title gives the value alone";
    const unsigned always = kStateSelectable | kStateFocusable | kStateMultiSelectable;
    for (auto [row, focused, inView, state] :
         {std::tuple{1, true, true, always | kStateSelected}, {2, true, true, always | kStateSelected | kStateFocused},
          {2, false, true, always | kStateSelected}, {3, true, false, always | kStateOffscreen}})
        EXPECT_EQ(RowState(list, row, focused, inView), state) << row;
    list.SetSingleSelection(true);
    EXPECT_EQ(RowState(list, 0, false, true), kStateSelectable | kStateFocusable);
}

TEST_F(AccessibleList, SelectByFlags) {
    const long take = kSelectTakeSelection, focus = kSelectTakeFocus, extend = kSelectExtend, add = kSelectAdd,
               remove = kSelectRemove;
    const struct {
        int row;
        long flags;
        bool ok, added;
        const char* selection;
    } cases[] = {
        // Only the focus flag moves the focus, and the anchor with it.
        {4, take, true, true, "4 focus 2"},           {4, take | focus, true, true, "4 focus 4"},
        {0, extend, true, true, "0 1 2 focus 2"},     {4, extend | add, true, true, "1 2 3 4 focus 2"},
        {4, extend | focus, true, true, "1 2 3 4 focus 4"},
        {4, extend | remove, true, false, "1 focus 2"}, {0, extend | remove | focus, true, false, "focus 0"},
        {4, add, true, true, "1 2 4 focus 2"},        {1, add, true, false, "1 2 focus 2"},
        {1, remove, true, false, "2 focus 2"},        {4, remove | focus, true, false, "1 2 focus 4"},
        {4, focus, true, false, "1 2 focus 4"},       {4, 0, true, false, "1 2 focus 2"},
        {4, add | remove, false, false, "1 2 focus 2"}, {4, take | add, false, false, "1 2 focus 2"},
        {4, take | extend, false, false, "1 2 focus 2"}, {4, take | remove, false, false, "1 2 focus 2"},
        {4, 0x20, false, false, "1 2 focus 2"},      {6, take, false, false, "1 2 focus 2"},
        {-1, focus, false, false, "1 2 focus 2"},
    };
    for (const auto& c : cases) {
        SetUp();
        bool added = !c.added;
        EXPECT_EQ(SelectByFlags(list, c.row, c.flags, &added), c.ok) << c.row << " " << c.flags;
        EXPECT_EQ(added, c.added) << c.row << " " << c.flags;
        EXPECT_EQ(Selection(), c.selection) << c.row << " " << c.flags;
        EXPECT_EQ(list.AnchorRow(), list.FocusRow()) << c.row << " " << c.flags;
    }
    // Extended from an anchor that is not selected, the range leaves the
    // selection; the first row anchors too; without an anchor the row
    // stands alone.
    for (auto [anchor, row, selection] : {std::tuple{3, 1, "focus 3"}, {0, 3, "focus 0"}, {-1, 3, "1 2 3 focus -1"}}) {
        SetUp();
        if (anchor < 0) {
            list.RemoveAllRows();
            for (int r = 0; r < 4; ++r) list.AddRow("r", -1);
            list.SelectRange(1, 2, true, true);
        }
        EXPECT_TRUE((anchor < 0 || SelectByFlags(list, anchor, focus, nullptr)) &&
                    SelectByFlags(list, row, anchor < 0 ? extend | add : extend, nullptr));
        EXPECT_EQ(Selection(), selection) << anchor;
    }
    // A list of one selected row takes a click's flags only.
    SetUp();
    list.SetSingleSelection(true);
    for (long flags : {add, remove, extend, extend | add | focus})
        EXPECT_FALSE(SelectByFlags(list, 4, flags, nullptr)) << flags;
    EXPECT_TRUE(SelectByFlags(list, 4, take | focus, nullptr));
    EXPECT_EQ(Selection(), "4 focus 4");
    list.SetSingleSelection(false);
    EXPECT_TRUE(list.SetFocusRow(0));
    EXPECT_FALSE(list.SetFocusRow(6));
}

using Kind = ListEventKind;
using Events = std::vector<ListEvent>;

ListSnapshot Snap(int rows, unsigned order, int focus, Ints selected) {
    ListSnapshot s;
    s.rows = rows;
    s.order = order;
    s.focus = focus;
    s.selected = std::move(selected);
    return s;
}

TEST(AccessibleListEvents, ReorderSelectionAndFocus) {
    const ListSnapshot base = Snap(6, 0, 2, {1, 2});
    const std::vector<std::tuple<ListSnapshot, bool, Events>> cases = {
        {base, true, {}},
        {Snap(6, 0, 4, {4}), true, {{Kind::Selection, 4}, {Kind::Focus, 4}}},
        {Snap(6, 0, 4, {4}), false, {{Kind::Selection, 4}}},
        {Snap(6, 0, 1, {1}), true, {{Kind::SelectionRemove, 2}, {Kind::Focus, 1}}},
        {Snap(6, 0, 2, {1, 2, 4}), false, {{Kind::SelectionAdd, 4}}},
        {Snap(6, 0, 2, {0, 2, 3}), true, {{Kind::SelectionRemove, 1}, {Kind::SelectionAdd, 0}, {Kind::SelectionAdd, 3}}},
        {Snap(6, 0, 2, {}), true, {{Kind::SelectionRemove, 1}, {Kind::SelectionRemove, 2}}},
        {Snap(6, 1, 2, {3}), true, {{Kind::Reorder, -1}, {Kind::Focus, 2}}},
        {Snap(7, 0, -1, {}), true, {{Kind::Reorder, -1}}},
        {Snap(6, 0, 0, {0}), true, {{Kind::Selection, 0}, {Kind::Focus, 0}}},
    };
    for (const auto& [after, focused, events] : cases)
        EXPECT_EQ(ListEventsBetween(base, after, focused), events) << after.rows << " " << after.focus;
    ListSnapshot many = Snap(40, 0, 2, {}), all = many;
    for (int r = 0; r <= kSelectionEventsAtMost; ++r)
        all.selected.push_back(r);
    EXPECT_EQ(ListEventsBetween(many, all, false), (Events{{Kind::SelectionWithin, -1}}));
    all.selected.pop_back();
    EXPECT_EQ(ListEventsBetween(many, all, false).size(), std::size_t(kSelectionEventsAtMost));
    // One command's change, however small, is one change within the list.
    for (const auto& [after, focused, events] : std::vector<std::tuple<ListSnapshot, bool, Events>>{
             {base, true, {}},
             {Snap(6, 0, 2, {1, 2, 4}), true, {{Kind::SelectionWithin, -1}}},
             {Snap(6, 0, 4, {4}), true, {{Kind::SelectionWithin, -1}, {Kind::Focus, 4}}},
             {Snap(6, 0, 4, {1, 2}), true, {{Kind::Focus, 4}}},
             {Snap(6, 1, 2, {3}), false, {{Kind::Reorder, -1}}}})
        EXPECT_EQ(ListEventsBetween(base, after, focused, true), events) << after.focus;
}

TEST_F(AccessibleList, AnAnnouncerTellsEachChangeOnce) {
    ListAnnouncer announcer;
    EXPECT_EQ(announcer.Next(list, 0, true), (Events{{Kind::Reorder, -1}, {Kind::Focus, 2}}));
    EXPECT_EQ(announcer.Next(list, 0, true), Events{});
    list.AddUnselectedRows(0);
    EXPECT_EQ(announcer.Next(list, 0, false, true), (Events{{Kind::SelectionWithin, -1}}));
    EXPECT_EQ(announcer.Next(list, 0, false, true), Events{});
}

TEST(AccessibleTabsAndMenus, NamesStatesAndShortcuts) {
    TabStripModel tabs;
    for (const char* text : {" History ", "   ", "Cache"})
        tabs.AddItem(tabs.Count(), text);
    tabs.SetCurrent(2);
    EXPECT_EQ(TabName(tabs, 0) + "|" + TabName(tabs, 1) + "|" + TabName(tabs, 2) + "|" + TabName(tabs, 3),
              "History||Cache|");
    EXPECT_EQ(TabState(tabs, 2), kStateSelectable | kStateSelected);
    EXPECT_EQ(TabState(tabs, 0), kStateSelectable);
    const unsigned button = kStateFocusable | kStateHasPopup;
    for (auto [index, hot, open, keyboard, state] :
         {std::tuple{0, 0, -1, false, button | kStateHotTracked}, {0, 0, -1, true, button | kStateHotTracked | kStateFocused},
          {1, 0, -1, true, button}, {2, -1, 2, false, button | kStateHotTracked | kStatePressed},
          {2, 2, 2, true, button | kStateHotTracked | kStatePressed | kStateFocused}})
        EXPECT_EQ(MenuButtonState(index, hot, open, keyboard), state) << index << " " << hot << " " << open;
    for (auto [text, shown, shortcut] : {std::tuple{"&File", "File", "Alt+F"}, {"Salt && &Pepper", "Salt & Pepper", "Alt+P"},
                                        {"edit", "edit", "Alt+E"}, {"Trailing&", "Trailing&", "Alt+T"}, {"...", "...", ""},
                                        {"about", "about", "Alt+A"}, {"zoom", "zoom", "Alt+Z"}, {"9 out", "9 out", "Alt+9"}}) {
        EXPECT_EQ(MenuTextWithoutMarker(text), shown) << text;
        EXPECT_EQ(MenuShortcut(text), shortcut) << text;
    }
}

}  // namespace
}  // namespace tw
