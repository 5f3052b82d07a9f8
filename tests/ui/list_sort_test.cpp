#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fakes/fake_shell.h"
#include "ui/list_model.h"

namespace tw {
namespace {

// Shift-JIS lead bytes, for the double-byte comparison.
class ShiftJisLeadBytes : public Latin1CodePage {
public:
    bool IsLeadByte(unsigned char c) const override {
        return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    }
};

TEST(CompareMultibyte, OrdersBytesUnsignedAndCaseSensitive) {
    const Latin1CodePage latin1;
    struct Case {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"", "", 0},        {"", "a", -1},         {"Z", "a", -1},     {"abc", "abd", -1},
        {"ab", "abc", -1},  {"\xE9", "z", 1},       {"10", "9", -1},    {"-5", "1", -1},
        {"same", "same", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareMultibyte(c.a, c.b, latin1), c.sign) << c.a << " vs " << c.b;
        EXPECT_EQ(CompareMultibyte(c.b, c.a, latin1), -c.sign) << c.b << " vs " << c.a;
    }
}

TEST(CompareMultibyte, LeadAndTrailByteCountAsOneUnit) {
    const ShiftJisLeadBytes sjis;
    // 0xA1 (one byte, half-width katakana) against 0x81 0x40 (double-byte):
    // bytewise the double-byte one is lower, as units 0xA1 < 0x8140.
    EXPECT_LT(CompareMultibyte("\xA1", "\x81\x40", sjis), 0);
    EXPECT_GT(CompareMultibyte("\xA1", "\x81\x40", Latin1CodePage()), 0);
    // Trail bytes in the ASCII range are not letters of their own.
    EXPECT_GT(CompareMultibyte("\x81\x7A", "\x81\x61", sjis), 0);
    EXPECT_EQ(CompareMultibyte("\x82\xA0x", "\x82\xA0x", sjis), 0);
    // A lead byte at the very end stands alone and stops the scan there.
    EXPECT_LT(CompareMultibyte("\x81", "\x81\x40", sjis), 0);
    EXPECT_EQ(CompareMultibyte("a\x81", "a\x81", sjis), 0);
}

class ListSortTest : public ::testing::Test {
protected:
    void SetUp() override {
        list.InsertColumn("Title", 100, -1, 0);
        list.InsertColumn("Last Visited", 100, -1, 0);
        list.InsertColumn("Hits", 100, -1, 0);
        list.InsertColumn("Expires", 100, -1, 0);
    }
    int Add(const char* title, std::uint64_t time, const char* hits = "") {
        const int row = list.AddRow(title, -1);
        list.SetCellDate(row, 1, FileTime::FromValue(time));
        list.SetCellText(row, 1, "shown date");
        list.SetCellText(row, 2, hits);
        list.SetCellDate(row, 3, FileTime::FromValue(time ^ 0xFF));
        return row;
    }
    std::vector<std::string> Texts(int column) const {
        std::vector<std::string> out;
        for (int r = 0; r < list.RowCount(); ++r)
            out.push_back(list.CellText(r, column));
        return out;
    }
    std::vector<std::uint64_t> Times(int column) const {
        std::vector<std::uint64_t> out;
        for (int r = 0; r < list.RowCount(); ++r)
            out.push_back(list.CellAt(r, column)->date.Value());
        return out;
    }

