#include <gtest/gtest.h>

#include "core/live_readers.h"
#include "platform/win_errors.h"
#include "tests/fakes/fake_history.h"
#include "tests/fakes/fake_url_cache.h"

namespace tw {
namespace {

using fakes::FakeHistory;
using fakes::FakeUrlCache;

TEST(EnumerateUrlCache, AsksForTheSizeFirstReusesTheBufferAndSkipsSizeZero) {
    FakeUrlCache cache;
    cache.Add("Cookie:u@a/", "a.htm", 0).padding = 5000;  // needs more than 5000 bytes; size 0 is left out
    cache.Add("Cookie:u@b/", "b.htm", 12).hitRate = 7;    // fits in the same buffer
    auto& noFile = cache.Add("Cookie:u@c/", "", 3);       // needs a bigger one
    noFile.padding = 6000;
    noFile.hasLocalFile = false;
    cache.Add("http://content/", "d.htm", 1);
    EntryArray<FileEntry> entries;
    EXPECT_TRUE(EnumerateUrlCache(cache, kCookiePattern, entries));
    ASSERT_EQ(entries.Count(), 2u);
    EXPECT_STREQ(entries[0].url, "Cookie:u@b/");
    EXPECT_EQ(entries[0].hitRate, 7u);
    EXPECT_EQ(entries[0].size, 12u);
    EXPECT_STREQ(entries[1].localFile, "");
    const std::uint32_t a = FakeUrlCache::NeededSize(cache.entries[0]);
    const std::uint32_t b = FakeUrlCache::NeededSize(cache.entries[1]);
    const std::uint32_t c = FakeUrlCache::NeededSize(cache.entries[2]);
    // First call with size 0, retry with a's size; each later call is given
    // the size last written back.
    EXPECT_EQ(cache.sizesGiven, (std::vector<std::uint32_t>{0, a, a, b, c, c}));
    EXPECT_EQ(cache.openSearches, 0);
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

TEST(EnumerateUrlCache, AnEmptyCacheOrOneThatDoesNotGrowGivesNothing) {
    FakeUrlCache cache;
    cache.Add("http://only-content/");
    EntryArray<FileEntry> entries;
    EXPECT_TRUE(EnumerateUrlCache(cache, kCookiePattern, entries));
    EXPECT_TRUE(entries.Empty());
    EXPECT_EQ(cache.sizesGiven.size(), 1u);
    StubbornCache stubborn;
    EXPECT_TRUE(EnumerateUrlCache(stubborn, kAllPattern, entries));
    EXPECT_EQ(stubborn.calls, 1);
}

TEST(EnumerateHistory, ReadsInOrderAndBalancesComOnEveryPath) {
    struct Case { const char* name; bool failCreate, failEnum, nullEnum; int failAt; long coInit; bool ok; std::size_t n; };
    const Case cases[] = {
        {"all read", false, false, false, -1, 0, true, 2},
        {"store cannot be created", true, false, false, -1, 0, false, 0},
        {"EnumUrls not implemented", false, true, false, -1, 0, true, 0},
        {"no enumerator", false, false, true, -1, 0, true, 0},
        {"Next fails at the second item", false, false, false, 1, 0, true, 1},
        {"a foreign apartment is left alone", false, false, false, -1, kRPC_E_CHANGED_MODE, true, 2},
    };
    for (const Case& c : cases) {
        FakeHistory history;
        history.Add("http://one/", "One");
        history.Add("http://two/");
        history.items[1].lastVisited.low = 9;
        history.failCreate = c.failCreate;
        history.failEnumUrls = c.failEnum;
        history.nullEnumerator = c.nullEnum;
        history.failNextAt = c.failAt;
        history.coInitializeFailure = c.coInit;
        EntryArray<PageEntry> entries;
        EXPECT_EQ(EnumerateHistory(history, entries), c.ok) << c.name;
        ASSERT_EQ(entries.Count(), c.n) << c.name;
        if (c.n == 2) {
            EXPECT_STREQ(entries[0].title, "One");
            EXPECT_STREQ(entries[1].title, "");
            EXPECT_EQ(entries[1].lastVisited.low, 9u);
        }
        EXPECT_EQ(history.coInitializeCalls, 1) << c.name;
        EXPECT_EQ(history.coUninitializeCalls, c.coInit ? 0 : 1) << c.name;
        EXPECT_EQ(history.liveStores + history.liveEnumerators, 0) << c.name;
    }
}

}  // namespace
}  // namespace tw
