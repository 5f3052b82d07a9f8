#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "clean/cleanup.h"
#include "core/classify.h"
#include "tests/fakes/fake_shell.h"
#include "ui/item_actions.h"
#include "ui/list_model.h"
#include "ui/list_model_rows.h"

namespace tw {
namespace {

using Ints = std::vector<int>;
using Texts = std::vector<std::string>;

// Shift-JIS lead bytes, for the double-byte order.
class ShiftJis : public Latin1CodePage {
public:
    bool IsLeadByte(unsigned char c) const override { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
};

class ListModelTest : public ::testing::Test {
protected:
    void Fill(Texts texts) {
        if (list.ColumnCount() == 0) list.InsertColumn("Title", 100, -1, 0);
        for (const std::string& t : texts) list.AddRow(t, -1);
    }
    // The first column's texts, the selected rows starred, and the current row.
    std::string State() const {
        Ints selected;
        list.SelectedRows(selected);
        std::string out;
        for (int r = 0; r < list.RowCount(); ++r)
            out += (std::count(selected.begin(), selected.end(), r) ? "*" : "") + list.CellText(r, 0) + " ";
        return out + "| " + std::to_string(list.CurrentRow());
    }
    fakes::FakeClock clock;
    Latin1CodePage latin1;
    ListModel list{clock, latin1};
};

TEST_F(ListModelTest, CellsColumnsAndRowsWithinTheirBounds) {
    EXPECT_EQ(list.AddRow("x", 0), -1) << "a row needs a column";
    list.InsertColumn("", 300, 2, 0);  // an untitled image column: the image width and five
    list.InsertColumn("URL", 300, 2, 0);
    EXPECT_EQ((Ints{list.Column(0)->width, list.Column(1)->width, list.AddRow("a", 3), list.AddRow("b", 4)}),
              (Ints{21, 300, 0, 1}));
    list.InsertColumn("Added", 100, -1, 0);  // added after the rows: reads empty, can be set
    EXPECT_EQ(list.CellText(0, 2), "");
    EXPECT_TRUE(list.SetCellText(0, 2, "http://x/"));
    EXPECT_EQ(list.CellText(0, 2), "http://x/");
    std::string title;
    EXPECT_FALSE(list.ColumnTitle(3, title) || list.SetColumnWidth(3, 50) || list.SetColumnWidth(0, -1));
    EXPECT_TRUE(list.ColumnTitle(1, title) && title == "URL" && list.SetColumnWidth(0, 0));
    EXPECT_FALSE(list.SetCellText(2, 0, "x") || list.SetCellText(0, 3, "x") || list.SetCellText(-1, 0, "x") ||
                 list.SetCellImage(2, 0, 1));
    EXPECT_TRUE(list.SetCellImage(1, 0, 7) && list.CellAt(1, 0)->image == 7);
    EXPECT_EQ(list.CellText(-1, 0) + list.CellText(2, 1) + list.CellText(0, 3), "");
    EXPECT_FALSE(list.RemoveRow(2) || list.RemoveRow(-1) || list.Select(2, 0, 0) || list.Select(-2, 0, 0));
    list.RemoveAllColumns();  // old cells go with their columns
    list.InsertColumn("Title", 100, -1, 0);
    EXPECT_EQ(State(), "  | -1");
}

TEST_F(ListModelTest, TabFillRowsLandCellByCell) {
    ListModelRows rows(list);
    Row row;
    row.image = 0;
    row.cells = {{"file", 0, false, {}}, {"http://a/", kCellLink, false, {}}, {"5.7", 0, true, FileTime::FromValue(9)}};
    EXPECT_FALSE(rows.AddRow(row)) << "no column yet";
    for (const char* title : {"File", "URL", "Last Visited"}) rows.AddColumn({title, 100, 0});
    ASSERT_TRUE(rows.AddRow(row));
    std::string cells;  // text, image, format and date of each
    for (const ListCell* cell : {list.CellAt(0, 0), list.CellAt(0, 1), list.CellAt(0, 2)})
        cells += cell->text + " " + std::to_string(cell->image) + " " + std::to_string(cell->format) + " " +
                 std::to_string(cell->date.Value()) + ", ";
    EXPECT_EQ(cells, "file 0 0 0, http://a/ -1 6 0, 5.7 -1 0 9, ");
    rows.RemoveAll();
    EXPECT_EQ(rows.RowCount() + list.ColumnCount(), 0);
}

TEST_F(ListModelTest, RemovingARowMovesLaterSelectionFocusAndAnchorUp) {
    Fill({"0", "1", "2", "3", "4"});
    for (int r : {1, 4, 2}) list.Select(r, 0, kKeyControl);  // focus and anchor 2
    EXPECT_TRUE(list.RemoveRow(0));
    EXPECT_EQ(State(), "*1 *2 3 *4 | 1");
    EXPECT_EQ((Ints{list.FocusRow(), list.AnchorRow()}), (Ints{1, 1}));
    list.RemoveRow(1);
    EXPECT_EQ(State(), "*1 3 *4 | 0");
    EXPECT_EQ(list.FocusRow(), -1);
}

TEST_F(ListModelTest, SelectFollowsTheKeyState) {
    Fill({"0", "1", "2", "3", "4", "5"});
    const struct { int row; unsigned keys; bool added; const char* state; } steps[] = {
        {1, kKeyShift, true, "0 *1 2 3 4 5 | 1"},  // Shift without an anchor selects just the row
        {2, 0, true, "0 1 *2 3 4 5 | 2"}, {2, 0, false, "0 1 *2 3 4 5 | 2"},
        {4, kKeyControl, true, "0 1 *2 3 *4 5 | 4"},
        {2, kKeyControl, false, "0 1 2 3 *4 5 | 4"},  // toggled off; anchor 2
        {0, kKeyShift, true, "*0 *1 *2 3 4 5 | 0"},   // from the anchor, which stays
        {3, kKeyShift, true, "0 1 *2 *3 4 5 | 3"},
        {3, kKeyControl, false, "0 1 *2 3 4 5 | 2"},  // focus 3 unselected: the lowest
        {-1, 0, false, "0 1 2 3 4 5 | -1"}, {5, kKeyShift, true, "0 1 2 *3 *4 *5 | 5"},
        {0, 0, true, "*0 1 2 3 4 5 | 0"}, {2, kKeyShift, true, "*0 *1 *2 3 4 5 | 2"},  // the first row anchors too
    };
    for (const auto& s : steps) {
        bool added = !s.added;
        ASSERT_TRUE(list.Select(s.row, 0, s.keys, &added)) << s.row;
        EXPECT_EQ(State() + (added ? " added" : ""), s.state + std::string(s.added ? " added" : ""))
            << "row " << s.row << " keys " << s.keys;
    }
    EXPECT_TRUE(list.SelectAll() && !list.SelectAll());
    EXPECT_EQ(State(), "*0 *1 *2 *3 *4 *5 | 2");
    list.Select(3, 0, kKeyControl);
    EXPECT_TRUE(list.MakeCurrent(4, 0));
    EXPECT_FALSE(list.MakeCurrent(3, 0) || list.MakeCurrent(6, 0));
    EXPECT_EQ(State(), "*0 *1 *2 3 *4 *5 | 4");
    list.SetSingleSelection(true);  // ignores Ctrl, Shift and Ctrl+A
    for (auto [row, keys] : {std::pair{0, 0u}, {2, kKeyShift}, {3, kKeyControl}}) list.Select(row, 0, keys);
    EXPECT_FALSE(list.SelectAll());
    EXPECT_EQ(State(), "0 1 2 *3 4 5 | 3");
}

// A range joins or leaves the selection and the focus and the anchor stay.
TEST_F(ListModelTest, SelectRangeLeavesTheFocusAndTheAnchor) {
    Fill({"0", "1", "2", "3", "4", "5"});
    const struct { int from, to; bool selected, only, ok, added; const char* state; } cases[] = {
        {2, 3, true, false, true, true, "0 *1 *2 *3 *4 5 | 4"},   {3, 2, true, false, true, true, "0 *1 *2 *3 *4 5 | 4"},
        {1, 4, false, false, true, false, "0 1 2 3 4 5 | -1"},    {4, 1, true, true, true, true, "0 *1 *2 *3 *4 5 | 4"},
        {1, 1, true, true, true, false, "0 *1 2 3 4 5 | 1"},      {0, 0, false, true, true, false, "0 1 2 3 4 5 | -1"},
        {0, 6, true, false, false, false, "0 *1 2 3 *4 5 | 4"},   {-1, 2, true, true, false, false, "0 *1 2 3 *4 5 | 4"},
        {2, -1, true, true, false, false, "0 *1 2 3 *4 5 | 4"},
    };
    for (const auto& c : cases) {
        list.Select(1, 0, 0);
        list.Select(4, 0, kKeyControl);  // focus and anchor 4
        bool added = !c.added;
        EXPECT_EQ(list.SelectRange(c.from, c.to, c.selected, c.only, &added), c.ok) << c.from << " " << c.to;
        EXPECT_EQ(added, c.added) << c.from << " " << c.to;
        EXPECT_EQ(State(), c.state) << c.from << " " << c.to;
        EXPECT_EQ((Ints{list.FocusRow(), list.AnchorRow()}), (Ints{4, 4})) << c.from << " " << c.to;
    }
}

// Select All's one step leaves what its Ctrl-clicks, row by row, would.
TEST_F(ListModelTest, AddingTheUnselectedRowsAtOnceIsTheWalkOfCtrlClicks) {
    const struct { Ints selected; bool single; } starts[] = {
        {{}, false}, {{1, 3}, false}, {{4}, false}, {{0, 1, 2, 3, 4}, false}, {{0, 4, 2}, false},
        {{}, true}, {{4}, true}, {{2}, true},
    };
    for (const auto& start : starts) {
        ListModel walked(clock, latin1), once(clock, latin1);
        for (ListModel* m : {&walked, &once}) {
            m->InsertColumn("Title", 100, -1, 0);
            m->InsertColumn("URL", 100, -1, 0);
            for (int r = 0; r < 5; ++r) m->AddRow(std::to_string(r), -1);
            for (int r : start.selected) m->Select(r, 1, kKeyControl);
            m->SetSingleSelection(start.single);
        }
        for (int r = 0; r < walked.RowCount(); ++r)
            if (!walked.IsSelected(r)) walked.Select(r, 0, kKeyControl);
        Ints before, a, b;
        once.SelectedRows(before);
        const bool changed = once.AddUnselectedRows(0);
        walked.SelectedRows(a);
        once.SelectedRows(b);
        EXPECT_EQ(b, a) << start.selected.size() << start.single;
        EXPECT_EQ(changed, b != before) << start.selected.size() << start.single;
        EXPECT_EQ((Ints{once.FocusRow(), once.AnchorRow(), once.FocusColumn()}),
                  (Ints{walked.FocusRow(), walked.AnchorRow(), walked.FocusColumn()}))
            << start.selected.size() << start.single;
    }
    EXPECT_FALSE(list.AddUnselectedRows(0)) << "no rows";
    Fill({"0", "1"});
    EXPECT_TRUE(list.AddUnselectedRows(0));
    EXPECT_FALSE(list.AddUnselectedRows(0)) << "all selected";
}

TEST_F(ListModelTest, ToggleAndNavigation) {
    Fill({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    list.InsertColumn("Check", 20, -1, 0);
    struct Toggle { int format; const char *before, *after; } toggles[] = {
        {kCellCheck, "0", "1"}, {kCellCheck, "1", "0"}, {kCellCheck, "", "1"}, {kCellThreeState, "-1", "0"},
        {kCellThreeState, "0", "1"}, {kCellThreeState, "1", "-1"}, {kCellThreeState, "-7", "0"},
        {kCellThreeState, "junk", "1"}, {kCellLink, "1", "1"},
    };
    for (const auto& t : toggles) {
        list.SetCellFormat(0, 1, t.format, 0);
        list.SetCellText(0, 1, t.before);
        EXPECT_EQ(list.ToggleCell(0, 1), t.format != kCellLink);
        EXPECT_EQ(list.CellText(0, 1), t.after) << t.format << " " << t.before;
    }
    struct Nav { int focus, key, target; } navs[] = {
        {-1, kNavDown, 0}, {-1, kNavUp, 0}, {-1, kNavPageUp, 0}, {0, kNavUp, 0}, {9, kNavDown, 9},
        {4, kNavDown, 5}, {4, kNavUp, 3}, {4, kNavPageDown, 8}, {8, kNavPageDown, 9}, {6, kNavPageUp, 2},
        {2, kNavPageUp, 0}, {5, kNavHome, 0}, {5, kNavEnd, 9}, {5, 0x41, -1},
    };
    for (const auto& n : navs) {
        list.Select(n.focus, 0, 0);
        EXPECT_EQ(list.NavigationTarget(n.key, 4), n.target) << n.focus << " key " << n.key;
    }
    list.RemoveAllRows();
    EXPECT_EQ(list.NavigationTarget(kNavDown, 4), -1);
}

TEST_F(ListModelTest, TypeAheadFindsTheTypedPrefixInTheSortColumn) {
    Fill({"alpha", "Beta", "abacus", "ABle", "bravo", "Abel", "zulu", "zul"});
    EXPECT_EQ(list.TypeAhead('A'), -1) << "no sort column";
    list.SortByColumn(0);
    ASSERT_EQ(State(), "ABle Abel Beta abacus alpha bravo zul zulu | -1");
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
        clock.tick += 900;  // afresh: no focus row, another letter typed last
        list.TypeAhead('Q');
        list.Select(-1, 0, 0);
        int current = -1;
        for (const Step& s : c.steps) {
            clock.tick += s.afterMs;
            EXPECT_EQ(list.TypeAhead(s.letter), s.found) << c.name << ": " << char(s.letter);
            if (s.found >= 0) current = s.found;
        }
        EXPECT_EQ(list.SelectedCount() == 1 ? list.CurrentRow() : -2, current) << c.name;
    }
    clock.tick = 0xFFFFFF00u;  // the tick wrapping round counts as a short interval
    list.TypeAhead('A');
    clock.tick = 0x10u;
    EXPECT_EQ(list.TypeAhead('L'), 4);
}

TEST(CompareMultibyte, UnsignedBytesAndDoubleBytesAsUnits) {
    const Latin1CodePage latin1;
    const ShiftJis sjis;
    struct Case { const char *a, *b; int sign; const AnsiCodePage& cp; } cases[] = {
        {"", "", 0, latin1}, {"", "a", -1, latin1}, {"Z", "a", -1, latin1}, {"ab", "abc", -1, latin1},
        {"\xE9", "z", 1, latin1}, {"\xA1", "\x81\x40", -1, sjis}, {"\xA1", "\x81\x40", 1, latin1},
        {"\x81\x7A", "\x81\x61", 1, sjis}, {"\x82\xA0x", "\x82\xA0x", 0, sjis},
        {"\xA1\x81\x40", "\xA1\xA1", 1, sjis},  // only a lead byte takes the next one with it
        {"\x81", "\x81\x40", -1, sjis}, {"a\x81", "a\x81", 0, sjis},  // a lead byte at the end stands alone
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareMultibyte(c.a, c.b, c.cp), c.sign) << c.a << " vs " << c.b;
        EXPECT_EQ(CompareMultibyte(c.b, c.a, c.cp), -c.sign) << c.b << " vs " << c.a;
    }
}

TEST_F(ListModelTest, EachColumnSortsByItsKey) {
    for (const char* title : {"Title", "Last Visited", "Hits", "Expires"}) list.InsertColumn(title, 100, -1, 0);
    struct Item { const char* title; std::uint64_t time; };
    struct Case { int column; std::vector<Item> items; const char* order; } cases[] = {
        {1, {{"c", 300}, {"a", 0}, {"b", 100}}, "a b c"},
        // The first eight bytes alike, or alike after the first: the whole text decides.
        {0, {{"prefix12b", 0}, {"prefix12a", 0}, {"b0000000z", 0}, {"a1111111a", 0}},
         "a1111111a b0000000z prefix12a prefix12b"},
        {3, {{"a", 0x10}, {"b", 0x100}, {"c", 0x20}}, "c a b"},  // expires by its own time
        {1, {{"high", 0x100000000ull}, {"low", 0xFFFFFFFFull}}, "low high"},
        {0, {{"apple", 0}, {"Zebra", 0}, {"", 0}, {"\xC9t\xE9", 0}, {"Apple", 0}, {"apple pie", 0}},
         " Apple Zebra apple apple pie \xC9t\xE9"},
        {2, {{"9", 0}, {"2", 0}, {"10", 0}, {"1", 0}}, "1 10 2 9"},  // hits as text
        {0, {{"http://example.com/b", 0}, {"http://example.com/a", 0}, {"http://example.co", 0}},
         "http://example.co http://example.com/a http://example.com/b"},
    };
    for (const Case& c : cases) {  // never the last column twice, so that each sorts ascending
        list.RemoveAllRows();
        for (const Item& item : c.items) {
            const int row = list.AddRow(item.title, -1);
            list.SetCellDate(row, 1, FileTime::FromValue(item.time));
            list.SetCellText(row, 2, item.title);
            list.SetCellDate(row, 3, FileTime::FromValue(item.time ^ 0xFF));
        }
        ASSERT_TRUE(list.SortByColumn(c.column));
        EXPECT_TRUE(list.SortAscending());
        EXPECT_EQ(State(), c.order + std::string(" | -1")) << "column " << c.column;
    }
    const ShiftJis sjis;  // "last seen" is found case-sensitively: a text column
    ListModel other{clock, latin1}, dbcs{clock, sjis};
    other.InsertColumn("last seen", 100, -1, 0);
    dbcs.InsertColumn("Title", 100, -1, 0);
    for (std::uint64_t t : {1, 2}) other.SetCellDate(other.AddRow(t == 1 ? "b" : "a", -1), 0, FileTime::FromValue(t));
    for (const char* t : {"\x81\x40", "\xA1", "a"}) dbcs.AddRow(t, -1);
    other.SortByColumn(0);
    dbcs.SortByColumn(0);
    EXPECT_EQ(other.CellText(0, 0) + dbcs.CellText(0, 0) + dbcs.CellText(1, 0) + dbcs.CellText(2, 0), "aa\xA1\x81\x40");
}

TEST_F(ListModelTest, ClicksSortReverseAndClearTheSelection) {
    list.InsertColumn("Title", 100, -1, 0);
    list.InsertColumn("Last Visited", 100, -1, 0);
    EXPECT_TRUE(list.SortByColumn(1) && list.SortByColumn(1));  // an empty list still records column and direction
    EXPECT_EQ((Ints{list.SortColumn(), list.SortAscending()}), (Ints{1, false}));
    for (auto [title, time] : {std::pair{"second", 4}, {"third", 5}, {"first", 3}, {"old", 1}})
        list.SetCellDate(list.AddRow(title, -1), 1, FileTime::FromValue(time));
    list.SortByColumn(0);
    list.SortByColumn(1);  // another column resets the direction
    EXPECT_EQ(State(), "old first second third | -1");
    list.SetCellDate(list.AddRow("z", -1), 1, FileTime::FromValue(0));
    list.Select(0, 0, 0);
    list.Select(1, 0, kKeyShift);
    list.SetCellColours(0, 1, 0x0000FF, 0x00FFFF);
    list.SortByColumn(1);  // the second click reverses exactly, even rows added since
    EXPECT_EQ(State(), "z third second first old | -1");
    EXPECT_EQ((Ints{list.FocusRow(), list.AnchorRow(), list.SortAscending()}), (Ints{-1, -1, false}));
    EXPECT_EQ(list.CellAt(4, 1)->backColour, 0x00FFFFu) << "rows keep all their cells";
    list.SetSortingAllowed(false);
    EXPECT_FALSE(list.SortByColumn(0) || list.SortByColumn(9));
    list.SetSortingAllowed(true);
    EXPECT_FALSE(list.SortByColumn(9));
    list.SetHeaderShown(false);
    EXPECT_FALSE(list.SortByColumn(0));
    EXPECT_EQ(State() + " " + std::to_string(list.SortColumn()), "z third second first old | -1 1");
}

// ---- the commands on the items --------------------------------------------

const Texts kCookieColumns = {"File", "URL", "Size", "Hits", "Last Visited", "Last Updated", "Expires"};

// Stores and host in one, logging every call in order; spares the cookies of
// the sites in keep, and what the stores' own default spares.
class Recorder : public ItemStores, public ItemHost {
public:
    std::string log;
    bool answerYes = true;
    CookieKeepList keep;
    void Note(const std::string& call) { log += (log.empty() ? "" : ", ") + call; }
    void Begin(EntryKind s) override { Note("begin " + std::to_string(int(s))); }
    void Delete(EntryKind s, const std::string& a) override { Note("delete " + std::to_string(int(s)) + " " + a); }
    bool Spares(EntryKind s, const std::string& a) override {
        return (s == EntryKind::Cookie && keep.KeepsCookie(a)) || ItemStores::Spares(s, a);
    }
    void End(EntryKind s) override { Note("end " + std::to_string(int(s))); }
    void Navigate(const std::string& a) override { Note("open " + a); }
    void CopyText(const std::string& t) override { Note("copy " + t); }
    bool AskYesNo(const char* text) override {
        Note(std::string("ask ") + text);
        return answerYes;
    }
    void ShowStatus(EntryKind s) override { Note("status " + std::to_string(int(s))); }
    void AddToFavorites(const std::string& n, const std::string& u) override { Note("fav " + n + " " + u); }
    void ShowCookieDetails(const std::string& f) override { Note("details " + f); }
    void ShowProperties(const std::string& f) override { Note("properties " + f); }
    void KeepCookiesOf(const std::string& site) override { Note("keep " + site); }
};

class ItemActionsTest : public ::testing::Test {
protected:
    // Rows "f<i>" with the address "u<i>" in the second column.
    void Reset(const Texts& columns, int rows) {
        model.RemoveAllRows();
        model.RemoveAllColumns();
        for (const std::string& t : columns) model.InsertColumn(t, 100, -1, 0);
        for (int i = 0; i < rows; ++i) model.SetCellText(model.AddRow("f" + std::to_string(i), -1), 1, "u" + std::to_string(i));
        rec = Recorder();
    }
    void SelectRows(std::initializer_list<int> rows) {
        model.Select(-1, 0, 0);
        for (int r : rows) model.Select(r, 0, kKeyControl);
    }
    // The calls made since the last look, and the rows left by their first column.
    std::string Outcome() {
        std::string out = rec.log + " |";
        for (int r = 0; r < model.RowCount(); ++r) out += " " + model.CellText(r, 0);
        rec.log.clear();
        return out;
    }
    void Run(int command, int tab, bool confirm = true) { RunItemCommand(command, tab, list, rec, rec, confirm, latin1); }

