#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/cleanup.h"
#include "tests/fakes/fake_file_system.h"
#include "platform/win_errors.h"
#include "tests/fakes/fake_history.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_url_cache.h"

namespace tw {
namespace {

using Journal = std::vector<std::string>;

FileTime T(std::uint64_t v) { return FileTime::FromValue(v); }

class FakeLists : public ListRebuilder {
public:
    explicit FakeLists(Journal& journal) : journal_(journal) {}
    void ShowStore(std::int32_t store) override { journal_.push_back("show " + std::to_string(store)); }
    void RebuildList(std::int32_t store) override { journal_.push_back("rebuild " + std::to_string(store)); }

private:
    Journal& journal_;
};

// One live cache and history store for every criterion, so that each row
// of the table below names exactly what its criterion takes from them.
class Stores {
public:
    Stores() {
        history.journal = &journal;
        cache.journal = &journal;
        clock.now = T(100);
        AddHistory("http://news.com/a.html", 10);
        AddHistory("file://C:/doc.htm", 20);
        AddHistory("res://ieframe.dll/x", 30);
        AddHistory("http://site.com/?u=file://x", 40);
        AddHistory("HTTP://UPPER.COM/", 50);
        AddHistory("http://blank.com/  \t", 60);
        AddHistory("mk:@MSITStore:c:\\x.chm", 70);
        AddHistory("about:blank", 80);

        AddCache("Cookie:bob@example.com/", 1).expire = T(100);
        AddCache("Cookie:bob@ADS.example.net/", 2).expire = T(200);
        AddCache("Cookie:bob@shop.org/", 3);  // no expiry: counts as passed
        AddCache("Visited: bob@http://a.com/pic.jpg", 4);
        AddCache("http://a.com/pic.jpg", 5);
        AddCache("http://a.com/PIC.JPG", 6);
        AddCache("http://a.com/pic.jpg?x=1", 7);
        AddCache("http://a.com/t.tmp", 8);
        AddCache("http://a.com/s.js", 9);
        AddCache("http://a.com/S.JS", 10);
        AddCache("http://a.com/index.php?id=1", 11);
        AddCache("http://a.com/Default.ASP?x", 12);
        AddCache("http://a.com/file.zip", 13);
        AddCache("http://a.com/page.html", 14);
        AddCache("http://a.com/style.css", 15);
        AddCache("http://a.com/photo.gif", 16);
        AddCache("javascript:void(0)", 17);
        AddCache("http://a.com/zero.jpg", 18).size = 0;  // never enumerated
    }

    Journal Run(std::int32_t kind, std::int32_t store, const char* text = "", FileTime from = {},
                FileTime to = {}) {
        CleanupCriteria c;
        c.kind = kind;
        c.store = store;
        CopyField(c.text, text);
        c.from = from;
        c.to = to;
        EXPECT_EQ(RunCleanup(c, cleaner, lists), 0);
        return journal;
    }

