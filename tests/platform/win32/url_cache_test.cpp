// The live reader against Wine's real WinINet cache in the test prefix.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "core/live_readers.h"
#include "platform/win32/win32_url_cache.h"

namespace tw {
namespace {

// Puts url into the cache with a local file of the given size (0: none).
bool Commit(const std::string& url, std::size_t bytes, DWORD type = NORMAL_CACHE_ENTRY) {
    char file[MAX_PATH] = "";
    if (bytes && !CreateUrlCacheEntryA(url.c_str(), DWORD(bytes), "htm", file, 0))
        return false;
    if (bytes && !(std::ofstream(file, std::ios::binary) << std::string(bytes, 'x')))
        return false;
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

TEST(LiveCache, ReadsCommittedEntriesWithALocalFileAndForgetsDeletedOnes) {
    EmptyCache();
    Win32UrlCache cache;
    EntryArray<FileEntry> none;
    EXPECT_TRUE(EnumerateUrlCache(cache, kAllPattern, none));
    EXPECT_TRUE(EnumerateUrlCache(cache, kCookiePattern, none));
    EXPECT_EQ(none.Count(), 0u);

    const std::string page = "http://example.com/tidewell/page.htm";
    // Longer than any earlier entry, so the reader must grow its buffer
    // in the middle of the search.
    const std::string longUrl = "http://example.com/tidewell/" + std::string(900, 'l') + ".gif";
    const std::string cookie = "Cookie:tester@example.com/";
    ASSERT_TRUE(Commit(page, 120));
    ASSERT_TRUE(Commit("http://example.com/tidewell/no-file", 0));
    ASSERT_TRUE(Commit(longUrl, 30));
    ASSERT_TRUE(Commit(cookie, 40, COOKIE_CACHE_ENTRY));
    EntryArray<FileEntry> all;
    ASSERT_TRUE(EnumerateUrlCache(cache, kAllPattern, all));
    EXPECT_EQ(Urls(all), (std::set<std::string>{page, longUrl, cookie}));
    for (std::size_t i = 0; i < all.Count(); ++i)
        EXPECT_TRUE(page != all[i].url || (all[i].size == 120 && strstr(all[i].localFile, "page"))) << all[i].localFile;
    EntryArray<FileEntry> cookies;
    ASSERT_TRUE(EnumerateUrlCache(cache, kCookiePattern, cookies));
    EXPECT_EQ(Urls(cookies), std::set<std::string>{cookie});

    EXPECT_TRUE(cache.DeleteEntry(page.c_str()));
    EXPECT_FALSE(cache.DeleteEntry(page.c_str()));
    EntryArray<FileEntry> left;
    EnumerateUrlCache(cache, kAllPattern, left);
    EXPECT_EQ(Urls(left), (std::set<std::string>{longUrl, cookie}));
    EmptyCache();
}

}  // namespace
}  // namespace tw
