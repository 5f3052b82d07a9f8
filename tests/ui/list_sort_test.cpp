#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fakes/fake_shell.h"
#include "ui/list_model.h"

namespace tw {
namespace {

using Texts = std::vector<std::string>;

// Shift-JIS lead bytes, for the double-byte comparison.
class ShiftJisLeadBytes : public Latin1CodePage {
public:
    bool IsLeadByte(unsigned char c) const override { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
};

TEST(CompareMultibyte, OrdersBytesUnsignedCaseSensitiveAndDoubleBytesAsUnits) {
    const Latin1CodePage latin1;
    const ShiftJisLeadBytes sjis;
    struct Case { const char *a, *b; int sign; const AnsiCodePage& cp; } cases[] = {
        {"", "", 0, latin1}, {"", "a", -1, latin1}, {"Z", "a", -1, latin1}, {"abc", "abd", -1, latin1},
        {"ab", "abc", -1, latin1}, {"\xE9", "z", 1, latin1}, {"10", "9", -1, latin1}, {"same", "same", 0, latin1},
        // 0xA1 (one byte) against 0x81 0x40 (double-byte): as units 0xA1 < 0x8140.
        {"\xA1", "\x81\x40", -1, sjis}, {"\xA1", "\x81\x40", 1, latin1},
        {"\x81\x7A", "\x81\x61", 1, sjis},  // trail bytes in the ASCII range are not letters
        {"\x82\xA0x", "\x82\xA0x", 0, sjis},
        {"\x81", "\x81\x40", -1, sjis}, {"a\x81", "a\x81", 0, sjis},  // a lead byte at the end stands alone
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareMultibyte(c.a, c.b, c.cp), c.sign) << c.a << " vs " << c.b;
        EXPECT_EQ(CompareMultibyte(c.b, c.a, c.cp), -c.sign) << c.b << " vs " << c.a;
    }
}

class ListSortTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* title : {"Title", "Last Visited", "Hits", "Expires"}) list.InsertColumn(title, 100, -1, 0);
    }
    void Add(const std::string& title, std::uint64_t time, const char* hits = "") {
        const int row = list.AddRow(title, -1);
        list.SetCellDate(row, 1, FileTime::FromValue(time));
        list.SetCellText(row, 1, "shown date");
        list.SetCellText(row, 2, hits);
        list.SetCellDate(row, 3, FileTime::FromValue(time ^ 0xFF));
    }
    Texts Column(int column) const {
        Texts out;
        for (int r = 0; r < list.RowCount(); ++r) out.push_back(list.CellText(r, column));
        return out;
    }

    fakes::FakeClock clock;
    Latin1CodePage latin1;
    ListModel list{clock, latin1};
};

TEST_F(ListSortTest, EachColumnSortsByItsKey) {
    struct Item { const char* title; std::uint64_t time; const char* hits; };
    struct Case { int column; std::vector<Item> items; Texts order; } cases[] = {
        {1, {{"c", 300, ""}, {"a", 0, ""}, {"b", 100, ""}}, {"a", "b", "c"}},  // unknown first
        {3, {{"a", 0x10, ""}, {"b", 0x100, ""}, {"c", 0x20, ""}}, {"c", "a", "b"}},  // expires by its own time
        {1, {{"high", 0x100000000ull, ""}, {"low", 0xFFFFFFFFull, ""}}, {"low", "high"}},  // all 64 bits
        {0, {{"apple", 0, ""}, {"Zebra", 0, ""}, {"", 0, ""}, {"\xC9t\xE9", 0, ""}, {"Apple", 0, ""}, {"zoo", 0, ""},
             {"apple pie", 0, ""}},
         {"", "Apple", "Zebra", "apple", "apple pie", "zoo", "\xC9t\xE9"}},
        {2, {{"9", 0, "9"}, {"2", 0, "2"}, {"10", 0, "10"}, {"1", 0, "1"}}, {"1", "10", "2", "9"}},  // hits as text
        {0, {{"http://example.com/b", 0, ""}, {"http://example.com/a", 0, ""}, {"http://example.com/", 0, ""},
             {"http://example.co", 0, ""}},
         {"http://example.co", "http://example.com/", "http://example.com/a", "http://example.com/b"}},
    };
    for (const Case& c : cases) {  // each a column other than the last, so that it sorts ascending
        list.RemoveAllRows();
        for (const Item& item : c.items) Add(item.title, item.time, item.hits);
        ASSERT_TRUE(list.SortByColumn(c.column));
        EXPECT_TRUE(list.SortAscending());
        EXPECT_EQ(Column(0), c.order) << "column " << c.column;
    }
    list.RemoveAllRows();
    for (int i = 0; i < 40; ++i) Add("the same title beyond eight bytes", 0);
    list.SortByColumn(2);
    list.SortByColumn(0);
    EXPECT_EQ(Column(0), Texts(40, "the same title beyond eight bytes"));
    // Date titles are found case-sensitively: "last seen" is a text column.
    ListModel other{clock, latin1};
    other.InsertColumn("last seen", 100, -1, 0);
    for (std::uint64_t t : {1, 2}) other.SetCellDate(other.AddRow(t == 1 ? "b" : "a", -1), 0, FileTime::FromValue(t));
    other.SortByColumn(0);
    EXPECT_EQ(other.CellText(0, 0), "a");
    const ShiftJisLeadBytes sjis;
    ListModel dbcs{clock, sjis};
    dbcs.InsertColumn("Title", 100, -1, 0);
    for (const char* t : {"\x81\x40", "\xA1", "a"}) dbcs.AddRow(t, -1);
    dbcs.SortByColumn(0);
    EXPECT_EQ((Texts{dbcs.CellText(0, 0), dbcs.CellText(1, 0), dbcs.CellText(2, 0)}), (Texts{"a", "\xA1", "\x81\x40"}));
}

