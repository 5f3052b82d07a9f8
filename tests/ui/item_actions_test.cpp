#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/fakes/fake_shell.h"
#include "ui/item_actions.h"
#include "ui/list_model.h"

namespace tw {
namespace {

const std::vector<std::string> kLiveCookieColumns = {"File", "URL", "Size", "Hits", "Last Visited", "Last Updated",
                                                     "Expires"};
const std::vector<std::string> kLiveHistoryColumns = {"Title", "URL", "Last Visited", "Last Updated", "Expires"};
const std::vector<std::string> kHistoryIndexColumns = {"Title", "User", "URL", "Last Visited", "Last Updated"};

struct Deletion {
    EntryKind store;
    std::string address;
    bool operator==(const Deletion& o) const { return store == o.store && address == o.address; }
};

// Records the deletions and the brackets around them as one sequence.
class RecordingStores : public ItemStores {
public:
    std::vector<Deletion> deleted;
    std::vector<std::string> events;
    void Begin(EntryKind store) override { events.push_back("begin " + std::to_string(int(store))); }
    void Delete(EntryKind store, const std::string& address) override {
        deleted.push_back({store, address});
        events.push_back("delete " + address);
    }
    void End(EntryKind store) override { events.push_back("end " + std::to_string(int(store))); }
};

class RecordingHost : public ItemHost {
public:
    bool answerYes = true;
    std::vector<std::string> navigated, copied, questions, details, properties;
    std::vector<EntryKind> statuses;
    std::vector<std::pair<std::string, std::string>> favorites;
    void Navigate(const std::string& address) override { navigated.push_back(address); }
    void CopyText(const std::string& text) override { copied.push_back(text); }
    bool AskYesNo(const char* text) override {
        questions.push_back(text);
        return answerYes;
    }
    void ShowStatus(EntryKind store) override { statuses.push_back(store); }
    void AddToFavorites(const std::string& name, const std::string& url) override { favorites.push_back({name, url}); }
    void ShowCookieDetails(const std::string& file) override { details.push_back(file); }
    void ShowProperties(const std::string& file) override { properties.push_back(file); }
};

class ItemActionsTest : public ::testing::Test {
protected:
    void Columns(const std::vector<std::string>& titles) {
        for (const std::string& t : titles)
            model.InsertColumn(t, 100, -1, 0);
    }
    // One row per entry; each row's cells are given in column order.
    void Rows(const std::vector<std::vector<std::string>>& rows) {
        for (const auto& cells : rows) {
            const int r = model.AddRow(cells.empty() ? std::string() : cells[0], -1);
            for (std::size_t c = 1; c < cells.size(); ++c)
                model.SetCellText(r, int(c), cells[c]);
        }
    }
    void NumberedRows(int count) {
        for (int i = 0; i < count; ++i)
            Rows({{"f" + std::to_string(i), "u" + std::to_string(i)}});
    }
    void SelectRows(std::initializer_list<int> rows) {
        model.Select(-1, 0, 0);
        for (int r : rows)
            model.Select(r, 0, kKeyControl);
    }
    std::vector<std::string> Column(int c) const {
        std::vector<std::string> out;
        for (int r = 0; r < model.RowCount(); ++r)
            out.push_back(model.CellText(r, c));
        return out;
    }
    void Run(int command, int tab, bool confirm = true) {
        RunItemCommand(command, tab, list, stores, host, confirm, latin1);
    }