    fakes::FakeHistory history;
    fakes::FakeUrlCache cache;
    fakes::FakeFileSystem files;
    fakes::FakeClock clock;
    Journal journal;
    FakeLists lists{journal};
    Cleaner cleaner{history, cache, files, clock};

private:
    void AddHistory(const std::string& url, std::uint64_t updated) {
        history.Add(url, "t").lastUpdated = T(updated);
    }
    fakes::FakeCacheEntry& AddCache(const std::string& url, std::uint64_t accessed) {
        fakes::FakeCacheEntry& e = cache.Add(url);
        e.lastAccess = T(accessed);
        return e;
    }
};

// The deletion of a history item takes its cached copy with it, whose URL
// lacks the trailing blanks of the history one.
Journal HistoryDeletions(std::initializer_list<const char*> urls) {
    Journal j;
    for (const char* u : urls) {
        std::string trimmed = u;
        while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t'))
            trimmed.pop_back();
        j.push_back(std::string("history ") + u);
        j.push_back("cache " + trimmed);
    }
    return j;
}

Journal CacheDeletions(std::initializer_list<const char*> urls) {
    Journal j;
    for (const char* u : urls)
        j.push_back(std::string("cache ") + u);
    return j;
}

// What a run around its deletions looks like.
Journal Framed(std::int32_t store, const Journal& deletions) {
    Journal j{"show " + std::to_string(store)};
    if (store == kStoreHistory)
        j.push_back("CoInitialize");
    j.insert(j.end(), deletions.begin(), deletions.end());
    j.push_back("rebuild " + std::to_string(store));
    if (store == kStoreHistory)
        j.push_back("CoUninitialize");
    return j;
}

struct Row {
    const char* name;
    std::int32_t kind;
    std::int32_t store;
    const char* text;
    std::uint64_t from, to;
    Journal deletions;
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

class CriterionTable : public ::testing::TestWithParam<Row> {};

TEST_P(CriterionTable, DeletesExactlyTheseInThisOrder) {
    const Row& row = GetParam();
    Stores stores;
    EXPECT_EQ(stores.Run(row.kind, row.store, row.text, T(row.from), T(row.to)), Framed(row.store, row.deletions));
    EXPECT_EQ(stores.cache.openSearches, 0);
    EXPECT_EQ(stores.history.liveEnumerators, 0);
    EXPECT_EQ(stores.history.liveStores, 0);
}

const Row kRows[] = {
    {"HistoryAll", kCleanAll, kStoreHistory, "", 0, 0,
     HistoryDeletions({"http://news.com/a.html", "file://C:/doc.htm", "res://ieframe.dll/x",
                       "http://site.com/?u=file://x", "HTTP://UPPER.COM/", "http://blank.com/  \t", "mk:@MSITStore:c:\\x.chm"})},
    {"HistoryLocalLinksInSchemeOrder", kCleanLocalLinks, kStoreHistory, "", 0, 0,
     HistoryDeletions({"file://C:/doc.htm", "http://site.com/?u=file://x", "res://ieframe.dll/x",
                       "mk:@MSITStore:c:\\x.chm"})},
    {"HistorySelectedProtocol", kCleanSelectedProtocol, kStoreHistory, "res://", 0, 0,
     HistoryDeletions({"res://ieframe.dll/x"})},
    {"HistoryTextIsCaseSensitive", kCleanContainingText, kStoreHistory, "upper", 0, 0, {}},
    {"HistoryTextInItsOwnCase", kCleanContainingText, kStoreHistory, "UPPER", 0, 0,
     HistoryDeletions({"HTTP://UPPER.COM/"})},
    {"HistoryEmptyText", kCleanContainingText, kStoreHistory, "", 0, 0, {}},
    {"HistoryBetweenInclusive", kCleanBetweenDates, kStoreHistory, "", 20, 40,
     HistoryDeletions({"file://C:/doc.htm", "res://ieframe.dll/x", "http://site.com/?u=file://x"})},
    {"HistoryFromAfterTo", kCleanBetweenDates, kStoreHistory, "", 40, 20, {}},
    {"HistoryPicturesIsNotAHistoryCriterion", kCleanPictures, kStoreHistory, "", 0, 0, {}},
    {"HistoryExpiredCookiesIsNot", kCleanExpiredCookies, kStoreHistory, "", 0, 0, {}},
    {"HistoryNoCriterion", kCleanNothing, kStoreHistory, "", 0, 0, {}},
    {"HistoryUnknownCriterion", 11, kStoreHistory, ".", 0, 0, {}},

    {"CookiesAll", kCleanAll, kStoreCookies, "", 0, 0,
     CacheDeletions({"Cookie:bob@example.com/", "Cookie:bob@ADS.example.net/", "Cookie:bob@shop.org/"})},
    {"CookiesExpiredAgainstNow", kCleanExpiredCookies, kStoreCookies, "", 0, 0,
     CacheDeletions({"Cookie:bob@example.com/", "Cookie:bob@shop.org/"})},
    {"CookiesTextIgnoresCase", kCleanContainingText, kStoreCookies, "EXAMPLE.COM", 0, 0,
     CacheDeletions({"Cookie:bob@example.com/"})},
    {"CookiesLowerTextFindsCapitals", kCleanContainingText, kStoreCookies, "ads.", 0, 0,
     CacheDeletions({"Cookie:bob@ADS.example.net/"})},
    {"CookiesEmptyText", kCleanContainingText, kStoreCookies, "", 0, 0, {}},
    {"CookiesBetweenInclusive", kCleanBetweenDates, kStoreCookies, "", 2, 3,
     CacheDeletions({"Cookie:bob@ADS.example.net/", "Cookie:bob@shop.org/"})},
    {"CookiesLocalLinksIsNot", kCleanLocalLinks, kStoreCookies, "", 0, 0, {}},
    {"CookiesPicturesIsNot", kCleanPictures, kStoreCookies, "", 0, 0, {}},

    {"CacheAllPassesOverMarkedItems", kCleanAll, kStoreCache, "", 0, 0,
     CacheDeletions({"http://a.com/pic.jpg", "http://a.com/PIC.JPG", "http://a.com/pic.jpg?x=1", "http://a.com/t.tmp",
                     "http://a.com/s.js", "http://a.com/S.JS", "http://a.com/index.php?id=1",
                     "http://a.com/Default.ASP?x", "http://a.com/file.zip", "http://a.com/page.html",
                     "http://a.com/style.css", "http://a.com/photo.gif"})},  // "javascript:void(0)" has no "."
    {"CachePicturesByExtensionOrder", kCleanPictures, kStoreCache, "", 0, 0,
     CacheDeletions({"http://a.com/pic.jpg", "http://a.com/photo.gif", "http://a.com/t.tmp"})},
    {"CacheArchives", kCleanArchives, kStoreCache, "", 0, 0, CacheDeletions({"http://a.com/file.zip"})},
    {"CacheStylesAndScriptsTextsThenExtensions", kCleanStylesAndScripts, kStoreCache, "", 0, 0,
     CacheDeletions({"javascript:void(0)", "http://a.com/index.php?id=1", "http://a.com/Default.ASP?x",
                     "http://a.com/style.css", "http://a.com/s.js"})},
    {"CachePagesAndOtherFiles", kCleanPagesAndOtherFiles, kStoreCache, "", 0, 0,
     CacheDeletions({"http://a.com/page.html"})},
    {"CacheTextIgnoresCaseAndPassesOverMarks", kCleanContainingText, kStoreCache, "PIC", 0, 0,
     CacheDeletions({"http://a.com/pic.jpg", "http://a.com/PIC.JPG", "http://a.com/pic.jpg?x=1"})},
    {"CacheTextNeverTakesCookies", kCleanContainingText, kStoreCache, "cookie:", 0, 0, {}},
    {"CacheBetweenInclusive", kCleanBetweenDates, kStoreCache, "", 6, 8,
     CacheDeletions({"http://a.com/PIC.JPG", "http://a.com/pic.jpg?x=1", "http://a.com/t.tmp"})},
    {"CacheBetweenPassesOverMarks", kCleanBetweenDates, kStoreCache, "", 1, 4, {}},
    {"CacheExpiredCookiesIsNot", kCleanExpiredCookies, kStoreCache, "", 0, 0, {}},
    {"CacheSelectedProtocolIsNot", kCleanSelectedProtocol, kStoreCache, "http", 0, 0, {}},
};

INSTANTIATE_TEST_SUITE_P(Cleanup, CriterionTable, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

TEST(RunCleanup, OtherStoresDoNothingAtAll) {
    for (std::int32_t store : {0, 4, -1}) {
        Stores stores;
        EXPECT_EQ(stores.Run(kCleanAll, store, "."), Journal{});
        EXPECT_EQ(stores.cache.findCalls, 0);
        EXPECT_EQ(stores.history.coInitializeCalls, 0);
    }
}

TEST(RunCleanup, HistoryLeavesOnlyTheApartmentItJoined) {
    Stores stores;
    stores.history.failCreate = true;
    EXPECT_EQ(stores.Run(kCleanAll, kStoreHistory), Framed(kStoreHistory, {}));
    Stores foreign;
    foreign.history.coInitializeFailure = kRPC_E_CHANGED_MODE;
    foreign.Run(kCleanAll, kStoreHistory);
    EXPECT_EQ(foreign.history.coUninitializeCalls, 0);
}

TEST(RunCleanup, AnUnterminatedTextIsReadWithinItsField) {
    Stores stores;
    stores.cache.Add(std::string("Cookie:") + std::string(100, 'x'));
    CleanupCriteria c;
    c.kind = kCleanContainingText;
    c.store = kStoreCookies;
    std::memset(c.text, 'x', sizeof c.text);
    RunCleanup(c, stores.cleaner, stores.lists);
    EXPECT_EQ(stores.cache.deleted, (std::vector<std::string>{"Cookie:" + std::string(100, 'x')}));
}

TEST(DeleteByUrl, ExactAndContainedTexts) {
    Stores stores;
    stores.cleaner.DeleteHistoryUrls("http://blank.com/", true);  // exact, without trailing blanks
    stores.cleaner.DeleteHistoryUrls("http://news.com/", true);   // exact is not contains
    stores.cleaner.DeleteHistoryUrls("http://NEWS.com/a.html", true);
    // The store is given the URL as it came, the cache the trimmed text.
    EXPECT_EQ(stores.history.deleted, std::vector<std::u16string>{fakes::Widen("http://blank.com/  \t")});
    EXPECT_EQ(stores.cache.deleted, std::vector<std::string>{"http://blank.com/"});
    const int finds = stores.cache.findCalls;
    stores.cleaner.DeleteCookieUrls("Cookie:bob@SHOP.org/", true);  // exact: the text, without enumerating
    stores.cleaner.DeleteCacheUrls("Visited: bob@http://a.com/pic.jpg", true);
    EXPECT_EQ(stores.cache.findCalls, finds);
    EXPECT_EQ(stores.cache.deleted, (std::vector<std::string>{"http://blank.com/", "Cookie:bob@SHOP.org/",
                                                              "Visited: bob@http://a.com/pic.jpg"}));
    Stores empty;  // empty texts delete nothing
    empty.cleaner.DeleteHistoryUrls("", true);
    empty.cleaner.DeleteCookieUrls("", true);
    empty.cleaner.DeleteCacheUrls(nullptr, false);
    empty.cleaner.DeleteCacheByExtension("");
    EXPECT_TRUE(empty.journal.empty());
    EXPECT_EQ(empty.cache.findCalls, 0);
    // History URLs beyond the record's field are matched whole.
    const std::string longUrl = "http://long.com/" + std::string(2000, 'a') + ".gif";
    empty.history.Add(longUrl);
    empty.cleaner.DeleteHistoryUrls(longUrl.c_str(), true);
    EXPECT_EQ(empty.cache.deleted, std::vector<std::string>{longUrl});
}

TEST(DeleteByUrl, HistoryStopsAtAFailedFetchOrWithoutEnumeration) {
    Stores stores;
    stores.history.failNextAt = 2;
    stores.cleaner.DeleteHistoryUrls(".", false);
    EXPECT_EQ(stores.journal, HistoryDeletions({"http://news.com/a.html", "file://C:/doc.htm"}));
    for (bool nullEnumerator : {false, true}) {
        Stores none;
        none.history.failEnumUrls = !nullEnumerator;
        none.history.nullEnumerator = nullEnumerator;
        none.cleaner.DeleteHistoryUrls(".", false);
        EXPECT_TRUE(none.journal.empty());
        EXPECT_EQ(none.history.liveStores, 0);
    }
}

TEST(ExtensionTest, IsTheVeryEndOfTheUrlInItsOwnCase) {
    struct Case {
        const char* url;
        const char* extension;
        bool ends;
    } cases[] = {
        {"http://a/x.jpg", ".jpg", true},   {"http://a/x.JPG", ".jpg", false}, {"http://a/x.jpg?q", ".jpg", false},
        {"http://a/x.jpeg", ".jpg", false}, {".js", ".js", true},              {"js", ".js", false},
        {"", ".js", false},                 {"http://a/x.tif", ".tiff", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EndsWithBytes(c.url, c.extension), c.ends) << c.url << " " << c.extension;
}

TEST(ExpiredCookies, FollowTheClock) {
    Stores stores;
    stores.clock.now = T(99);
    stores.cleaner.DeleteExpiredCookies();
    EXPECT_EQ(stores.cache.deleted, (std::vector<std::string>{"Cookie:bob@shop.org/"}));
    stores.clock.now = T(200);
    stores.cleaner.DeleteExpiredCookies();
    EXPECT_EQ(stores.cache.deleted.size(), 3u);
}

// A URL longer than a record's field is deleted by its whole text, never
// by a cut one that could name another entry.
TEST(DeleteCache, LongUrlsAreDeletedWhole) {
    Stores stores;
    const std::string longUrl = "http://long.com/" + std::string(1100, 'a') + ".gif";
    stores.cache.Add(longUrl.substr(0, 1023));
    stores.cache.Add(longUrl);
    stores.cleaner.DeleteCacheByExtension(".gif");
    EXPECT_EQ(stores.cache.deleted, (std::vector<std::string>{"http://a.com/photo.gif", longUrl}));
    stores.cleaner.DeleteCacheUrls("LONG.COM", false);
    EXPECT_EQ(stores.cache.deleted.back(), longUrl.substr(0, 1023));
}

}  // namespace
}  // namespace tw