TEST_F(ListSortTest, SecondClickReversesExactlyAndLeavesLaterRowsWhereTheyAre) {
    for (const char* t : {"first", "second", "third"}) Add(t, 5);
    Add("old", 1);
    list.SortByColumn(1);
    const Texts once = Column(0);
    list.SortByColumn(1);
    EXPECT_EQ(Column(0), Texts(once.rbegin(), once.rend()));  // even among equal keys
    EXPECT_FALSE(list.SortAscending());
    list.SortByColumn(1);
    EXPECT_EQ(Column(0), once);
    Add("z", 0);  // added since the sort: the reversal does not reorder it
    list.SortByColumn(1);
    EXPECT_EQ(Column(0), (Texts{"z", "third", "second", "first", "old"}));
}

TEST_F(ListSortTest, SortStateFollowsTheClicks) {
    EXPECT_TRUE(list.SortByColumn(2));  // an empty list still records column and direction
    EXPECT_EQ(list.SortColumn(), 2);
    EXPECT_TRUE(list.SortAscending());
    EXPECT_TRUE(list.SortByColumn(2));
    EXPECT_FALSE(list.SortAscending());
    list.SortByColumn(1);  // another column resets the direction
    EXPECT_EQ(list.SortColumn(), 1);
    EXPECT_TRUE(list.SortAscending());
    list.RemoveAllRows();  // the state survives a refresh, which inverts it
    list.RemoveAllColumns();
    list.InsertColumn("Title", 100, -1, 0);
    list.InsertColumn("Last Visited", 100, -1, 0);
    list.SortByColumn(1);
    EXPECT_EQ(list.SortColumn(), 1);
    EXPECT_FALSE(list.SortAscending());
    Add("b", 0);
    Add("a", 0);
    EXPECT_EQ(Column(0), (Texts{"b", "a"}));  // reader order
    list.Select(0, 0, 0);
    list.Select(1, 0, kKeyControl);
    list.SetCellColours(0, 1, 0x0000FF, 0x00FFFF);
    list.SortByColumn(0);
    EXPECT_EQ(Column(0), (Texts{"a", "b"}));
    EXPECT_EQ(list.SelectedCount(), 0);  // selection, focus and anchor go
    EXPECT_EQ(list.CurrentRow(), -1);
    EXPECT_EQ(list.FocusRow(), -1);
    EXPECT_EQ(list.AnchorRow(), -1);
    ListCell cell;  // rows keep all their cells
    ASSERT_TRUE(list.GetCell(1, 1, cell));
    EXPECT_EQ(cell.backColour, 0x00FFFFu);
    EXPECT_EQ(cell.text, "shown date");
    EXPECT_FALSE(list.SortByColumn(9));
    list.SetSortingAllowed(false);
    EXPECT_FALSE(list.SortByColumn(0));
    list.SetSortingAllowed(true);
    list.SetHeaderShown(false);
    EXPECT_FALSE(list.SortByColumn(0));
    EXPECT_FALSE(list.SortByColumn(9));
    EXPECT_EQ(list.SortColumn(), 0);
    EXPECT_EQ(Column(0), (Texts{"a", "b"}));
}

}  // namespace
}  // namespace tw
