#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "core/classify.h"
#include "core/index_files.h"
#include "core/index_reader.h"
#include "core/live_readers.h"
#include "core/tab_fill.h"
#include "platform/process_files.h"
#include "platform/win_errors.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_history.h"
#include "tests/fakes/fake_process_rights.h"
#include "tests/fakes/fake_url_cache.h"
#include "tools/samples/index_file_writer.h"

namespace tw {
namespace {

using fakes::FakeHistory;
using fakes::FakeUrlCache;
using Paths = std::vector<std::string>;

// A platform that keeps asking for no more than it was given must not keep
// the reader asking for ever.
struct StubbornCache : FakeUrlCache {
    Search FindFirst(const char*, void*, std::uint32_t* size, long* error) override {
        ++findCalls;
        *size = 0;
        *error = 122;
        return nullptr;
    }
};

TEST(EnumerateUrlCache, AsksForTheSizeFirstReusesTheBufferAndSkipsSizeZero) {
    FakeUrlCache cache, contentOnly;
    cache.Add("Cookie:u@a/", "a.htm", 0).padding = 5000;  // needs more than 5000 bytes; size 0 is left out
    cache.Add("Cookie:u@b/", "b.htm", 12).hitRate = 7;    // fits in the same buffer
    auto& noFile = cache.Add("Cookie:u@c/", "", 3);       // needs a bigger one
    noFile.padding = 6000;
    noFile.hasLocalFile = false;
    cache.Add("http://content/", "d.htm", 1);
    contentOnly.Add("http://only-content/");
    StubbornCache stubborn;
    EntryArray<FileEntry> entries, none;
    EXPECT_TRUE(EnumerateUrlCache(cache, kCookiePattern, entries));
    EXPECT_TRUE(EnumerateUrlCache(contentOnly, kCookiePattern, none));
    EXPECT_TRUE(EnumerateUrlCache(stubborn, kContentPattern, none));
    std::string read;
    for (const FileEntry& e : entries)
        read += std::string(e.url) + "|" + e.localFile + "|" + std::to_string(e.size) + "/" +
                std::to_string(e.hitRate) + " ";
    EXPECT_EQ(read, "Cookie:u@b/|b.htm|12/7 Cookie:u@c/||3/0 ");
    auto need = [&](int i) { return FakeUrlCache::NeededSize(cache.entries[i]); };
    // First call with size 0, retry with a's size; each later call is given
    // the size last written back.
    EXPECT_EQ(cache.sizesGiven, (std::vector<std::uint32_t>{0, need(0), need(0), need(1), need(2), need(2)}));
    EXPECT_EQ(cache.openSearches, 0);
    EXPECT_TRUE(none.Empty());
    EXPECT_EQ(contentOnly.sizesGiven.size(), 1u);
    EXPECT_EQ(stubborn.findCalls, 1);
}

// Whether it read, each title with its visit's low half, then the COM calls
// made and balanced and the objects left alive.
TEST(EnumerateHistory, ReadsInOrderAndBalancesComOnEveryPath) {
    struct Case { const char* name; void (*setUp)(FakeHistory&); const char* read; } cases[] = {
        {"all read", [](FakeHistory&) {}, "1 One@0 @9 | 1 1 0"},
        {"store cannot be created", [](FakeHistory& h) { h.failCreate = true; }, "0 | 1 1 0"},
        {"EnumUrls not implemented", [](FakeHistory& h) { h.failEnumUrls = true; }, "1 | 1 1 0"},
        {"no enumerator", [](FakeHistory& h) { h.nullEnumerator = true; }, "1 | 1 1 0"},
        {"Next fails at the second item", [](FakeHistory& h) { h.failNextAt = 1; }, "1 One@0 | 1 1 0"},
        {"a foreign apartment is left alone", [](FakeHistory& h) { h.coInitializeFailure = kRPC_E_CHANGED_MODE; },
         "1 One@0 @9 | 1 0 0"},
    };
    for (const Case& c : cases) {
        FakeHistory history;
        history.Add("http://one/", "One");
        history.Add("http://two/").lastVisited.low = 9;
        c.setUp(history);
        EntryArray<PageEntry> entries;
        std::string read = std::to_string(EnumerateHistory(history, entries));
        for (const PageEntry& e : entries)
            read += std::string(" ") + e.title + "@" + std::to_string(e.lastVisited.low);
        read += " | " + std::to_string(history.coInitializeCalls) + " " + std::to_string(history.coUninitializeCalls) +
                " " + std::to_string(history.liveStores + history.liveEnumerators);
        EXPECT_EQ(read, c.read) << c.name;
    }
}

// Shows its columns, then the given cell of each row, as one text.
struct RecordingList : TabList {
    std::string columns;
    std::vector<Row> rows;
    std::vector<int> sorts;
    int removals = 0, refuseFrom = 1000;  // rows at or past refuseFrom cannot be added
    int throwAt = -1;                     // the row at throwAt runs out of memory, once

