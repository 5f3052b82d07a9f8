#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fakes/fake_shell.h"
#include "ui/list_model.h"
#include "ui/list_model_rows.h"

namespace tw {
namespace {

using Ints = std::vector<int>;
using Texts = std::vector<std::string>;

class ListModelTest : public ::testing::Test {
protected:
    void Fill(Texts texts) {
        if (list.ColumnCount() == 0) list.InsertColumn("Title", 100, -1, 0);
        for (const std::string& t : texts) list.AddRow(t, -1);
    }
    Texts Column0() const {
        Texts out;
        for (int r = 0; r < list.RowCount(); ++r) out.push_back(list.CellText(r, 0));
        return out;
    }
    Ints Selection() const {
        Ints rows;
        list.SelectedRows(rows);
        return rows;
    }

    fakes::FakeClock clock;
    Latin1CodePage latin1;
    ListModel list{clock, latin1};
};

TEST_F(ListModelTest, ColumnsAndCellsWithinTheirBounds) {
    EXPECT_EQ(list.AddRow("x", 0), -1) << "a row needs a column";
    list.SetHeaderImageWidth(16);
    list.InsertColumn("", 300, 2, 0);  // an untitled image column takes the image width and five
    list.InsertColumn("URL", 300, 2, 0);
    EXPECT_EQ(list.Column(0)->width, 21);
    EXPECT_EQ(list.Column(1)->width, 300);
    EXPECT_EQ(list.Column(1)->position, 1);
    EXPECT_EQ(list.AddRow("a", 3), 0);
    EXPECT_EQ(list.AddRow("b", 4), 1);
    ListCell cell;
    ASSERT_TRUE(list.GetCell(1, 0, cell));
    EXPECT_EQ(cell.text, "b");
    EXPECT_EQ(cell.image, 4);
    list.InsertColumn("Added", 100, -1, 0);  // a column added after the rows reads empty and can be set
    EXPECT_EQ(list.CellText(0, 2), "");
    EXPECT_TRUE(list.SetCellText(0, 2, "http://x/"));
    EXPECT_EQ(list.CellText(0, 2), "http://x/");
    std::string title = "unchanged";
    EXPECT_FALSE(list.ColumnTitle(3, title));
    EXPECT_EQ(title, "unchanged");
    EXPECT_TRUE(list.ColumnTitle(1, title));
    EXPECT_EQ(title, "URL");
    EXPECT_FALSE(list.SetColumnWidth(3, 50));
    EXPECT_FALSE(list.SetColumnWidth(0, -1));
    EXPECT_TRUE(list.SetColumnWidth(0, 0));
    EXPECT_EQ(list.Column(0)->width, 0);
    for (auto [row, column] : {std::pair{2, 0}, {0, 3}, {-1, 0}}) EXPECT_FALSE(list.SetCellText(row, column, "x"));
    EXPECT_EQ(list.CellText(0, 5), "");
    EXPECT_FALSE(list.RemoveRow(2));
    EXPECT_FALSE(list.RemoveRow(-1));
    EXPECT_FALSE(list.Select(2, 0, 0));
    EXPECT_FALSE(list.Select(-2, 0, 0));
    EXPECT_EQ(list.RowCount(), 2);
    list.RemoveAllColumns();  // old cells go with their columns
    EXPECT_EQ(list.ColumnCount(), 0);
    list.InsertColumn("Title", 100, -1, 0);
    EXPECT_EQ(list.CellText(0, 0), "");
}

TEST_F(ListModelTest, TabFillRowsLandInTheModelCellByCell) {
    ListModelRows rows(list);
    Row row;
    row.image = 7;
    row.cells = {{"file", 0, false, {}}, {"http://a/", kCellLink, false, {}}, {"05.07.2024", 0, true, FileTime::FromValue(9)}};
    EXPECT_FALSE(rows.AddRow(row)) << "no column yet";
    for (const char* title : {"File", "URL", "Last Visited"}) rows.AddColumn({title, 100, 0});
    ASSERT_TRUE(rows.AddRow(row));
    ListCell cell;
    ASSERT_TRUE(list.GetCell(0, 0, cell));
    EXPECT_EQ(cell.text, "file");
    EXPECT_EQ(cell.image, 7);
    ASSERT_TRUE(list.GetCell(0, 1, cell));
    EXPECT_EQ(cell.text, "http://a/");
    EXPECT_EQ(cell.format, kCellLink);
    ASSERT_TRUE(list.GetCell(0, 2, cell));
    EXPECT_EQ(cell.date.Value(), 9u);
    EXPECT_EQ(rows.RowCount(), 1);
    rows.RemoveAll();
    EXPECT_EQ(rows.RowCount(), 0);
}

TEST_F(ListModelTest, RemovingARowMovesTheLaterRowsSelectionFocusAndAnchorUp) {
    Fill({"0", "1", "2", "3", "4"});
    list.Select(1, 0, 0);
    list.Select(4, 0, kKeyControl);
    list.Select(2, 0, kKeyControl);  // focus and anchor 2
    EXPECT_TRUE(list.RemoveRow(0));
    EXPECT_EQ(Column0(), (Texts{"1", "2", "3", "4"}));
    EXPECT_EQ(Selection(), (Ints{0, 1, 3}));
    EXPECT_EQ(list.FocusRow(), 1);
    EXPECT_EQ(list.AnchorRow(), 1);
    list.RemoveRow(1);
    EXPECT_EQ(Selection(), (Ints{0, 2}));
    EXPECT_EQ(list.FocusRow(), -1);
    EXPECT_EQ(list.CurrentRow(), 0);
}

TEST_F(ListModelTest, SelectFollowsTheKeyState) {
    Fill({"0", "1", "2", "3", "4", "5"});
    struct Step { int row; unsigned keys; Ints selected; int current; bool added; } steps[] = {
        {1, kKeyShift, {1}, 1, true},            // Shift without an anchor selects just the row
        {2, 0, {2}, 2, true},
        {2, 0, {2}, 2, false},                   // already the only one
        {4, kKeyControl, {2, 4}, 4, true},
        {2, kKeyControl, {4}, 4, false},         // toggled off; anchor 2
        {0, kKeyShift, {0, 1, 2}, 0, true},      // from the anchor
        {3, kKeyShift, {2, 3}, 3, true},         // anchor stays at 2
        {3, kKeyControl, {2}, 2, false},         // focus 3 unselected: lowest
        {-1, 0, {}, -1, false},
        {5, kKeyShift, {3, 4, 5}, 5, true},      // Ctrl made 3 the anchor
    };
    for (const auto& s : steps) {
        bool added = !s.added;
        ASSERT_TRUE(list.Select(s.row, 0, s.keys, &added)) << s.row;
        EXPECT_EQ(Selection(), s.selected) << "row " << s.row << " keys " << s.keys;
        EXPECT_EQ(list.CurrentRow(), s.current) << "row " << s.row << " keys " << s.keys;
        EXPECT_EQ(added, s.added) << "row " << s.row << " keys " << s.keys;
    }
    EXPECT_TRUE(list.SelectAll());
    EXPECT_EQ(Selection(), (Ints{0, 1, 2, 3, 4, 5}));
    EXPECT_FALSE(list.SelectAll());
    list.SetSingleSelection(true);  // ignores Ctrl, Shift and Ctrl+A
    list.Select(0, 0, 0);
    list.Select(2, 0, kKeyShift);
    list.Select(3, 0, kKeyControl);
    EXPECT_EQ(Selection(), (Ints{3}));
    EXPECT_FALSE(list.SelectAll());
    EXPECT_EQ(Selection(), (Ints{3}));
}

TEST_F(ListModelTest, ToggleStepsCheckAndThreeStateCells) {
    Fill({"x"});
    list.InsertColumn("Check", 20, -1, 0);
    struct Case { int format; const char *before, *after; bool toggles; } cases[] = {
        {kCellCheck, "0", "1", true}, {kCellCheck, "1", "0", true}, {kCellCheck, "", "1", true},
        {kCellThreeState, "-1", "0", true}, {kCellThreeState, "0", "1", true}, {kCellThreeState, "1", "-1", true},
        {kCellThreeState, "-7", "0", true}, {kCellThreeState, "junk", "1", true}, {kCellLink, "1", "1", false},
    };
    for (const auto& c : cases) {
        list.SetCellFormat(0, 1, c.format, 0);
        list.SetCellText(0, 1, c.before);
        EXPECT_EQ(list.ToggleCell(0, 1), c.toggles);
        EXPECT_EQ(list.CellText(0, 1), c.after) << c.format << " " << c.before;
    }
}

TEST_F(ListModelTest, NavigationTargetsStayInsideTheList) {
    EXPECT_EQ(list.NavigationTarget(kNavDown, 4), -1) << "an empty list";
    Fill({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    struct Case { int focus, key, target; } cases[] = {
        {-1, kNavDown, 0}, {-1, kNavUp, 0}, {-1, kNavPageUp, 0}, {0, kNavUp, 0}, {9, kNavDown, 9}, {4, kNavDown, 5},
        {4, kNavUp, 3}, {4, kNavPageDown, 8}, {8, kNavPageDown, 9}, {6, kNavPageUp, 2}, {2, kNavPageUp, 0},
        {5, kNavHome, 0}, {5, kNavEnd, 9}, {5, 0x41, -1},
    };
    for (const auto& c : cases) {
        list.Select(c.focus, 0, 0);
        EXPECT_EQ(list.NavigationTarget(c.key, 4), c.target) << c.focus << " key " << c.key;
    }
}

TEST_F(ListModelTest, TypeAheadFindsTheTypedPrefixInTheSortColumn) {
    EXPECT_EQ(list.TypeAhead('A'), -1) << "no sort column";
    Fill({"alpha", "Beta", "abacus", "ABle", "bravo", "Abel", "zulu", "zul"});
    EXPECT_EQ(list.TypeAhead('A'), -1) << "no sort column";
    list.SortByColumn(0);
    ASSERT_EQ(Column0(), (Texts{"ABle", "Abel", "Beta", "abacus", "alpha", "bravo", "zul", "zulu"}));
    struct Step { int letter; std::uint32_t afterMs; int found; };
    struct Case { const char* name; std::vector<Step> steps; } cases[] = {
        {"two quick letters in any case", {{'A', 900, 0}, {'L', 100, 4}}},
        {"a focus row that already matches stays", {{'A', 900, 0}, {'B', 100, 0}}},
        {"a pause of 800 ms starts again from row 0", {{'A', 900, 0}, {'L', 100, 4}, {'B', 800, 2}}},
        {"just under the pause still extends", {{'A', 900, 0}, {'L', 799, 4}}},
        {"the same letter steps and wraps", {{'A', 900, 0}, {'A', 100, 1}, {'A', 100, 3}, {'A', 100, 4}, {'A', 100, 0}}},
        {"the same letter after a pause starts after the focus", {{'A', 900, 0}, {'A', 100, 1}, {'A', 5000, 3}}},
        {"non-letters and unmatched letters change nothing", {{'B', 900, 2}, {'1', 0, -1}, {'Q', 900, -1}, {'[', 0, -1}}},
        {"the last letter, and a row too short for the prefix", {{'Z', 900, 6}, {'U', 100, 6}, {'L', 100, 6}, {'U', 100, 7}}},
    };
    for (const Case& c : cases) {
        clock.tick += 900;  // each case starts afresh: no focus row, another letter typed last
        list.TypeAhead('Q');
        list.Select(-1, 0, 0);
        int current = -1;
        for (const Step& s : c.steps) {
            clock.tick += s.afterMs;
            EXPECT_EQ(list.TypeAhead(s.letter), s.found) << c.name << ": " << char(s.letter);
            if (s.found >= 0) current = s.found;
            EXPECT_EQ(list.CurrentRow(), current) << c.name;
        }
        EXPECT_EQ(Selection(), Ints{current}) << c.name;
    }
    clock.tick = 0xFFFFFF00u;  // the tick wrapping round counts as a short interval
    list.TypeAhead('A');
    clock.tick = 0x00000010u;
    EXPECT_EQ(list.TypeAhead('L'), 4);
}

}  // namespace
}  // namespace tw
