#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/tab_fill.h"
#include "tests/fakes/fake_history.h"
#include "tests/fakes/fake_url_cache.h"
#include "tests/fixtures/index_file_writer.h"
#include "tests/fixtures/samples.h"

namespace tw {
namespace {

struct RecordingList : TabList {
    std::vector<std::string> columns;
    std::vector<Row> rows;
    std::vector<int> sorts;
    int removals = 0;
    int refuseFrom = -1;  // rows at or past this index cannot be added

    void RemoveAll() override {
        columns.clear();
        rows.clear();
        ++removals;
    }
    void AddColumn(const Column& c) override { columns.push_back(c.title + std::string("/") + std::to_string(c.width)); }
    bool AddRow(const Row& row) override {
        if (refuseFrom >= 0 && int(rows.size()) >= refuseFrom)
            return false;
        rows.push_back(row);
        return true;
    }
    int RowCount() const override { return int(rows.size()); }
    void SortByColumn(int column) override { sorts.push_back(column); }

    std::vector<std::string> FirstCells() const {
        std::vector<std::string> out;
        for (const Row& r : rows)
            out.push_back(r.cells.empty() ? "" : r.cells[0].text);
        return out;
    }
};

struct RecordingStatus : StatusLine {
    std::vector<std::string> shown;
    void Show(const std::string& text) override { shown.push_back(text); }
};

class TabFillTest : public ::testing::Test {
protected:
    void SetUp() override {
        cache.Add("Cookie:me@site.example/", "C:\\Cookies\\me@site[1].txt", 10);
        cache.Add("http://site.example/logo.gif", "C:\\Cache\\logo.gif", 20);
        cache.Add("Visited: me@http://site.example/", "", 30);
        cache.Add("http://site.example/?q=Cookie:x", "C:\\Cache\\q.htm", 40);
        // Found by the cookie search although its URL has no marker.
        cache.Add("http://odd.example/", "C:\\Cookies\\odd.txt", 50).container = fakes::Container::Cookie;
        cache.Add("http://site.example/empty", "C:\\Cache\\empty", 0);
    }
    fakes::FakeUrlCache cache;
    fakes::FakeHistory history;
    RecordingStatus status;
};

TEST_F(TabFillTest, EachLiveListHoldsItsKindAndCountsItsRows) {
    RecordingList list, refusing, cookies, cacheList;
    FillCookieList(cache, list, "dd.MM.yyyy", &status);
    EXPECT_EQ(list.FirstCells(), (std::vector<std::string>{"C:\\Cookies\\me@site[1].txt", "C:\\Cookies\\odd.txt"}));
    EXPECT_EQ(list.rows[0].cells[1].text + " " + list.rows[1].cells[1].text, "me@site.example/ http://odd.example/");
    list = RecordingList();
    FillCacheList(cache, list, "dd.MM.yyyy", &status);
    EXPECT_EQ(list.FirstCells(), (std::vector<std::string>{"C:\\Cache\\logo.gif", "C:\\Cookies\\odd.txt"}));
    refusing.refuseFrom = 1;
    FillCacheList(cache, refusing, "dd.MM.yyyy", &status);
    EXPECT_EQ(status.shown, (std::vector<std::string>{"Internet Explorer Cookies contain: 2 items",
                                                      "Internet Explorer Cache contains: 2 items",
                                                      "Internet Explorer Cache contains: 1 items"}));  // rows, not entries
    // The start-up fill splits one pass of the whole cache.
    FillCookieAndCacheLists(cache, cookies, cacheList, "dd.MM.yyyy");
    EXPECT_EQ(cookies.FirstCells(), (std::vector<std::string>{"C:\\Cookies\\me@site[1].txt", "C:\\Cache\\q.htm"}));
    EXPECT_EQ(cacheList.FirstCells(), (std::vector<std::string>{"C:\\Cache\\logo.gif", "C:\\Cookies\\odd.txt"}));
    EXPECT_GT(cache.findCalls, 0);
    EXPECT_EQ(cache.openSearches, 0);
}

TEST_F(TabFillTest, HistoryWithoutStoreOrBrowser) {
    history.Add("http://a.example/", "A");
    history.Add("http://b.example/", "");
    RecordingList list;
    EXPECT_TRUE(FillHistoryList(history, list, "dd.MM.yyyy", nullptr));
    EXPECT_EQ(list.FirstCells(), (std::vector<std::string>{"A", "Untitled"}));
    history.failCreate = true;
    RecordingList none;
    EXPECT_FALSE(FillHistoryList(history, none, "dd.MM.yyyy", &status));
    EXPECT_TRUE(none.rows.empty());
    EXPECT_TRUE(status.shown.empty());
}

TEST_F(TabFillTest, RefreshRestoresTheLiveColumnsAndSortsByTheFirst) {
    RecordingList list;
    list.columns = {"User/100", "URL/330"};
    list.rows.resize(3);
    RebuildLiveList(EntryKind::Cookie, list, history, cache, "dd.MM.yyyy", &status);
    EXPECT_EQ(list.columns, (std::vector<std::string>{"File/300", "URL/250", "Size/50", "Hits/50", "Last Visited/100",
                                                      "Last Updated/100", "Expires/100"}));
    EXPECT_EQ(list.sorts, std::vector<int>{0});
    EXPECT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(status.shown.back(), "Internet Explorer Cookies contain: 2 items");
}

TEST(IndexFileLoad, FillsTheListOfTheFilesKindOnly) {
    const std::string dir = ::testing::TempDir();
    const std::string cookies = dir + "tabfill_cookies.dat", cacheFile = dir + "tabfill_cache.dat";
    ASSERT_TRUE(fixtures::SampleCookieIndex().WriteTo(cookies));
    ASSERT_TRUE(fixtures::SampleCacheIndex().WriteTo(cacheFile));
    RecordingList h, c, k;
    h.rows.resize(1);
    TabList* const lists[3] = {&h, &c, &k};
    EntryKind kind = EntryKind::History;
    ASSERT_TRUE(LoadIndexFile(cookies.c_str(), lists, "dd.MM.yyyy", &kind));
    EXPECT_EQ(kind, EntryKind::Cookie);
    EXPECT_EQ(c.columns, (std::vector<std::string>{"User/100", "URL/330", "Last Visited/100", "Last Updated/100"}));
    EXPECT_EQ(c.rows.size(), 2u);
    EXPECT_EQ(h.rows.size(), 1u) << "other lists stay as they were";
    EXPECT_EQ(h.removals, 0);

    ASSERT_TRUE(LoadIndexFile(cacheFile.c_str(), lists, "dd.MM.yyyy", &kind));
    EXPECT_EQ(kind, EntryKind::Cache);
    EXPECT_EQ(k.columns, (std::vector<std::string>{"URL/500", "Last Visited/100", "Last Updated/100"}));

    fixtures::IndexRecord r;  // another version is read all the same
    r.url = "Cookie:old@site/";
    const std::string old = dir + "tabfill_old.dat";
    ASSERT_TRUE(fixtures::IndexFileWriter("4.7").Add(r).WriteTo(old));
    ASSERT_TRUE(LoadIndexFile(old.c_str(), lists, "dd.MM.yyyy", &kind));
    EXPECT_EQ(kind, EntryKind::Cookie);
    EXPECT_EQ(c.rows.size(), 1u);

    const std::string junk = dir + "tabfill_junk.dat";
    ASSERT_TRUE(fixtures::WriteFile(junk, std::vector<unsigned char>(1000, 'j')));
    for (const std::string& bad : {junk, dir + "tabfill_missing.dat", std::string()}) {
        EXPECT_FALSE(LoadIndexFile(bad.c_str(), lists, "dd.MM.yyyy", &kind)) << bad;
    }
    EXPECT_EQ(c.removals + k.removals + h.removals, 3) << "a refused file changes no list";
}

}  // namespace
}  // namespace tw