    void RemoveAll() override {
        columns.clear();
        rows.clear();
        ++removals;
    }
    void AddColumn(const Column& c) override { columns += c.title + std::string("/") + std::to_string(c.width) + ","; }
    bool AddRow(const Row& row) override {
        if (int(rows.size()) >= refuseFrom)
            return false;
        if (int(rows.size()) == throwAt) {
            throwAt = -1;
            throw std::bad_alloc();
        }
        rows.push_back(row);
        return true;
    }
    int RowCount() const override { return int(rows.size()); }
    void SortByColumn(int column) override { sorts.push_back(column); }
    std::string Shown(std::size_t cell = 0) const {
        std::string s = columns;
        for (const Row& r : rows)
            s += " " + r.cells.at(cell).text;
        return s;
    }
};

TEST(TabFill, EachLiveListHoldsItsKindAndCountsItsRows) {
    FakeUrlCache cache;
    cache.Add("Cookie:me@site.example/", "C:\\Cookies\\me@site[1].txt", 10);
    cache.Add("http://site.example/logo.gif", "C:\\Cache\\logo.gif", 20);
    cache.Add("http://site.example/s.css", "C:\\Cache\\s.css", 25);
    cache.Add("Visited: me@http://site.example/", "", 30);
    cache.Add("http://site.example/?q=Cookie:x", "C:\\Cache\\q.htm", 40);
    // Found by the cookie search although its URL has no marker.
    cache.Add("http://odd.example/", "C:\\Cookies\\odd.txt", 50).inCookieContainer = true;
    cache.Add("http://site.example/empty", "C:\\Cache\\empty", 0);
    FakeHistory history;
    history.Add("http://a.example/", "A");
    history.Add("http://b.example/", "");
    struct : StatusLine {
        std::vector<std::string> shown;
        void Show(const std::string& text) override { shown.push_back(text); }
    } status;
    RecordingList cacheList, refusing, rebuilt, historyList, none, startCookies, startCache;
    FillCacheList(cache, cacheList, "dd.MM.yyyy", &status);
    EXPECT_EQ(cacheList.Shown(), " C:\\Cache\\logo.gif C:\\Cache\\s.css");
    refusing.refuseFrom = 1;
    FillCacheList(cache, refusing, "dd.MM.yyyy", &status);
    // A refresh restores the live columns and sorts by the first.
    rebuilt.columns = "User/100,URL/330,";
    rebuilt.rows.resize(3);
    RebuildLiveList(EntryKind::Cookie, rebuilt, history, cache, "dd.MM.yyyy", &status);
    EXPECT_EQ(rebuilt.Shown(), "File/300,URL/250,Size/50,Hits/50,Last Visited/100,Last Updated/100,Expires/100, "
                               "C:\\Cookies\\me@site[1].txt C:\\Cookies\\odd.txt");
    EXPECT_EQ(rebuilt.sorts, std::vector<int>{0});
    EXPECT_TRUE(FillHistoryList(history, historyList, "dd.MM.yyyy", nullptr));
    EXPECT_EQ(historyList.Shown(), " A Untitled");
    history.failCreate = true;
    EXPECT_FALSE(FillHistoryList(history, none, "dd.MM.yyyy", &status));
    EXPECT_TRUE(none.rows.empty());
    EXPECT_EQ(status.shown, (std::vector<std::string>{"Internet Explorer Cache contains: 2 items",
                                                      "Internet Explorer Cache contains: 1 items",  // rows, not entries
                                                      "Internet Explorer Cookies contain: 2 items"}));
    // The start-up fill holds what the refreshes would: the content search
    // yields no cookies.
    FillCookieAndCacheLists(cache, startCookies, startCache, "dd.MM.yyyy");
    EXPECT_EQ(startCookies.Shown(), " C:\\Cookies\\me@site[1].txt C:\\Cookies\\odd.txt");
    EXPECT_EQ(startCache.Shown(), " C:\\Cache\\logo.gif C:\\Cache\\s.css");
    for (const std::string& p : cache.patternsGiven)
        EXPECT_TRUE(p == "cookie:" || p == "(null)") << p;
    EXPECT_EQ(cache.openSearches, 0);
}

TEST(TabFill, AnIndexFileFillsTheListOfItsKindOnly) {
    const std::string dir = ::testing::TempDir();
    ASSERT_TRUE(samples::SampleCookieIndex().WriteTo(dir + "tabfill_cookies.dat"));
    ASSERT_TRUE(samples::SampleCacheIndex().WriteTo(dir + "tabfill_cache.dat"));
    ASSERT_TRUE(samples::IndexFileWriter("4.7").Add({"Cookie:old@site/"}).WriteTo(dir + "tabfill_old.dat"));
    ASSERT_TRUE(samples::WriteFile(dir + "tabfill_junk.dat", std::vector<unsigned char>(1000, 'j')));
    ASSERT_TRUE(samples::IndexFileWriter().WriteTo(dir + "tabfill_empty.dat"));
    ASSERT_TRUE(samples::IndexFileWriter()
                    .Add({":2013031020130311: alice@http://site/page", u"Page"})
                    .Add({":2013031020130311: bob@http://site/other"})
                    .WriteTo(dir + "tabfill_daily.dat"));
    RecordingList lists[3];
    lists[0].rows.resize(1);
    TabList* const tabs[3] = {&lists[0], &lists[1], &lists[2]};
    const std::string cookieColumns = "User/100,URL/330,Last Visited/100,Last Updated/100,";
    struct Case { std::string path; bool ok; EntryKind kind; std::string shown; } cases[] = {
        {dir + "tabfill_cookies.dat", true, EntryKind::Cookie, cookieColumns + " example.com/ shop.example.net/cart"},
        {dir + "tabfill_cache.dat", true, EntryKind::Cache,
         "URL/500,Last Visited/100,Last Updated/100, 01.12.2026 02.12.2026 03.12.2026 04.12.2026"},
        {dir + "tabfill_old.dat", true, EntryKind::Cookie, cookieColumns + " site/"},  // another version all the same
        {dir + "tabfill_junk.dat", false, EntryKind::History, cookieColumns + " site/"},
        {dir + "tabfill_missing.dat", false, EntryKind::History, cookieColumns + " site/"},
        {dir + "tabfill_empty.dat", false, EntryKind::History, cookieColumns + " site/"},  // no record to take a kind from
        {"", false, EntryKind::History, cookieColumns + " site/"},
    };
    for (const Case& c : cases) {
        EntryKind kind = EntryKind::History;
        EXPECT_EQ(LoadIndexFile(c.path.c_str(), tabs, "dd.MM.yyyy", &kind),
                  c.ok ? IndexLoad::Loaded : IndexLoad::Refused) << c.path;
        EXPECT_EQ(kind, c.kind) << c.path;
        EXPECT_EQ(lists[c.ok ? int(c.kind) : 1].Shown(1), c.shown) << c.path;
    }
    EntryKind kind = EntryKind::Cache;
    EXPECT_EQ(LoadIndexFile(nullptr, tabs, "dd.MM.yyyy", &kind), IndexLoad::Refused);
    EXPECT_EQ(lists[0].rows.size(), 1u) << "other lists stay as they were";
    EXPECT_EQ(lists[0].removals + lists[1].removals + lists[2].removals, 3) << "a refused file changes no list";
    // A daily History file shows in the History list, its users split off.
    EXPECT_EQ(LoadIndexFile((dir + "tabfill_daily.dat").c_str(), tabs, "dd.MM.yyyy", &kind), IndexLoad::Loaded);
    EXPECT_EQ(kind, EntryKind::History);
    EXPECT_EQ(lists[0].Shown(1), "Title/250,User/100,URL/330,Last Visited/100,Last Updated/100, alice bob");
}

// Every cell of the rows: text, ^ for a hyperlink, @ and the date value.
std::string Cells(const std::vector<Row>& rows) {
    std::string s;
    for (const Row& r : rows) {
        s += std::to_string(r.image);
        for (const Cell& c : r.cells)
            s += "|" + c.text + (c.format == kHyperlinkFormat ? "^" : "") +
                 (c.hasDate ? "@" + std::to_string(c.date.Value()) : "");
        s += "\n";
    }
    return s;
}

// The real file and variants of it load record by record into the very rows
// that the reader's whole array makes.
TEST(TabFill, AnIndexFileLoadsTheRowsOfTheReadersRecords) {
    std::ifstream in(TW_REAL_HISTORY, std::ios::binary);
    const std::string real((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(real.size(), 32768u) << "cannot read " << TW_REAL_HISTORY;
    // The stale record at 0x5700 covers three blocks; a live record of two
    // blocks in its third, which the free hash entry 77 now links.
    const std::vector<std::pair<std::size_t, std::string>> reused = {
        {0x5800, std::string("URL \x02\0", 6)},
        {0x5868, std::string("Visited: me@http://live/\0", 25)},
        {0x4000 + 16 + 8 * 77, std::string("\x40\x56\x34\x12\x00\x58\0\0", 8)}};
    struct Case { const char* what; std::vector<std::pair<std::size_t, std::string>> pokes; std::size_t size, rows; }
    cases[] = {
        {"the real file", {}, 0, 18},
        {"another version", {{24, "5.3"}}, 0, 18},
        {"cut inside its last record", {}, 0x7203, 18},
        {"a cookie first", {{0x5000 + 104, "Cookie:me@site/"}}, 0, 18},
        {"a cache item first", {{0x5000 + 104, std::string("http://a/b@c\0", 13)}}, 0, 18},
        {"a live record in a stale one's last block", reused, 0, 19},
    };
    for (const Case& c : cases) {
        std::string bytes = real;
        for (const auto& poke : c.pokes)
            bytes.replace(poke.first, poke.second.size(), poke.second);
        bytes.resize(c.size ? c.size : bytes.size());
        const std::string path = ::testing::TempDir() + "tabfill_real.dat";
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        EntryArray<PageEntry> entries;
        ReadIndexFile(path.c_str(), entries);
        ASSERT_FALSE(entries.Empty()) << c.what;
        const EntryKind want = IndexFileKind(entries[0]);
        std::vector<Row> rows;
        for (const PageEntry& e : entries)
            rows.push_back(IndexFileRow(e, want, "dd.MM.yyyy"));
        RecordingList lists[3];
        TabList* const tabs[3] = {&lists[0], &lists[1], &lists[2]};
        EntryKind kind = EntryKind(-1);
        EXPECT_EQ(LoadIndexFile(path.c_str(), tabs, "dd.MM.yyyy", &kind), IndexLoad::Loaded) << c.what;
        EXPECT_EQ(kind, want) << c.what;
        EXPECT_EQ(Cells(lists[int(want)].rows), Cells(rows)) << c.what;
        EXPECT_EQ(rows.size(), c.rows) << c.what;
        EXPECT_EQ(lists[0].removals + lists[1].removals + lists[2].removals, 1) << c.what;
    }
}

// Out of memory, the list keeps the rows of the first records and takes no
// more, whether the list refuses the row or its making fails.
TEST(TabFill, AnIndexFileLoadCutShortKeepsTheFirstRows) {
    RecordingList whole, refusing, failing;
    refusing.refuseFrom = 5;
    failing.throwAt = 0;
    for (RecordingList* list : {&whole, &refusing, &failing}) {
        TabList* const tabs[3] = {list, nullptr, nullptr};
        EntryKind kind = EntryKind::Cache;
        EXPECT_EQ(LoadIndexFile(TW_REAL_HISTORY, tabs, "dd.MM.yyyy", &kind),
                  list == &whole ? IndexLoad::Loaded : IndexLoad::CutShort);
        EXPECT_EQ(kind, EntryKind::History);
    }
    ASSERT_EQ(whole.rows.size(), 18u);
    EXPECT_EQ(Cells(refusing.rows), Cells({whole.rows.begin(), whole.rows.begin() + 5}));
    EXPECT_EQ(failing.rows.size(), 0u) << "no row after the one that failed";
    EXPECT_EQ(failing.columns, whole.columns);
    EXPECT_NE(CutShortText(5).find(" first 5 items."), std::string::npos);
}

// A path ending in a backslash is a folder.
void Add(fakes::FakeFileSystem& fs, const Paths& paths) {
    for (const std::string& p : paths) {
        if (p.back() == '\\')
            fs.AddFolder(p.substr(0, p.size() - 1));
        else
            fs.AddFile(p);
    }
}

TEST(IndexFileChoice, EachKindOffersItsOwnFilesOrElseTheParentFolders) {
    fakes::FakeFileSystem fs;
    const std::string local = "C:\\Users\\u\\Local Settings\\", h = local + "History\\";
    fs.specialFolders[kFolderHistory] = local + "History";
    fs.specialFolders[kFolderCookies] = "C:\\Cookies";
    fs.specialFolders[kFolderInternetCache] = "C:\\TIF";
    Add(fs, {local, h, local + "Temp\\", local + "Temp\\index.dat", "C:\\Cookies\\", "C:\\TIF\\"});
    EXPECT_EQ(ChoiceCandidates(fs, EntryKind::History), Paths{local + "Temp\\index.dat"});
    EXPECT_TRUE(ChoiceCandidates(fs, EntryKind::Cookie).empty());
    Add(fs, {h + "index.dat", h + "History.IE5\\", h + "History.IE5\\index.dat", h + "MSHist012024\\",
             h + "MSHist012024\\index.dat", h + "Empty\\", "C:\\Cookies\\index.dat", "C:\\TIF\\Content.IE5\\",
             "C:\\TIF\\Content.IE5\\index.dat", "C:\\TIF\\Content.IE4\\", "C:\\TIF\\Content.IE4\\index.dat"});
    EXPECT_EQ(ChoiceCandidates(fs, EntryKind::History),
              (Paths{h + "index.dat", h + "History.IE5\\index.dat", h + "MSHist012024\\index.dat"}));
    EXPECT_EQ(ChoiceCandidates(fs, EntryKind::Cookie), Paths{"C:\\Cookies\\index.dat"});
    EXPECT_EQ(ChoiceCandidates(fs, EntryKind::Cache), Paths{"C:\\TIF\\Content.IE5\\index.dat"});
    fakes::FakeFileSystem none;
    EXPECT_TRUE(ChoiceCandidates(none, EntryKind::Cache).empty());
    // A browsed folder is searched for the kind's file in a subfolder, and added once.
    Add(fs, {"D:\\Profile\\", "D:\\Profile\\Cookies\\", "D:\\Profile\\Cookies\\index.dat"});
    const std::string found = BrowseCandidate(fs, EntryKind::Cookie, "D:\\Profile");
    EXPECT_EQ(found, "D:\\Profile\\Cookies\\index.dat");
    Paths rows;
    EXPECT_TRUE(AddUniqueRow(rows, found));
    EXPECT_FALSE(AddUniqueRow(rows, found));
    EXPECT_EQ(rows.size(), 1u);
    EXPECT_EQ(BrowseCandidate(fs, EntryKind::Cache, "D:\\Profile"), "") << "a folder does not open as a file";
    EXPECT_EQ(BrowseCandidate(fs, EntryKind::History, "D:\\Nowhere"), "");
}

// The low process reads the index files of its own stores, the Low ones;
// a store without a writeable folder offers none, and the folders of other
// things stay the platform's.
TEST(IndexFileChoice, InProtectedModeTheLowStoresAreOffered) {
    fakes::FakeFileSystem fs;
    fs.specialFolders = {{kFolderHistory, "C:\\H"}, {kFolderCookies, "C:\\C"}, {kFolderInternetCache, "C:\\T"},
                         {kFolderFavorites, "C:\\F"}};
    fs.writeableStoreFolders = {{kFolderHistory, "C:\\H\\Low"}, {kFolderCookies, "C:\\C\\Low"}};
    Add(fs, {"C:\\H\\History.IE5\\index.dat", "C:\\H\\Low\\History.IE5\\index.dat", "C:\\C\\index.dat",
             "C:\\C\\Low\\index.dat", "C:\\T\\Content.IE5\\index.dat", "C:\\T\\Low\\Content.IE5\\index.dat"});
    struct Case { bool protectedMode; EntryKind store; Paths rows; } cases[] = {
        {false, EntryKind::History, {"C:\\H\\History.IE5\\index.dat"}},
        {false, EntryKind::Cookie, {"C:\\C\\index.dat"}},
        {false, EntryKind::Cache, {"C:\\T\\Content.IE5\\index.dat"}},
        {true, EntryKind::History, {"C:\\H\\Low\\History.IE5\\index.dat"}},
        {true, EntryKind::Cookie, {"C:\\C\\Low\\index.dat"}},
        {true, EntryKind::Cache, {}},
    };
    for (const Case& c : cases) {
        fakes::FakeProcessRights rights;
        rights.protectedMode = c.protectedMode;
        ProcessFileSystem files(fs, rights);
        EXPECT_EQ(ChoiceCandidates(files, c.store), c.rows) << c.protectedMode << int(c.store);
        std::string favorites;
        EXPECT_TRUE(files.SpecialFolder(kFolderFavorites, &favorites));
        EXPECT_EQ(favorites, "C:\\F");
    }
}

TEST(IndexFileSearch, DepthFirstByPathContainingIndexDatWithinThePathLimit) {
    fakes::FakeFileSystem fs;
    const std::string deep = "E:\\T\\" + std::string(240, 'd') + "\\";
    Add(fs, {"E:\\T\\", "E:\\T\\myindex.dat.bak", "E:\\T\\A\\", "E:\\T\\A\\INDEX.DAT", "E:\\T\\A\\other.txt",
             "E:\\T\\index.dat folder\\", "E:\\T\\index.dat folder\\x.bin", deep,
             deep + "index.dat",                           // 256 characters: fits
             deep + std::string(20, 'x') + "index.dat"});  // does not
    for (const bool go : {true, false}) {
        std::atomic<bool> going{go};
        Paths found;
        SearchIndexFiles(fs, "E:\\T", going, [&](const std::string& p) { found.push_back(p); });
        EXPECT_EQ(found, go ? (Paths{"E:\\T\\A\\INDEX.DAT", deep + "index.dat", "E:\\T\\index.dat folder\\x.bin",
                                     "E:\\T\\myindex.dat.bak"})
                            : Paths());
        EXPECT_EQ(fs.openSearches, 0);
    }
}

}  // namespace
}  // namespace tw