    fakes::FakeClock clock;
    Latin1CodePage latin1;
    ListModel model{clock, latin1};
    ModelItemList list{model};
    Recorder rec;
};

TEST(ItemText, TrimCookieAddressFavoriteNameAndCookieDetails) {
    Latin1CodePage latin1;
    const struct { std::string (*f)(const std::string&); std::string in, out; } cases[] = {
        {TrimText, "   ", ""}, {TrimText, "\t\r\na  b\n", "a  b"}, {TrimText, "\vx\f", "x"},
        {CookieAddress, "user@host@path", "host@path"}, {CookieAddress, "example.com/", "example.com/"},
        {CookieAddress, "@", ""},
        // Cookie details drop the last byte, end at a zero byte and widen line feeds.
        {CookieDetailsText, "a\nb\n", "a\r\nb"}, {CookieDetailsText, "", ""}, {CookieDetailsText, "ab", "a"},
        {CookieDetailsText, std::string("ab\0cd\n", 6), "ab"}, {CookieDetailsText, "a\r\nb\n", "a\r\r\nb"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.f(c.in), c.out) << '"' << c.in << '"';
    EXPECT_EQ(FavoriteName(":\\/+;><!?|\"'a*b.c-d", latin1), "____________a*b.c-d");
}

TEST_F(ItemActionsTest, CellByTitleTakesTheFirstExactTitleOfTheCurrentRow) {
    Reset({"File", "url", "URL", "URL", "Title"}, 2);
    model.SetCellText(0, 2, " http://a/ ");
    model.SetCellText(0, 3, "second");
    model.SetCellText(0, 4, "T0");
    const struct { std::initializer_list<int> selected; const char *title, *text; } cases[] = {
        {{0}, "URL", "http://a/"}, {{1}, "URL", ""}, {{0}, "Title", "T0"}, {{0}, "Url", ""}, {{}, "URL", ""},
    };
    for (const auto& c : cases) {
        SelectRows(c.selected);
        EXPECT_EQ(CurrentCell(list, c.title), c.text) << c.title;
    }
}

TEST_F(ItemActionsTest, MenuByTabColumnsRowsAndSelection) {
    const Texts history = {"Title", "URL", "Last Visited", "Last Updated", "Expires"};
    const Texts index = {"Title", "User", "URL", "Last Visited", "Last Updated"};
    const Texts five = {"File", "URL", "Size", "Hits", "Last Visited"}, four = {"User", "URL", "A", "B"};
    const struct { int tab; Texts columns; int rows; std::initializer_list<int> selected; int menu; } cases[] = {
        {1, kCookieColumns, 3, {0}, kCookieRowMenu}, {2, kCookieColumns, 3, {}, kCacheRowMenu},
        {1, kCookieColumns, 3, {0, 2}, kSeveralRowsMenu}, {1, kCookieColumns, 0, {}, kNoRowMenu},
        {1, five, 3, {0}, kCookieRowMenu}, {1, four, 3, {0}, kNoRowMenu}, {2, four, 3, {0, 1}, kNoRowMenu},
        {0, history, 3, {1}, kHistoryRowMenu}, {0, history, 3, {0, 1}, kSeveralRowsMenu},
        {0, history, 0, {}, kNoRowMenu}, {0, index, 3, {0, 1}, kNoRowMenu},
        {7, {"A", "B"}, 2, {0}, kHistoryRowMenu},  // fewer columns matter only on tabs 1 and 2
    };
    for (const auto& c : cases) {
        Reset(c.columns, c.rows);
        SelectRows(c.selected);
        EXPECT_EQ(ChooseRowMenu(c.tab, list), c.menu) << c.tab << " " << c.columns.size() << " " << c.rows;
    }
}

TEST_F(ItemActionsTest, DeletingSelectedItemsByTab) {
    const struct { int tab, deleted; const char* outcome; } cases[] = {  // a row without an address stays
        {0, 2, "begin 0, delete 0 u1, delete 0 u3, end 0 | f0 f2 f4"}, {3, 0, " | f0 f1 f2 f3 f4"},
        {1, 2, "begin 1, delete 1 Cookie:u1, delete 1 Cookie:u3, end 1 | f0 f2 f4"}, {-1, 0, " | f0 f1 f2 f3 f4"},
        {2, 2, "begin 2, delete 2 u1, delete 2 u3, end 2 | f0 f2 f4"},
    };
    for (const auto& c : cases) {
        Reset({"File", "URL"}, 5);
        SelectRows({1, 3, 4});
        model.SetCellText(4, 1, "  ");
        EXPECT_EQ(DeleteSelectedItems(c.tab, list, rec), c.deleted);
        EXPECT_EQ(Outcome(), c.outcome) << "tab " << c.tab;
        EXPECT_EQ(model.SelectedCount(), c.tab == 2 ? 0 : c.deleted ? 1 : 3) << "only the cache list drops it";
    }
    Reset({"File", "Title"}, 4);  // without a URL column nothing is deleted
    SelectRows({0, 2});
    EXPECT_EQ(DeleteSelectedItems(1, list, rec), 0);
    EXPECT_EQ(model.RowCount(), 4);
}

TEST_F(ItemActionsTest, CommandsOnTheCurrentRow) {
    const std::string ask = "ask Are you sure you want to delete Internet Explorer ", kept = " | f0 f2",
                      row = " | f0  C:\\c\\a.txt  f2", deleted = "delete 1 Cookie:u@example.com/p, end 1, status 1";
    const struct { int command, tab; std::string outcome; } cases[] = {
        {kItemCookieOpen, 1, "open example.com/p" + row}, {kItemCookieCopy, 1, "copy example.com/p" + row},
        {kItemCacheOpen, 1, "open u@example.com/p" + row}, {kItemHistoryCopy, 1, "copy u@example.com/p" + row},
        {kItemCacheOpenFile, 1, "open C:\\c\\a.txt" + row}, {kItemCookieDetails, 1, "details C:\\c\\a.txt" + row},
        {kItemHistoryAddFavorite, 1, "fav A_B_ C_ u@example.com/p" + row},
        {kItemCookieKeepSite, 1, "keep example.com" + row}, {kItemCookieProperties, 1, "properties C:\\c\\a.txt" + row},
        {kItemCacheProperties, 2, "properties C:\\c\\a.txt" + row},
        {kItemHistoryDelete, 0, ask + "History item?, begin 0, delete 0 u@example.com/p, end 0, status 0" + kept},
        {kItemCookieDelete, 1, ask + "Cookie item?, begin 1, " + deleted + kept},
        {kItemCacheDelete, 2, ask + "Cache item?, begin 2, delete 2 u@example.com/p, end 2, status 2" + kept},
        {kItemDeleteSelected, 1, "ask Are you sure you want to delete selected items?, begin 1, " + deleted + kept},
        {0, 1, row}, {32768, 1, row}, {-1, 1, row},  // a cancelled menu and a command of another menu
    };
    for (const auto& c : cases) {
        Reset({"File", "URL", "Size", "Hits", "Title"}, 3);
        model.SetCellText(1, 0, " C:\\c\\a.txt ");
        model.SetCellText(1, 1, " u@example.com/p ");
        model.SetCellText(1, 4, "A/B: C?");
        SelectRows({1});
        Run(c.command, c.tab);
        EXPECT_EQ(Outcome(), c.outcome) << c.command;
    }
}

TEST_F(ItemActionsTest, NoStopsADeletionAndWithoutConfirmationNothingIsAsked) {
    Reset(kCookieColumns, 6);
    SelectRows({0, 1});
    rec.answerYes = false;
    for (int command : {kItemHistoryDelete, kItemCookieDelete, kItemCacheDelete, kItemDeleteSelected}) Run(command, 1);
    EXPECT_EQ(std::count(rec.log.begin(), rec.log.end(), '?'), 4) << "questions only: " << rec.log;
    rec = Recorder();
    SelectRows({1, 2});
    for (int tab : {1, 2, 3, -1, 0}) Run(kItemDeleteSelected, tab, false);  // no status for a tab that is none
    EXPECT_EQ(Outcome(), "begin 1, delete 1 Cookie:u1, delete 1 Cookie:u2, end 1, status 1, begin 2, end 2, status 2, "
                         "begin 0, end 0, status 0 | f0 f3 f4 f5");
    model.SetCellText(0, 1, " ");  // an empty URL cell deletes nothing but removes the row
    SelectRows({0});
    Run(kItemCookieDelete, 1, false);
    EXPECT_EQ(Outcome(), "status 1 | f3 f4 f5");
    SelectRows({});  // no current row: only the question and the status
    for (int command : {kItemHistoryDelete, kItemHistoryAddFavorite, kItemCookieDetails, kItemCookieProperties,
                        kItemCookieKeepSite, kItemHistoryCopy, kItemCacheOpenFile})
        Run(command, 0);
    EXPECT_EQ(Outcome(), "ask Are you sure you want to delete Internet Explorer History item?, status 0, copy , open "
                         " | f3 f4 f5");
}

TEST_F(ItemActionsTest, KeptCookiesStayAndAreMarked) {
    Reset(kCookieColumns, 0);
    for (const char* url : {"bob@shop.org/", "bob@example.com/", "bob@badexample.com/", "bob@www.example.com/a"})
        model.SetCellText(model.AddRow(url, -1), 1, url);
    rec.keep = CookieKeepList(Texts{"example.com"});
    EXPECT_EQ(MarkKeptCookieRows(model, rec.keep), 2);
    EXPECT_EQ((std::vector<int>{model.CellAt(0, 0)->image, model.CellAt(1, 0)->image, model.CellAt(2, 0)->image,
                                model.CellAt(3, 0)->image}),
              (std::vector<int>{kImageCookie, kImageKeptCookie, kImageCookie, kImageKeptCookie}));
    SelectRows({1, 2, 3});
    EXPECT_EQ(DeleteSelectedItems(1, list, rec), 1);
    for (int i = 0; i < 2; ++i) {  // row 0 is a kept one the second time
        SelectRows({0});
        Run(kItemCookieDelete, 1, false);
    }
    EXPECT_EQ(Outcome(), "begin 1, delete 1 Cookie:bob@badexample.com/, end 1, begin 1, delete 1 Cookie:bob@shop.org/, "
                         "end 1, status 1, begin 1, end 1, status 1 | bob@example.com/ bob@www.example.com/a");
    EXPECT_EQ(MarkKeptCookieRows(model, CookieKeepList()), 0);
    EXPECT_EQ(model.CellAt(0, 0)->image, kImageCookie);
    EXPECT_EQ(KeptStatusText(5, 2), "Internet Explorer Cookies contain: 5 items, 2 of them from sites whose cookies are kept");
}

// A row is found by the "URL" cell that a live fill makes of the URL: a
// cookie's without its marker, a history page's without trailing blanks,
// each cut to its record's field.
TEST_F(ItemActionsTest, APreviewFindsTheRowsOfItsUrls) {
    const std::string longUrl = "http://l/" + std::string(1500, 'x');
    struct Case { EntryKind store; Texts cells, urls; std::vector<int> rows; } cases[] = {
        {EntryKind::Cookie, {"bob@a.com/", "bob@b.com/Cookie:x", "c@d/"},
         {"Cookie:bob@b.com/Cookie:x", "Cookie:c@d/", "Cookie:none@x/", "Cookie:bob@a.com", "Cookie:"}, {1, 2}},
        {EntryKind::History, {"http://x/ \t", "http://y/", longUrl.substr(0, 1023)}, {"http://x/", longUrl}, {0, 2}},
        {EntryKind::Cache, {"A/x", "a/x", "a/x "}, {"a/x"}, {1}},
    };
    for (const Case& c : cases) {
        Reset(kCookieColumns, 0);
        for (const std::string& cell : c.cells)
            model.SetCellText(model.AddRow("f", -1), 1, cell);
        EXPECT_EQ(RowsOfUrls(list, c.store, c.urls), c.rows) << int(c.store);
    }
    Reset({"File", "Address"}, 2);
    EXPECT_TRUE(RowsOfUrls(list, EntryKind::Cookie, {"u0", "Cookie:"}).empty());
    Reset({"URL"}, 0);
    model.SetCellText(model.AddRow("u", -1), 0, "u");
    EXPECT_EQ(RowsOfUrls(list, EntryKind::Cache, {"u"}), std::vector<int>{0});
}

TEST(PreviewStatus, CountsKeptCookiesAndTheFilesOfAPurge) {
    const std::uint64_t mb = 1048576;
    struct Case { std::uint64_t bytes; const char* text; } sizes[] = {
        {0, "0 KB"}, {1, "1 KB"}, {1024, "1 KB"}, {1025, "2 KB"}, {mb - 1, "1024 KB"}, {mb, "1.0 MB"},
        {mb + 52428, "1.0 MB"}, {mb + 52429, "1.1 MB"}, {11 * mb - 52429, "10.9 MB"}, {11 * mb - 52428, "11.0 MB"},
        {5120 * mb, "5120.0 MB"},
    };
    for (const Case& c : sizes)
        EXPECT_EQ(SizeText(c.bytes), c.text) << c.bytes;
    struct Line { EntryKind store; PreviewCounts counts; const char* text; } lines[] = {
        {EntryKind::Cookie, {3, 10, 2, 0, 0}, "Preview: 3 of 10 items would be deleted, 2 kept"},
        {EntryKind::Cache, {5, 8, 4, 2, 1}, "Preview: 5 of 8 items would be deleted and 2 files (1 KB)"},
        {EntryKind::History, {0, 0, 0, 0, 0}, "Preview: 0 of 0 items would be deleted"},
        {EntryKind::Cookie, {1, 1, 0, 1, 2 * mb}, "Preview: 1 of 1 items would be deleted, 0 kept and 1 files (2.0 MB)"},
    };
    for (const Line& l : lines)
        EXPECT_EQ(PreviewStatusText(l.store, l.counts), l.text);
}

}  // namespace
}  // namespace tw
