#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/classify.h"
#include "tests/fakes/fake_shell.h"
#include "ui/item_actions.h"
#include "ui/list_model.h"

namespace tw {
namespace {

using Texts = std::vector<std::string>;
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

}  // namespace
}  // namespace tw
