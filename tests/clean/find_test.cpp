#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "clean/find.h"

namespace tw {
namespace {

// A list of text cells that records selection changes.
class TableList : public FindTarget {
public:
    TableList(std::vector<std::string> headers, std::vector<std::vector<std::string>> rows)
        : headers_(std::move(headers)), rows_(std::move(rows)),
          colours_(rows_.size(), std::vector<std::uint32_t>(headers_.size(), 0xFFFFFF)),
          selected_(rows_.size(), false) {}

    int ColumnCount() const override { return int(headers_.size()); }
    std::string HeaderText(int c) const override { return headers_[c]; }
    int RowCount() const override { return int(rows_.size()); }
    std::string CellText(int r, int c) const override { return rows_[r][c]; }
    std::uint32_t CellBackground(int r, int c) const override { return colours_[r][c]; }
    void SetCellBackground(int r, int c, std::uint32_t colour) override { colours_[r][c] = colour; }
    bool IsSelected(int r) const override { return selected_[r]; }
    void SelectOnly(int r) override {
        selected_.assign(selected_.size(), false);
        selected_[r] = true;
    }
    void AddToSelection(int r) override {
        selected_[r] = true;
        ++added;
    }

    // Rows with a cell of that colour, in order.
    std::vector<int> Marked(std::uint32_t colour) const {
        std::vector<int> out;
        for (std::size_t r = 0; r < rows_.size(); ++r)
            for (std::uint32_t c : colours_[r])
                if (c == colour)
                    out.push_back(int(r));
        return out;
    }
    std::vector<int> Selected() const {
        std::vector<int> out;
        for (std::size_t r = 0; r < selected_.size(); ++r)
            if (selected_[r])
                out.push_back(int(r));
        return out;
    }
    int added = 0;

private:
    std::vector<std::string> headers_;
    std::vector<std::vector<std::string>> rows_;
    std::vector<std::vector<std::uint32_t>> colours_;
    std::vector<bool> selected_;
};

class DoubleByte : public Latin1CodePage {
public:
    bool IsLeadByte(unsigned char c) const override { return c >= 0x81 && c <= 0x9f; }
};

FindRequest Request(const char* text, bool names, bool values, bool all = false, bool whole = false,
                    bool matchCase = false) {
    FindRequest r;
    std::strncpy(r.text, text, sizeof r.text - 1);
    r.searchNames = names;
    r.searchValues = values;
    r.findAll = all;
    r.wholeWord = whole;
    r.matchCase = matchCase;
    return r;
}

TEST(FindMatch, WholeWordsAreSeparatedBySpacesOnly) {
    const Latin1CodePage cp;
    const struct {
        const char* cell;
        bool whole;
    } cases[] = {{"news", true},        {"news today", true}, {"the news", true},  {"the news today", true},
                 {"newsletter", false}, {"the news.", false}, {"the-news", false}, {"http://x/news", false},
                 {"the newsy news", true}, {"news\ttoday", false}, {"", false}, {" news", true}, {"new", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesFindText(c.cell, "news", true, cp), c.whole) << c.cell;
        EXPECT_EQ(MatchesFindText(c.cell, "news", false, cp), std::string(c.cell).find("news") != std::string::npos)
            << c.cell;
    }
}

TEST(FindMatch, SubstringsStartOnCharacterBoundaries) {
    const DoubleByte sjis;
    // 0x82 0x61 is one character; its trail byte is not the letter "a".
    EXPECT_FALSE(MatchesFindText("\x82" "abc", "abc", false, sjis));
    EXPECT_TRUE(MatchesFindText("\x82" "aabc", "abc", false, sjis));
    EXPECT_TRUE(MatchesFindText("\x82" "abc", "abc", false, Latin1CodePage()));
}

TEST(FindColumns, NameAndValueColumnsByHeader) {
    const struct {
        std::vector<std::string> headers;
        int name, value;
    } cases[] = {
        {{"Title", "URL", "Last Visited"}, 0, 1},
        {{"File", "URL", "Size"}, 0, 1},
        {{"Title", "User", "URL"}, 0, 2},
        {{"User", "URL", "Last Visited"}, 0, 1},
        {{"URL", "Last Visited", "Last Updated"}, -1, 0},
        {{"File", "Title", "User", "URL", "URL"}, 1, 4},
        {{"Size", "Hits"}, -1, -1},
    };
    for (const auto& c : cases) {
        TableList list(c.headers, {});
        EXPECT_EQ(FindNameColumn(list), c.name);
        EXPECT_EQ(FindValueColumn(list), c.value);
    }
}

TableList Titles() {
    return TableList({"Title", "URL"},
                     {{"Daily News", "http://a/news"}, {"Weather", "http://b/"}, {"news", "http://c/NEWS"}, {"More NEWS here", "http://d/"}});
}

TEST(FindItems, FindNextWalksDownOneRowAtATimeThenStops) {
    TableList list = Titles();
    const FindRequest r = Request("NEWS", true, false);
    for (int expected : {0, 2, 3}) {
        EXPECT_TRUE(FindItems(list, r, DoubleByte()));
        EXPECT_EQ(list.Selected(), std::vector<int>{expected});
    }
    EXPECT_FALSE(FindItems(list, r, DoubleByte())) << "every match is marked";
    EXPECT_EQ(list.Selected(), std::vector<int>{3});
    EXPECT_EQ(list.Marked(kNameMark), (std::vector<int>{0, 2, 3}));
}

TEST(FindItems, FindAllMarksNamesRedAndValuesGreenAndSelectsTheLast) {
    struct Case { FindRequest request; std::vector<int> names, values; } cases[] = {
        {Request("news", true, true, true), {0, 2, 3}, {0, 2}},
        {Request("news", true, false, true), {0, 2, 3}, {}},
        {Request("news", false, true, true), {}, {0, 2}},
        {Request("NEWS", true, true, true, false, true), {3}, {2}},  // match case
        {Request("news", true, true, true, true), {0, 2, 3}, {}},     // URLs hold no spaces
    };
    for (const Case& c : cases) {
        TableList list = Titles();
        EXPECT_EQ(FindItems(list, c.request, Latin1CodePage()), !c.names.empty() || !c.values.empty());
        EXPECT_EQ(list.Marked(kNameMark), c.names) << c.request.text;
        EXPECT_EQ(list.Marked(kValueMark), c.values) << c.request.text;
        if (!c.names.empty()) {
            EXPECT_EQ(list.Selected(), std::vector<int>{c.names.back()});
        }
    }
    TableList none({"Size", "Hits"}, {{"news", "news"}});  // no searched columns
    EXPECT_FALSE(FindItems(none, Request("news", true, true, true), Latin1CodePage()));
    EXPECT_TRUE(none.Selected().empty());
    TableList field({"Title"}, {{std::string(100, 'x') + "tail"}, {std::string(99, 'x')}});
    FindRequest r = Request("", true, false, true);
    std::memset(r.text, 'x', sizeof r.text);  // an unterminated text is read within its field
    FindItems(field, r, Latin1CodePage());
    EXPECT_EQ(field.Marked(kNameMark), std::vector<int>{0});
}

TEST(SelectAll, AddsOnlyRowsNotYetSelected) {
    TableList list = Titles();
    list.SelectOnly(1);
    SelectAllItems(list);
    EXPECT_EQ(list.Selected(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(list.added, 3);
}

}  // namespace
}  // namespace tw
