#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "clean/find.h"

namespace tw {
namespace {

using Rows = std::set<int>;

// A list of text cells that records its marks and selection.
class TableList : public FindTarget {
public:
    TableList(std::vector<std::string> headers, std::vector<std::vector<std::string>> rows)
        : headers_(std::move(headers)), rows_(std::move(rows)) {}

    int ColumnCount() const override { return int(headers_.size()); }
    std::string HeaderText(int c) const override { return headers_[c]; }
    int RowCount() const override { return int(rows_.size()); }
    std::string CellText(int r, int c) const override { return rows_[r][c]; }
    std::uint32_t CellBackground(int r, int c) const override { return marks.count({r, c}) ? marks.at({r, c}) : 0; }
    void SetCellBackground(int r, int c, std::uint32_t colour) override { marks[{r, c}] = colour; }
    bool IsSelected(int r) const override { return selected.count(r) != 0; }
    void SelectOnly(int r) override {
        selected = {r};
        ++changes;
    }
    void AddUnselectedRows() override {
        for (int r = 0; r < RowCount(); ++r)
            selected.insert(r);
        ++changes;
    }

    // The rows with a cell of that colour, in order.
    Rows Marked(std::uint32_t colour) const {
        Rows out;
        for (const auto& mark : marks)
            if (mark.second == colour)
                out.insert(mark.first.first);
        return out;
    }

    std::map<std::pair<int, int>, std::uint32_t> marks;
    Rows selected;
    int changes = 0;  // of the selection

private:
    std::vector<std::string> headers_;
    std::vector<std::vector<std::string>> rows_;
};

class DoubleByte : public Latin1CodePage {
public:
    bool IsLeadByte(unsigned char c) const override { return c >= 0x81 && c <= 0x9f; }
};

// Names, values, find all, whole word, match case: "nvawc" with "-" for no.
FindRequest Request(const char* text, const char* options) {
    FindRequest r;
    std::strncpy(r.text, text, sizeof r.text);  // a text as long as the field is left unterminated
    r.searchNames = options[0] == 'n';
    r.searchValues = options[1] == 'v';
    r.findAll = options[2] == 'a';
    r.wholeWord = options[3] == 'w';
    r.matchCase = options[4] == 'c';
    return r;
}

TEST(FindMatch, WholeWordsAreSeparatedBySpacesOnlyAndStartOnCharacterBoundaries) {
    const Latin1CodePage cp;
    struct Case { const char* cell; bool whole; } cases[] = {
        {"news", true},        {"news today", true}, {"the news", true},  {"the news today", true}, {" news", true},
        {"newsletter", false}, {"the news.", false}, {"the-news", false}, {"http://x/news", false},
        {"the newsy news", true}, {"news\ttoday", false}, {"", false}, {"new", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesFindText(c.cell, "news", true, cp), c.whole) << c.cell;
        EXPECT_EQ(MatchesFindText(c.cell, "news", false, cp), std::strstr(c.cell, "news") != nullptr) << c.cell;
    }
    // 0x82 0x61 is one character; its trail byte is not the letter "a".
    EXPECT_FALSE(MatchesFindText("\x82" "abc", "abc", false, DoubleByte()));
    EXPECT_TRUE(MatchesFindText("\x82" "aabc", "abc", false, DoubleByte()));
    EXPECT_TRUE(MatchesFindText("\x82" "abc", "abc", false, cp));
}

TEST(FindColumns, NameAndValueColumnsByHeader) {
    struct Case { std::vector<std::string> headers; int name, value; } cases[] = {
        {{"Title", "URL", "Last Visited"}, 0, 1}, {{"Title", "User", "URL"}, 0, 2},
        {{"User", "URL", "Last Visited"}, 0, 1},  {{"URL", "Last Visited", "Last Updated"}, -1, 0},
        {{"File", "Title", "User", "URL", "URL"}, 1, 4}, {{"Size", "Hits"}, -1, -1},
    };
    for (const auto& c : cases) {
        TableList list(c.headers, {});
        EXPECT_EQ(FindNameColumn(list), c.name);
        EXPECT_EQ(FindValueColumn(list), c.value);
    }
}

TableList Titles() {
    return TableList({"Title", "URL"}, {{"Daily News", "http://a/news"}, {"Weather", "http://b/"},
                                        {"news", "http://c/NEWS"}, {"More NEWS here", "http://d/"}});
}

TEST(FindItems, FindNextWalksDownOneRowAtATimeThenStops) {
    TableList list = Titles();
    for (int expected : {0, 2, 3}) {
        EXPECT_TRUE(FindItems(list, Request("NEWS", "n----"), DoubleByte()));
        EXPECT_EQ(list.selected, Rows{expected});
    }
    EXPECT_FALSE(FindItems(list, Request("NEWS", "n----"), DoubleByte())) << "every match is marked";
    EXPECT_EQ(list.selected, Rows{3});
    EXPECT_EQ(list.Marked(kNameMark), (Rows{0, 2, 3}));
}

TEST(FindItems, FindAllMarksNamesRedAndValuesGreenAndSelectsTheLast) {
    struct Case { TableList list; FindRequest request; Rows names, values; } cases[] = {
        {Titles(), Request("news", "nva--"), {0, 2, 3}, {0, 2}},
        {Titles(), Request("news", "n-a--"), {0, 2, 3}, {}},
        {Titles(), Request("news", "-va--"), {}, {0, 2}},
        {Titles(), Request("NEWS", "nva-c"), {3}, {2}},
        {Titles(), Request("news", "nvaw-"), {0, 2, 3}, {}},  // URLs hold no spaces
        {TableList({"Size", "Hits"}, {{"news", "news"}}), Request("news", "nva--"), {}, {}},
        // An unterminated text is read within its field.
        {TableList({"Title"}, {{std::string(100, 'x') + "tail"}, {std::string(99, 'x')}}),
         Request(std::string(sizeof(FindRequest::text), 'x').c_str(), "n-a--"), {0}, {}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        auto c = cases[i];
        Rows found = c.names;
        found.insert(c.values.begin(), c.values.end());
        const Rows last = found.empty() ? Rows{} : Rows{*found.rbegin()};
        EXPECT_EQ(FindItems(c.list, c.request, Latin1CodePage()), !last.empty());
        EXPECT_EQ(c.list.Marked(kNameMark), c.names) << i;
        EXPECT_EQ(c.list.Marked(kValueMark), c.values) << i;
        EXPECT_EQ(c.list.selected, last) << i;
        EXPECT_EQ(c.list.changes, int(last.size())) << "the selection changes once: " << i;
    }
}

TEST(SelectAll, ChangesTheSelectionOnce) {
    TableList list = Titles();
    SelectAllItems(list);
    EXPECT_EQ(list.selected, (Rows{0, 1, 2, 3}));
    EXPECT_EQ(list.changes, 1);
}

}  // namespace
}  // namespace tw
