#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fakes/fake_shell.h"
#include "ui/list_model.h"
#include "ui/list_model_rows.h"

namespace tw {
namespace {

class ListModelTest : public ::testing::Test {
protected:
    void Fill(std::initializer_list<const char*> texts) {
        if (list.ColumnCount() == 0)
            list.InsertColumn("Title", 100, -1, 0);
        for (const char* t : texts)
            list.AddRow(t, -1);
    }
    std::vector<std::string> Column0() const {
        std::vector<std::string> out;
        for (int r = 0; r < list.RowCount(); ++r)
            out.push_back(list.CellText(r, 0));
        return out;
    }
    std::vector<int> Selection() const {
        std::vector<int> rows;
        list.SelectedRows(rows);
        return rows;
    }

    fakes::FakeClock clock;
    Latin1CodePage latin1;
    ListModel list{clock, latin1};
};

TEST_F(ListModelTest, AddRowNeedsAColumnAndAnswersItsIndex) {
    EXPECT_EQ(list.AddRow("x", 0), -1);
    list.InsertColumn("Title", 100, -1, 0);
    EXPECT_EQ(list.AddRow("a", 3), 0);
    EXPECT_EQ(list.AddRow("b", 4), 1);
    ListCell cell;
    ASSERT_TRUE(list.GetCell(1, 0, cell));
    EXPECT_EQ(cell.text, "b");
    EXPECT_EQ(cell.image, 4);
}

TEST_F(ListModelTest, UntitledImageColumnTakesImageWidthPlusFive) {
    list.SetHeaderImageWidth(16);
    list.InsertColumn("", 300, 2, 0);
    list.InsertColumn("URL", 300, 2, 0);
    EXPECT_EQ(list.Column(0)->width, 21);
    EXPECT_EQ(list.Column(1)->width, 300);
    EXPECT_EQ(list.Column(1)->position, 1);
}

TEST_F(ListModelTest, OutOfRangeIndexesFailAndChangeNothing) {
    Fill({"a"});
    std::string title = "unchanged";
    EXPECT_FALSE(list.ColumnTitle(1, title));
    EXPECT_EQ(title, "unchanged");
    EXPECT_TRUE(list.ColumnTitle(0, title));
    EXPECT_EQ(title, "Title");
    EXPECT_FALSE(list.SetColumnWidth(1, 50));
    EXPECT_FALSE(list.SetColumnWidth(0, -1));
    EXPECT_TRUE(list.SetColumnWidth(0, 0));
    EXPECT_EQ(list.Column(0)->width, 0);
    EXPECT_FALSE(list.SetCellText(1, 0, "x"));
    EXPECT_FALSE(list.SetCellText(0, 1, "x"));
    EXPECT_FALSE(list.SetCellText(-1, 0, "x"));
    EXPECT_EQ(list.CellText(0, 5), "");
    EXPECT_FALSE(list.RemoveRow(1));
    EXPECT_FALSE(list.RemoveRow(-1));
    EXPECT_FALSE(list.Select(1, 0, 0));
    EXPECT_FALSE(list.Select(-2, 0, 0));
    EXPECT_EQ(list.RowCount(), 1);
}

TEST_F(ListModelTest, RowAddedBeforeAColumnReadsEmptyAndCanBeSet) {
    Fill({"a"});
    list.InsertColumn("URL", 100, -1, 0);
    EXPECT_EQ(list.CellText(0, 1), "");
    EXPECT_TRUE(list.SetCellText(0, 1, "http://x/"));
    EXPECT_EQ(list.CellText(0, 1), "http://x/");
}

TEST_F(ListModelTest, RemovingRowThreeOfFiveMovesTheLaterRowsUp) {
    Fill({"1", "2", "3", "4", "5"});
    EXPECT_TRUE(list.RemoveRow(2));
    EXPECT_EQ(Column0(), (std::vector<std::string>{"1", "2", "4", "5"}));
}

TEST_F(ListModelTest, RemovingARowShiftsSelectionFocusAndAnchor) {
    Fill({"0", "1", "2", "3", "4"});
    list.Select(1, 0, 0);
    list.Select(4, 0, kKeyControl);
    list.Select(2, 0, kKeyControl);  // focus and anchor 2
    list.RemoveRow(0);
    EXPECT_EQ(Selection(), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(list.FocusRow(), 1);
    EXPECT_EQ(list.AnchorRow(), 1);
    list.RemoveRow(1);
    EXPECT_EQ(Selection(), (std::vector<int>{0, 2}));
    EXPECT_EQ(list.FocusRow(), -1);
    EXPECT_EQ(list.CurrentRow(), 0);
}

struct SelectStep {
    int row;
    unsigned keys;
    std::vector<int> selected;
    int current;
    bool added;
};

TEST_F(ListModelTest, SelectFollowsTheKeyState) {
    Fill({"0", "1", "2", "3", "4", "5"});
    const SelectStep steps[] = {
        {2, 0, {2}, 2, true},
        {2, 0, {2}, 2, false},                       // already the only one
        {4, kKeyControl, {2, 4}, 4, true},
        {2, kKeyControl, {4}, 4, false},             // toggled off; anchor 2
        {0, kKeyShift, {0, 1, 2}, 0, true},          // from the anchor
        {3, kKeyShift, {2, 3}, 3, true},             // anchor stays at 2
        {3, kKeyControl, {2}, 2, false},             // focus 3 unselected: lowest
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
}

TEST_F(ListModelTest, ShiftWithoutAnAnchorSelectsJustTheRow) {
    Fill({"0", "1", "2"});
    list.Select(1, 0, kKeyShift);
    EXPECT_EQ(Selection(), (std::vector<int>{1}));
    EXPECT_EQ(list.AnchorRow(), 1);
}

TEST_F(ListModelTest, SingleSelectionListIgnoresCtrlShiftAndCtrlA) {
    Fill({"0", "1", "2"});
    list.SetSingleSelection(true);
    list.Select(0, 0, 0);
    list.Select(2, 0, kKeyShift);
    EXPECT_EQ(Selection(), (std::vector<int>{2}));
    EXPECT_FALSE(list.SelectAll());
    EXPECT_EQ(Selection(), (std::vector<int>{2}));
}

TEST_F(ListModelTest, SelectAllSelectsEveryRowOnce) {
    Fill({"0", "1", "2"});
    EXPECT_TRUE(list.SelectAll());
    EXPECT_EQ(Selection(), (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(list.SelectAll());
}

TEST_F(ListModelTest, ToggleStepsCheckAndThreeStateCells) {
    Fill({"x"});
    list.InsertColumn("Check", 20, -1, 0);
    struct Case {
        int format;
        const char* before;
        const char* after;
    } cases[] = {
        {kCellCheck, "0", "1"},       {kCellCheck, "1", "0"},       {kCellCheck, "", "1"},
        {kCellThreeState, "-1", "0"}, {kCellThreeState, "0", "1"},  {kCellThreeState, "1", "-1"},
        {kCellThreeState, "-7", "0"}, {kCellThreeState, "junk", "1"},
    };
    for (const auto& c : cases) {
        list.SetCellFormat(0, 1, c.format, 0);
        list.SetCellText(0, 1, c.before);
        EXPECT_TRUE(list.ToggleCell(0, 1));
        EXPECT_EQ(list.CellText(0, 1), c.after) << c.format << " " << c.before;
    }
    list.SetCellFormat(0, 1, kCellLink, 0);
    list.SetCellText(0, 1, "1");
    EXPECT_FALSE(list.ToggleCell(0, 1));
    EXPECT_EQ(list.CellText(0, 1), "1");
}

TEST_F(ListModelTest, NavigationTargetsStayInsideTheList) {
    Fill({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    struct Case {
        int focus;
        int key;
        int target;
    } cases[] = {
        {-1, kNavDown, 0}, {-1, kNavUp, 0},     {0, kNavUp, 0},         {9, kNavDown, 9},
        {4, kNavDown, 5},  {4, kNavPageDown, 8}, {8, kNavPageDown, 9},  {2, kNavPageUp, 0},
        {5, kNavHome, 0},  {5, kNavEnd, 9},      {5, 0x41, -1},
    };
    for (const auto& c : cases) {
        if (c.focus >= 0)
            list.Select(c.focus, 0, 0);
        else
            list.RemoveAllRows(), Fill({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
        EXPECT_EQ(list.NavigationTarget(c.key, 4), c.target) << c.focus << " key " << c.key;
    }
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

TEST_F(ListModelTest, RemoveAllColumnsDropsOldCells) {
    Fill({"a"});
    list.RemoveAllColumns();
    EXPECT_EQ(list.ColumnCount(), 0);
    list.InsertColumn("Title", 100, -1, 0);
    EXPECT_EQ(list.CellText(0, 0), "");
}

// ---- Type-ahead ------------------------------------------------------------

class TypeAheadTest : public ListModelTest {
protected:
    void SetUp() override {
        Fill({"alpha", "Beta", "abacus", "ABle", "bravo", "Abel", "zulu", "zul"});
        list.SortByColumn(0);  // "ABle" "Abel" "Beta" "abacus" "alpha" "bravo" "zul" "zulu"
        clock.tick = 10000;
    }
    int Type(char letter, std::uint32_t afterMs) {
        clock.tick += afterMs;
        return list.TypeAhead(letter);
    }
};

TEST_F(TypeAheadTest, FindsNothingWithoutASortColumn) {
    ListModel fresh{clock, latin1};
    fresh.InsertColumn("Title", 100, -1, 0);
    fresh.AddRow("apple", -1);
    EXPECT_EQ(fresh.TypeAhead('A'), -1);
    EXPECT_EQ(fresh.CurrentRow(), -1);
}

TEST_F(TypeAheadTest, TwoQuickLettersMatchBothInAnyCase) {
    ASSERT_EQ(Column0(), (std::vector<std::string>{"ABle", "Abel", "Beta", "abacus", "alpha", "bravo", "zul", "zulu"}));
    EXPECT_EQ(Type('A', 0), 0);
    EXPECT_EQ(Type('L', 100), 4);  // "alpha": first after row 0 starting with "al"
    EXPECT_EQ(list.CurrentRow(), 4);
    EXPECT_EQ(Selection(), (std::vector<int>{4}));
}

TEST_F(TypeAheadTest, FocusRowThatAlreadyMatchesStays) {
    Type('A', 0);            // row 0 "ABle"
    EXPECT_EQ(Type('B', 100), 0);
}

TEST_F(TypeAheadTest, PauseOfEightHundredMsStartsANewSearchFromRowZero) {
    Type('A', 0);
    Type('L', 100);          // row 4
    EXPECT_EQ(Type('B', 800), 0 + 2);  // "Beta", searched from row 0
}

TEST_F(TypeAheadTest, PauseJustUnderTheLimitStillExtends) {
    Type('A', 0);
    EXPECT_EQ(Type('L', 799), 4);
}

TEST_F(TypeAheadTest, SameLetterStepsThroughRowsAndWraps) {
    const int expected[] = {0, 1, 3, 4, 0, 1};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(Type('A', i == 0 ? 0 : 100), expected[i]) << i;
}

TEST_F(TypeAheadTest, SameLetterAfterAPauseStartsAfterTheFocusRow) {
    Type('A', 0);
    Type('A', 100);                  // row 1
    EXPECT_EQ(Type('A', 5000), 3);
}

TEST_F(TypeAheadTest, NonLettersAndUnmatchedLettersChangeNothing) {
    Type('B', 0);  // row 2
    EXPECT_EQ(list.TypeAhead('1'), -1);
    EXPECT_EQ(Type('Q', 900), -1);
    EXPECT_EQ(list.CurrentRow(), 2);
    EXPECT_EQ(Type('Z', 900), 6);  // the last letter matches in lower case too
    EXPECT_EQ(Type('U', 100), 6);
    EXPECT_EQ(Type('L', 100), 6);
    EXPECT_EQ(Type('U', 100), 7);  // "zul" is too short for "ZULU"
}

TEST_F(TypeAheadTest, TickWrapAroundCountsAsShortInterval) {
    clock.tick = 0xFFFFFF00u;
    list.TypeAhead('A');
    clock.tick = 0x00000010u;  // 0x110 ms later
    EXPECT_EQ(list.TypeAhead('L'), 4);
}

}  // namespace
}  // namespace tw