    fakes::FakeClock clock;
    Latin1CodePage latin1;
    ListModel list{clock, latin1};
};

TEST_F(ListSortTest, LastVisitedSortsByTimeWithUnknownFirst) {
    Add("c", 300);
    Add("a", 0);
    Add("b", 100);
    ASSERT_TRUE(list.SortByColumn(1));
    EXPECT_EQ(Times(1), (std::vector<std::uint64_t>{0, 100, 300}));
    EXPECT_EQ(Texts(0), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(list.SortColumn(), 1);
    EXPECT_TRUE(list.SortAscending());
}

TEST_F(ListSortTest, DateKeyComparesTheWholeSixtyFourBits) {
    Add("high", 0x100000000ull);
    Add("low", 0xFFFFFFFFull);
    list.SortByColumn(1);
    EXPECT_EQ(Texts(0), (std::vector<std::string>{"low", "high"}));
}

TEST_F(ListSortTest, ExpiresSortsByItsOwnTime) {
    Add("a", 0x10);   // expires 0xEF
    Add("b", 0x100);  // expires 0x1FF
    Add("c", 0x20);   // expires 0xDF
    list.SortByColumn(3);
    EXPECT_EQ(Texts(0), (std::vector<std::string>{"c", "a", "b"}));
}

TEST_F(ListSortTest, SecondClickReversesExactlyEvenAmongEqualKeys) {
    Add("first", 5);
    Add("second", 5);
    Add("third", 5);
    Add("old", 1);
    list.SortByColumn(1);
    const std::vector<std::string> once = Texts(0);
    list.SortByColumn(1);
    EXPECT_EQ(Texts(0), std::vector<std::string>(once.rbegin(), once.rend()));
    EXPECT_FALSE(list.SortAscending());
    list.SortByColumn(1);
    EXPECT_EQ(Texts(0), once);
    EXPECT_TRUE(list.SortAscending());
}

TEST_F(ListSortTest, ReversalDoesNotReorderRowsAddedSinceTheSort) {
    Add("b", 2);
    Add("a", 1);
    list.SortByColumn(1);  // a b
    Add("z", 0);           // a b z
    list.SortByColumn(1);
    EXPECT_EQ(Texts(0), (std::vector<std::string>{"z", "b", "a"}));
}

TEST_F(ListSortTest, HitsSortAsText) {
    for (const char* h : {"9", "2", "10", "1"})
        Add("x", 0, h);
    list.SortByColumn(2);
    EXPECT_EQ(Texts(2), (std::vector<std::string>{"1", "10", "2", "9"}));
}

TEST_F(ListSortTest, TitlesSortByBytesWithEmptyFirstAndCapitalsBeforeSmall) {
    for (const char* t : {"apple", "Zebra", "", "\xC9t\xE9", "Apple", "zoo", "apple pie"})
        Add(t, 0);
    list.SortByColumn(0);
    EXPECT_EQ(Texts(0), (std::vector<std::string>{"", "Apple", "Zebra", "apple", "apple pie", "zoo",
                                                  "\xC9t\xE9"}));
}

TEST_F(ListSortTest, LongSharedPrefixesStillCompareInFull) {
    for (const char* t : {"http://example.com/b", "http://example.com/a", "http://example.com/",
                          "http://example.co"})
        Add(t, 0);
    list.SortByColumn(0);
    EXPECT_EQ(Texts(0), (std::vector<std::string>{"http://example.co", "http://example.com/",
                                                  "http://example.com/a", "http://example.com/b"}));
}

TEST_F(ListSortTest, TitleKeyIsDecidedByCaseSensitiveSubstring) {
    ListModel other{clock, latin1};
    other.InsertColumn("last seen", 100, -1, 0);  // lower case: a text column
    for (std::uint64_t t : {1, 2}) {
        const int row = other.AddRow(t == 1 ? "b" : "a", -1);
        other.SetCellDate(row, 0, FileTime::FromValue(t));
    }
    other.SortByColumn(0);
    EXPECT_EQ(other.CellText(0, 0), "a");
}

TEST_F(ListSortTest, SortClearsSelectionFocusAndAnchor) {
    Add("b", 2);
    Add("a", 1);
    list.Select(0, 0, 0);
    list.Select(1, 0, kKeyControl);
    list.SortByColumn(0);
    EXPECT_EQ(list.SelectedCount(), 0);
    EXPECT_EQ(list.CurrentRow(), -1);
    EXPECT_EQ(list.FocusRow(), -1);
    EXPECT_EQ(list.AnchorRow(), -1);
}

TEST_F(ListSortTest, EmptyListStillRecordsColumnAndDirection) {
    EXPECT_TRUE(list.SortByColumn(2));
    EXPECT_EQ(list.SortColumn(), 2);
    EXPECT_TRUE(list.SortAscending());
    EXPECT_TRUE(list.SortByColumn(2));
    EXPECT_FALSE(list.SortAscending());
}

TEST_F(ListSortTest, SortStateSurvivesRemovalsAndRefreshInvertsIt) {
    list.SortByColumn(0);
    list.RemoveAllRows();
    list.RemoveAllColumns();
    EXPECT_EQ(list.SortColumn(), 0);
    list.InsertColumn("Title", 100, -1, 0);
    list.SortByColumn(0);  // the same column again: only the direction flips
    EXPECT_EQ(list.SortColumn(), 0);
    EXPECT_FALSE(list.SortAscending());
    Add("b", 0);
    Add("a", 0);
    EXPECT_EQ(Texts(0), (std::vector<std::string>{"b", "a"}));  // reader order
}

TEST_F(ListSortTest, OtherColumnResetsDirection) {
    list.SortByColumn(0);
    list.SortByColumn(0);
    list.SortByColumn(1);
    EXPECT_EQ(list.SortColumn(), 1);
    EXPECT_TRUE(list.SortAscending());
}

TEST_F(ListSortTest, NothingHappensWithoutHeaderOrSorting) {
    Add("b", 0);
    Add("a", 0);
    list.SetSortingAllowed(false);
    EXPECT_FALSE(list.SortByColumn(0));
    list.SetSortingAllowed(true);
    list.SetHeaderShown(false);
    EXPECT_FALSE(list.SortByColumn(0));
    EXPECT_FALSE(list.SortByColumn(9));
    EXPECT_EQ(list.SortColumn(), -1);
    EXPECT_EQ(Texts(0), (std::vector<std::string>{"b", "a"}));
}

TEST_F(ListSortTest, DoubleByteTitlesSortByUnits) {
    const ShiftJisLeadBytes sjis;
    ListModel dbcs{clock, sjis};
    dbcs.InsertColumn("Title", 100, -1, 0);
    for (const char* t : {"\x81\x40", "\xA1", "a"})
        dbcs.AddRow(t, -1);
    dbcs.SortByColumn(0);
    EXPECT_EQ(dbcs.CellText(0, 0), "a");
    EXPECT_EQ(dbcs.CellText(1, 0), "\xA1");
    EXPECT_EQ(dbcs.CellText(2, 0), "\x81\x40");
}

TEST_F(ListSortTest, RowsKeepAllTheirCellsThroughASort) {
    Add("b", 2, "20");
    Add("a", 1, "10");
    list.SetCellColours(0, 2, 0x0000FF, 0x00FFFF);
    list.SortByColumn(0);
    ListCell cell;
    ASSERT_TRUE(list.GetCell(1, 2, cell));
    EXPECT_EQ(cell.text, "20");
    EXPECT_EQ(cell.backColour, 0x00FFFFu);
    EXPECT_EQ(list.CellAt(1, 1)->date.Value(), 2u);
}

}  // namespace
}  // namespace tw
