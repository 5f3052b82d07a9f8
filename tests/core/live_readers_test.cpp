#include <gtest/gtest.h>

#include "core/live_readers.h"
#include "platform/win_errors.h"
#include "tests/fakes/fake_history.h"
#include "tests/fakes/fake_url_cache.h"

namespace tw {
namespace {

using fakes::FakeHistory;
using fakes::FakeUrlCache;

TEST(EnumerateUrlCache, AsksForTheSizeFirstAndReusesTheBuffer) {
    FakeUrlCache cache;
    cache.Add("http://a/", "a.htm").padding = 5000;  // needs more than 5000 bytes
    cache.Add("http://b/", "b.htm");                 // fits in the same buffer
    cache.Add("http://c/", "c.htm").padding = 6000;  // needs a bigger one
    EntryArray<FileEntry> entries;
    EXPECT_TRUE(EnumerateUrlCache(cache, kAllPattern, entries));
    ASSERT_EQ(entries.Count(), 3u);
    EXPECT_STREQ(entries[0].url, "http://a/");
    EXPECT_STREQ(entries[2].localFile, "c.htm");
    const std::uint32_t a = FakeUrlCache::NeededSize(cache.entries[0]);
    const std::uint32_t b = FakeUrlCache::NeededSize(cache.entries[1]);
    const std::uint32_t c = FakeUrlCache::NeededSize(cache.entries[2]);
    // First call with size 0, retry with a's size; each later call is given
    // the size last written back.
    EXPECT_EQ(cache.sizesGiven, (std::vector<std::uint32_t>{0, a, a, b, c, c}));
    EXPECT_EQ(cache.openSearches, 0);
}

TEST(EnumerateUrlCache, SkipsSizeZeroAndKeepsOrder) {
    FakeUrlCache cache;
    cache.Add("Cookie:u@a/", "u@a.txt", 0);
    cache.Add("Cookie:u@b/", "u@b.txt", 12).hitRate = 7;
    auto& noFile = cache.Add("Cookie:u@c/", "", 3);
    noFile.hasLocalFile = false;
    EntryArray<FileEntry> entries;
    EnumerateUrlCache(cache, kCookiePattern, entries);
    ASSERT_EQ(entries.Count(), 2u);
    EXPECT_STREQ(entries[0].url, "Cookie:u@b/");
    EXPECT_EQ(entries[0].hitRate, 7u);
    EXPECT_EQ(entries[0].size, 12u);
    EXPECT_STREQ(entries[1].localFile, "");
}

TEST(EnumerateUrlCache, EmptyCacheSucceedsWithNothing) {
    FakeUrlCache cache;
    cache.Add("http://only-content/");
    EntryArray<FileEntry> entries;
    EXPECT_TRUE(EnumerateUrlCache(cache, kCookiePattern, entries));
    EXPECT_TRUE(entries.Empty());
    EXPECT_EQ(cache.sizesGiven.size(), 1u);
}

// A platform that keeps asking for no more than it was given must not keep
// the reader asking for ever.
class StubbornCache : public FakeUrlCache {
public:
    Search FindFirst(const char*, void*, std::uint32_t* size, long* error) override {
        ++calls;
        *size = 0;
        *error = 122;
        return nullptr;
    }
    int calls = 0;
};

TEST(EnumerateUrlCache, StopsWhenTheNeededSizeDoesNotGrow) {
    StubbornCache cache;
    EntryArray<FileEntry> entries;
    EXPECT_TRUE(EnumerateUrlCache(cache, kAllPattern, entries));
    EXPECT_EQ(cache.calls, 1);
}

TEST(EnumerateHistory, ReadsInOrderAndBalancesCom) {
    FakeHistory history;
    history.Add("http://one/", "One");
    history.Add("http://two/");
    history.items[1].lastVisited.low = 9;
    EntryArray<PageEntry> entries;
    EXPECT_TRUE(EnumerateHistory(history, entries));
    ASSERT_EQ(entries.Count(), 2u);
    EXPECT_STREQ(entries[0].title, "One");
    EXPECT_STREQ(entries[1].title, "");
    EXPECT_EQ(entries[1].lastVisited.low, 9u);
    EXPECT_EQ(history.coInitializeCalls, 1);
    EXPECT_EQ(history.coUninitializeCalls, 1);
    EXPECT_EQ(history.liveStores, 0);
    EXPECT_EQ(history.liveEnumerators, 0);
}

TEST(EnumerateHistory, FailuresOnEveryPath) {
    struct Case { const char* name; bool failCreate, failEnum, nullEnum; int failAt; bool ok; std::size_t n; } cases[] = {
        {"store cannot be created", true, false, false, -1, false, 0},
        {"EnumUrls not implemented", false, true, false, -1, true, 0},
        {"no enumerator", false, false, true, -1, true, 0},
        {"Next fails at the second item", false, false, false, 1, true, 1},
    };
    for (const Case& c : cases) {
        FakeHistory history;
        history.Add("http://one/");
        history.Add("http://two/");
        history.failCreate = c.failCreate;
        history.failEnumUrls = c.failEnum;
        history.nullEnumerator = c.nullEnum;
        history.failNextAt = c.failAt;
        EntryArray<PageEntry> entries;
        EXPECT_EQ(EnumerateHistory(history, entries), c.ok) << c.name;
        EXPECT_EQ(entries.Count(), c.n) << c.name;
        EXPECT_EQ(history.coInitializeCalls, history.coUninitializeCalls) << c.name;
        EXPECT_EQ(history.liveStores + history.liveEnumerators, 0) << c.name;
    }
}

TEST(EnumerateHistory, LeavesAForeignApartmentAlone) {
    FakeHistory history;
    history.Add("http://one/");
    history.coInitializeFailure = kRPC_E_CHANGED_MODE;
    EntryArray<PageEntry> entries;
    EXPECT_TRUE(EnumerateHistory(history, entries));
    EXPECT_EQ(entries.Count(), 1u);
    EXPECT_EQ(history.coUninitializeCalls, 0);
}

}  // namespace
}  // namespace tw