    fakes::FakeClock clock;
    Latin1CodePage latin1;
    ListModel model{clock, latin1};
    ModelItemList list{model};
    RecordingStores stores;
    RecordingHost host;
};

TEST(ItemText, TrimCookieAddressFavoriteNameAndCookieDetails) {
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    const Pairs trim = {{"", ""}, {"   ", ""}, {" a ", "a"}, {"\t\r\na b\n", "a b"}, {"a  b", "a  b"}, {"\vx\f", "x"}};
    for (const auto& c : trim) EXPECT_EQ(TrimText(c.first), c.second) << '"' << c.first << '"';
    // The cookie's address is the text after the first "@".
    const Pairs address = {{"user@example.com/", "example.com/"}, {"user@host@path", "host@path"},
                           {"example.com/", "example.com/"}, {"@", ""}, {"", ""}};
    for (const auto& c : address) EXPECT_EQ(CookieAddress(c.first), c.second) << c.first;
    // Favorite names replace the refused characters only.
    Latin1CodePage latin1;
    const Pairs names = {{"A/B: C?", "A_B_ C_"}, {":\\/+;><!?|\"'", "____________"}, {"a*b.c-d", "a*b.c-d"}, {"", ""}};
    for (const auto& c : names) EXPECT_EQ(FavoriteName(c.first, latin1), c.second) << c.first;
    // Cookie details drop the last byte, end at a zero byte and widen line feeds.
    const Pairs details = {{"a\nb\n", "a\r\nb"}, {"x", ""}, {"", ""}, {"ab", "a"}, {"\n\n\n", "\r\n\r\n"},
                           {std::string("ab\0cd\n", 6), "ab"}, {"a\r\nb\n", "a\r\r\nb"}};
    for (const auto& c : details) EXPECT_EQ(CookieDetailsText(c.first), c.second) << c.first;
}

TEST_F(ItemActionsTest, CellByTitleTakesTheFirstExactTitleOfTheCurrentRow) {
    Columns({"File", "url", "URL", "URL", "Title"});
    Rows({{"f0", "lower", " http://a/ ", "second", "T0"}, {"f1", "", "http://b/", "", "T1"}});
    struct Case {
        std::initializer_list<int> selected;
        const char* title;
        const char* text;
    } cases[] = {
        {{0}, "URL", "http://a/"}, {{1}, "URL", "http://b/"}, {{0}, "Title", "T0"},
        {{0}, "Url", ""},          {{0}, "Expires", ""},      {{}, "URL", ""},
    };
    for (const Case& c : cases) {
        SelectRows(c.selected);
        EXPECT_EQ(CurrentCell(list, c.title), c.text) << c.title;
    }
}

TEST_F(ItemActionsTest, CurrentRowIsTheSelectedFocusElseTheLowestSelected) {
    Columns({"URL"});
    NumberedRows(6);
    // Control-click focuses the row it toggles.
    model.Select(4, 0, kKeyControl);
    model.Select(2, 0, kKeyControl);
    EXPECT_EQ(list.CurrentRow(), 2);  // focus row 2, selected
    model.Select(2, 0, kKeyControl);  // focus stays on 2, which is no longer selected
    EXPECT_EQ(list.CurrentRow(), 4);
    model.Select(1, 0, kKeyControl);
    model.Select(1, 0, kKeyControl);
    model.Select(5, 0, kKeyControl);
    EXPECT_EQ(list.CurrentRow(), 5);
    model.Select(-1, 0, 0);
    EXPECT_EQ(list.CurrentRow(), -1);
}

TEST_F(ItemActionsTest, MenuByTabColumnsRowsAndSelection) {
    struct Case {
        int tab;
        std::vector<std::string> columns;
        int rows;
        std::initializer_list<int> selected;
        int menu;
    } cases[] = {
        {1, kLiveCookieColumns, 3, {0}, kCookieRowMenu},
        {2, kLiveCookieColumns, 3, {}, kCacheRowMenu},
        {1, kLiveCookieColumns, 3, {0, 2}, kSeveralRowsMenu},
        {2, kLiveCookieColumns, 3, {0, 1, 2}, kSeveralRowsMenu},
        {1, kLiveCookieColumns, 0, {}, kNoRowMenu},
        {1, {"File", "URL", "Size", "Hits", "Last Visited"}, 3, {0}, kCookieRowMenu},
        {1, {"User", "URL", "Last Visited", "Last Updated"}, 3, {0}, kNoRowMenu},
        {2, {"URL", "Last Visited", "Last Updated"}, 3, {0, 1}, kNoRowMenu},
        {0, kLiveHistoryColumns, 3, {1}, kHistoryRowMenu},
        {0, kLiveHistoryColumns, 3, {0, 1}, kSeveralRowsMenu},
        {0, kLiveHistoryColumns, 0, {}, kNoRowMenu},
        {0, kHistoryIndexColumns, 3, {0}, kNoRowMenu},
        {0, kHistoryIndexColumns, 3, {0, 1, 2}, kNoRowMenu},
        {-1, kLiveHistoryColumns, 2, {}, kHistoryRowMenu},
        {7, {"A", "B"}, 2, {0}, kHistoryRowMenu},  // fewer columns matter only on tabs 1 and 2
    };
    for (const Case& c : cases) {
        model.RemoveAllRows();
        model.RemoveAllColumns();
        Columns(c.columns);
        NumberedRows(c.rows);
        SelectRows(c.selected);
        EXPECT_EQ(ChooseRowMenu(c.tab, list), c.menu) << "tab " << c.tab << ", " << c.columns.size() << " columns, "
                                                      << c.rows << " rows, " << c.selected.size() << " selected";
    }
}

TEST_F(ItemActionsTest, DeletingSelectedItemsByTab) {
    struct Case { int tab; std::vector<Deletion> deleted; std::vector<std::string> events; int selectedAfter; } cases[] = {
        {0, {{EntryKind::History, "u1"}, {EntryKind::History, "u3"}}, {"begin 0", "delete u1", "delete u3", "end 0"}, 1},
        {1, {{EntryKind::Cookie, "Cookie:u1"}, {EntryKind::Cookie, "Cookie:u3"}},
         {"begin 1", "delete Cookie:u1", "delete Cookie:u3", "end 1"}, 1},
        {2, {{EntryKind::Cache, "u1"}, {EntryKind::Cache, "u3"}}, {"begin 2", "delete u1", "delete u3", "end 2"}, 0},
        {3, {}, {}, 3},
        {-1, {}, {}, 3},
    };
    for (const Case& c : cases) {
        model.RemoveAllRows();
        model.RemoveAllColumns();
        stores = RecordingStores();
        Columns({"File", "URL"});
        NumberedRows(5);
        SelectRows({1, 3, 4});
        model.SetCellText(4, 1, "  ");  // row 4 has no address: it is passed over and stays
        EXPECT_EQ(DeleteSelectedItems(c.tab, list, stores), int(c.deleted.size()));
        EXPECT_EQ(stores.deleted, c.deleted) << "tab " << c.tab;
        EXPECT_EQ(stores.events, c.events) << "tab " << c.tab;
        EXPECT_EQ(model.SelectedCount(), c.selectedAfter) << "tab " << c.tab;
        EXPECT_EQ(Column(0), c.deleted.empty() ? (std::vector<std::string>{"f0", "f1", "f2", "f3", "f4"})
                                               : (std::vector<std::string>{"f0", "f2", "f4"}));
    }
    model.RemoveAllRows();
    model.RemoveAllColumns();
    stores = RecordingStores();
    Columns({"File", "Title"});  // without a URL column nothing is deleted
    NumberedRows(4);
    SelectRows({0, 2});
    EXPECT_EQ(DeleteSelectedItems(1, list, stores), 0);
    EXPECT_TRUE(stores.deleted.empty());
    EXPECT_EQ(model.RowCount(), 4);
}

TEST_F(ItemActionsTest, OpenAndCopyUseTheUrlCellAndTheCookieAddressPart) {
    Columns(kLiveCookieColumns);
    Rows({{"C:\\c\\user@ex[1].txt", " user@example.com/path "}});
    SelectRows({0});
    struct Case {
        int command;
        const char* opened;
        const char* copied;
    } cases[] = {
        {kItemCookieOpen, "example.com/path", nullptr},
        {kItemCookieCopy, nullptr, "example.com/path"},
        {kItemCacheOpen, "user@example.com/path", nullptr},
        {kItemHistoryCopy, nullptr, "user@example.com/path"},
        {kItemCacheOpenFile, "C:\\c\\user@ex[1].txt", nullptr},
    };
    for (const Case& c : cases) {
        host = RecordingHost();
        Run(c.command, 1);
        EXPECT_EQ(host.navigated, c.opened ? std::vector<std::string>{c.opened} : std::vector<std::string>{})
            << c.command;
        EXPECT_EQ(host.copied, c.copied ? std::vector<std::string>{c.copied} : std::vector<std::string>{})
            << c.command;
    }
}

TEST_F(ItemActionsTest, SingleDeletionsAskDeleteRemoveAndShowTheStatus) {
    struct Case {
        int command;
        EntryKind store;
        const char* question;
        const char* address;
    } cases[] = {
        {kItemHistoryDelete, EntryKind::History, "Are you sure you want to delete Internet Explorer History item?",
         "http://b/"},
        {kItemCookieDelete, EntryKind::Cookie, "Are you sure you want to delete Internet Explorer Cookie item?",
         "Cookie:http://b/"},
        {kItemCacheDelete, EntryKind::Cache, "Are you sure you want to delete Internet Explorer Cache item?",
         "http://b/"},
    };
    for (const Case& c : cases) {
        model.RemoveAllRows();
        model.RemoveAllColumns();
        stores = RecordingStores();
        host = RecordingHost();
        Columns(kLiveCookieColumns);
        Rows({{"a", "http://a/"}, {"b", "http://b/"}, {"c", "http://c/"}});
        SelectRows({1});
        Run(c.command, int(c.store));
        EXPECT_EQ(host.questions, std::vector<std::string>{c.question});
        EXPECT_EQ(stores.deleted, (std::vector<Deletion>{{c.store, c.address}}));
        EXPECT_EQ(Column(0), (std::vector<std::string>{"a", "c"}));
        EXPECT_EQ(host.statuses, std::vector<EntryKind>{c.store});
    }
}

TEST_F(ItemActionsTest, NoStopsADeletionAndWithoutConfirmationNothingIsAsked) {
    Columns(kLiveCookieColumns);
    NumberedRows(6);
    SelectRows({0, 1});
    host.answerYes = false;
    for (int command : {kItemHistoryDelete, kItemCookieDelete, kItemCacheDelete, kItemDeleteSelected}) Run(command, 1);
    EXPECT_EQ(host.questions.size(), 4u);
    EXPECT_EQ(host.questions.back(), "Are you sure you want to delete selected items?");
    EXPECT_TRUE(stores.deleted.empty());
    EXPECT_TRUE(host.statuses.empty());
    EXPECT_EQ(model.RowCount(), 6);
    host = RecordingHost();
    host.answerYes = false;
    SelectRows({0});
    Run(kItemCookieDelete, 1, false);
    SelectRows({1, 2});
    Run(kItemDeleteSelected, 1, false);
    EXPECT_TRUE(host.questions.empty());
    EXPECT_EQ(Column(1), (std::vector<std::string>{"u1", "u4", "u5"}));
    EXPECT_EQ(host.statuses, (std::vector<EntryKind>{EntryKind::Cookie, EntryKind::Cookie}));
    for (int tab : {2, 3, -1, 0}) Run(kItemDeleteSelected, tab, false);  // no status for a tab that is none
    EXPECT_EQ(host.statuses, (std::vector<EntryKind>{EntryKind::Cookie, EntryKind::Cookie, EntryKind::Cache,
                                                     EntryKind::History}));
    stores = RecordingStores();
    host.answerYes = true;
    model.SetCellText(0, 1, " ");  // an empty URL cell deletes nothing but removes the row
    SelectRows({0});
    Run(kItemCookieDelete, 1);
    EXPECT_TRUE(stores.deleted.empty());
    EXPECT_EQ(Column(1), (std::vector<std::string>{"u4", "u5"}));
}

TEST_F(ItemActionsTest, NoCurrentRowAsksThenOnlyShowsTheStatus) {
    Columns(kLiveHistoryColumns);
    NumberedRows(2);
    SelectRows({});
    for (int command : {kItemHistoryDelete, kItemHistoryAddFavorite, kItemCookieDetails, kItemCookieProperties,
                        kItemHistoryCopy, kItemHistoryOpen, kItemCacheOpenFile})
        Run(command, 0);
    EXPECT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.statuses, std::vector<EntryKind>{EntryKind::History});
    EXPECT_TRUE(stores.deleted.empty());
    EXPECT_EQ(model.RowCount(), 2);
    EXPECT_TRUE(host.favorites.empty());
    EXPECT_TRUE(host.details.empty());
    EXPECT_TRUE(host.properties.empty());
    EXPECT_EQ(host.copied, std::vector<std::string>{""});
    EXPECT_EQ(host.navigated, (std::vector<std::string>{"", ""}));
}

TEST_F(ItemActionsTest, FavoritesDetailsAndPropertiesTakeTheirCellsAndUnknownCommandsDoNothing) {
    Columns({"File", "URL", "Size", "Hits", "Title"});
    Rows({{" C:\\cookies\\a.txt ", "http://a/", "", "", "A/B: C?"}, {"", "", "", "", "Title"}, {"", "http://c/"}});
    for (int row : {0, 1, 2}) {
        SelectRows({row});
        for (int command : {kItemHistoryAddFavorite, kItemCookieDetails, kItemCookieProperties, kItemCacheProperties})
            Run(command, command == kItemCacheProperties ? 2 : 1);
    }
    // A favorite needs an address and has its title cleaned.
    EXPECT_EQ(host.favorites, (std::vector<std::pair<std::string, std::string>>{{"A_B_ C_", "http://a/"}, {"", "http://c/"}}));
    EXPECT_EQ(host.details, std::vector<std::string>{"C:\\cookies\\a.txt"});
    EXPECT_EQ(host.properties, (std::vector<std::string>{"C:\\cookies\\a.txt", "C:\\cookies\\a.txt"}));
    host = RecordingHost();
    SelectRows({0, 1});
    for (int command : {0, 32768, 32790, -1}) Run(command, 1);  // a cancelled menu and commands of other menus
    EXPECT_TRUE(host.questions.empty() && host.navigated.empty() && host.copied.empty() && host.statuses.empty());
    EXPECT_EQ(model.RowCount(), 3);
}

}  // namespace
}  // namespace tw
