// The live reader against Wine's real WinINet cache in the test prefix.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "core/live_readers.h"
#include "platform/win32/win32_url_cache.h"

namespace tw {
namespace {

// Puts url into the cache with a local file of the given size (0: none).
bool Commit(const std::string& url, std::size_t bytes, DWORD type = NORMAL_CACHE_ENTRY) {
    char file[MAX_PATH] = "";
    if (bytes) {
        if (!CreateUrlCacheEntryA(url.c_str(), DWORD(bytes), "htm", file, 0))
            return false;
        FILE* f = std::fopen(file, "wb");
        if (!f)
            return false;
        const std::string body(bytes, 'x');
        std::fwrite(body.data(), 1, body.size(), f);
        std::fclose(f);
    }
    FILETIME none = {};
    return CommitUrlCacheEntryA(url.c_str(), bytes ? file : nullptr, none, none, type, nullptr, 0, nullptr,
                                nullptr) != FALSE;
}

// Empties every container that the system's patterns reach.
void EmptyCache() {
    Win32UrlCache cache;
    for (int round = 0; round < 2; ++round) {
        EntryArray<FileEntry> all;
        EnumerateUrlCache(cache, kAllPattern, all);
        EnumerateUrlCache(cache, kCookiePattern, all);
        for (std::size_t i = 0; i < all.Count(); ++i)
            DeleteUrlCacheEntryA(all[i].url);
    }
}

std::set<std::string> Urls(const EntryArray<FileEntry>& entries) {
    std::set<std::string> urls;
    for (std::size_t i = 0; i < entries.Count(); ++i)
        urls.insert(entries[i].url);
    return urls;
}

class LiveCache : public ::testing::Test {
protected:
    void SetUp() override { EmptyCache(); }
    void TearDown() override { EmptyCache(); }
    Win32UrlCache cache;
};

TEST_F(LiveCache, AnEmptyCacheYieldsNothing) {
    EntryArray<FileEntry> entries;
    EXPECT_TRUE(EnumerateUrlCache(cache, kAllPattern, entries));
    EXPECT_EQ(entries.Count(), 0u);
    EXPECT_TRUE(EnumerateUrlCache(cache, kCookiePattern, entries));
    EXPECT_EQ(entries.Count(), 0u);
}

TEST_F(LiveCache, ReadsCommittedEntriesWithTheirFields) {
    const std::string page = "http://example.com/tidewell/page.htm";
    // Longer than any earlier entry, so the reader must grow its buffer
    // in the middle of the search.
    const std::string longUrl = "http://example.com/tidewell/" + std::string(900, 'l') + ".gif";
    const std::string cookie = "Cookie:tester@example.com/";
    ASSERT_TRUE(Commit(page, 120));
    ASSERT_TRUE(Commit(longUrl, 30));
    ASSERT_TRUE(Commit(cookie, 40, COOKIE_CACHE_ENTRY));

    EntryArray<FileEntry> all;
    ASSERT_TRUE(EnumerateUrlCache(cache, kAllPattern, all));
    const std::set<std::string> urls = Urls(all);
    EXPECT_TRUE(urls.count(page));
    EXPECT_TRUE(urls.count(longUrl)) << "the long entry was cut or skipped";
    EXPECT_TRUE(urls.count(cookie));
    for (std::size_t i = 0; i < all.Count(); ++i) {
        if (page == all[i].url) {
            EXPECT_EQ(all[i].size, 120u);
            EXPECT_NE(std::string(all[i].localFile).find("page"), std::string::npos) << all[i].localFile;
        }
    }

    EntryArray<FileEntry> cookies;
    ASSERT_TRUE(EnumerateUrlCache(cache, kCookiePattern, cookies));
    EXPECT_EQ(Urls(cookies), std::set<std::string>{cookie});
}

TEST_F(LiveCache, EntriesWithoutALocalFileAreLeftOut) {
    const std::string bare = "http://example.com/tidewell/no-file";
    ASSERT_TRUE(Commit(bare, 0));
    ASSERT_TRUE(Commit("http://example.com/tidewell/with-file", 10));
    EntryArray<FileEntry> all;
    EnumerateUrlCache(cache, kAllPattern, all);
    EXPECT_EQ(Urls(all), std::set<std::string>{"http://example.com/tidewell/with-file"});
}

TEST_F(LiveCache, DeletedEntriesAreGone) {
    const std::string page = "http://example.com/tidewell/gone.htm";
    ASSERT_TRUE(Commit(page, 10));
    EXPECT_TRUE(cache.DeleteEntry(page.c_str()));
    EXPECT_FALSE(cache.DeleteEntry(page.c_str()));
    EntryArray<FileEntry> all;
    EnumerateUrlCache(cache, kAllPattern, all);
    EXPECT_EQ(all.Count(), 0u);
}

TEST(WinePatterns, TranslateTheSystemsPatternsOnly) {
    EXPECT_STREQ(Win32UrlCache::WinePattern("cookie:"), "Cookie:");
    EXPECT_STREQ(Win32UrlCache::WinePattern("visited:"), "Visited:");
    EXPECT_EQ(Win32UrlCache::WinePattern("*.*"), nullptr);
    EXPECT_STREQ(Win32UrlCache::WinePattern("Cookie:"), "Cookie:");
    EXPECT_STREQ(Win32UrlCache::WinePattern("http:"), "http:");
}

}  // namespace
}  // namespace tw
