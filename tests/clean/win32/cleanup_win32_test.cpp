// The live cache reader and the Cache and Cookies criteria against Wine's
// real URL cache in the test prefix, and the folder purge against real files.
#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "clean/cleanup.h"
#include "core/live_readers.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_history.h"
#include "platform/win32/win32_url_cache.h"

namespace tw {
namespace {

using Urls = std::set<std::string>;
namespace fs = std::filesystem;

const std::uint64_t kYear2000 = 125911584000000000ull, kYear2100 = 157469184000000000ull, kDay = 864000000000ull;

bool Put(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fputs("tidewell-bytes\n", f);
    return std::fclose(f) == 0;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Puts url into the cache, with a local file unless it is nowhere.
bool Commit(const std::string& url, DWORD type, std::uint64_t expire = 0, bool nowhere = false) {
    char file[MAX_PATH] = "";
    const FILETIME expires{DWORD(expire), DWORD(expire >> 32)};
    return (nowhere || (CreateUrlCacheEntryA(url.c_str(), 16, "dat", file, 0) && Put(file))) &&
           CommitUrlCacheEntryA(url.c_str(), nowhere ? nullptr : file, expires, FILETIME{}, type, nullptr, 0, nullptr,
                                nullptr);
}

// What is left in the cache, cookies included.
Urls Left() {
    Win32UrlCache cache;
    Urls urls;
    for (const char* pattern : {kContentPattern, kCookiePattern}) {
        EntryArray<FileEntry> entries;
        EnumerateUrlCache(cache, pattern, entries);
        for (const FileEntry& e : entries)
            urls.insert(e.url);
    }
    return urls;
}

// The long URL is longer than any before it, so that the reader must grow
// its buffer in the middle of a search.
const Urls kContent = {"http://tidewell.test/a.jpg",     "http://tidewell.test/b.JPG",
                       "http://tidewell.test/c.jpg?x=1", "http://tidewell.test/d.tmp",
                       "http://tidewell.test/k.html",    "http://tidewell.test/" + std::string(900, 'l') + ".html"};
// Without a local file an entry is not the reader's.
const char kNowhere[] = "http://tidewell.test/nowhere";
const char kOldCookie[] = "Cookie:tester@tidewell.test/";
const char kNewCookie[] = "Cookie:tester@ads.tidewell.test/";

struct Lists : ListRebuilder {
    void ShowStore(std::int32_t) override {}
    void RebuildList(std::int32_t store) override { rebuilt.push_back(store); }
    std::vector<std::int32_t> rebuilt;
};

struct Win32Stores {
    Win32UrlCache cache;
    Win32HistoryService history;
    Win32FileSystem files;
    Win32Clock clock;
    Cleaner cleaner{history, cache, files, clock};
};

struct Row {
    const char* name;
    std::int32_t store, kind;
    const char* text;
    bool aroundNow;  // BetweenDates: a day either side of now, else the year 2000
    Urls deleted;
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

class LiveCriterion : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override {
        TearDown();
        for (const std::string& url : kContent)
            ASSERT_TRUE(Commit(url, NORMAL_CACHE_ENTRY));
        ASSERT_TRUE(Commit(kOldCookie, COOKIE_CACHE_ENTRY, kYear2000));
        ASSERT_TRUE(Commit(kNewCookie, COOKIE_CACHE_ENTRY, kYear2100));
        ASSERT_TRUE(Commit(kNowhere, NORMAL_CACHE_ENTRY, 0, true));
        // The purge of All removes the cache's subfolders, and Wine, unlike
        // Windows, does not make them again.
        char base[MAX_PATH] = "";
        ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, base, CSIDL_INTERNET_CACHE, FALSE));
        std::error_code missing;
        for (const char* store : {"Content.IE6", "Content.IE5", "Content.IE4"})
            for (const fs::directory_entry& e : fs::directory_iterator(fs::path(base) / store, missing))
                if (e.is_directory())
                    subfolders_.push_back(e.path());
    }
    void TearDown() override {
        for (int round = 0; round < 2; ++round)
            for (const std::string& url : Left())
                DeleteUrlCacheEntryA(url.c_str());
        DeleteUrlCacheEntryA(kNowhere);
        for (const fs::path& folder : subfolders_)
            fs::create_directories(folder);
    }

    std::vector<fs::path> subfolders_;
};

TEST_P(LiveCriterion, DeletesExactlyItsEntries) {
    const Row& row = GetParam();
    Urls all = kContent;
    all.insert({kOldCookie, kNewCookie});
    ASSERT_EQ(Left(), all);
    Win32Stores stores;
    EntryArray<FileEntry> entries;
    ASSERT_TRUE(EnumerateUrlCache(stores.cache, kContentPattern, entries));
    std::string picture = "not read";
    for (const FileEntry& e : entries) {
        if (e.url == std::string("http://tidewell.test/a.jpg"))
            picture = std::to_string(e.size) + " " + fs::path(e.localFile).extension().string();
    }
    EXPECT_EQ(picture, "15 .dat");
    Lists lists;
    CleanupCriteria c;
    c.kind = row.kind;
    c.store = row.store;
    CopyField(c.text, row.text);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t mid = row.aroundNow ? (std::uint64_t(now.dwHighDateTime) << 32 | now.dwLowDateTime) : kYear2000;
    c.from = FileTime::FromValue(mid - kDay);
    c.to = FileTime::FromValue(mid + kDay);
    EXPECT_EQ(RunCleanup(c, stores.cleaner, lists), 0);
    EXPECT_EQ(lists.rebuilt, std::vector<std::int32_t>{row.store});
    for (const std::string& url : row.deleted)
        all.erase(url);
    EXPECT_EQ(Left(), all);
}

// The criteria themselves are the portable tests' work; here each reaches
// the real cache: a purge, a file kind, the URL's case, Wine's own times of
// access and its expiry dates.
const Row kRows[] = {
    {"CacheAll", kStoreCache, kCleanAll, "", false, kContent},
    {"CachePictures", kStoreCache, kCleanPictures, "", false,
     {"http://tidewell.test/a.jpg", "http://tidewell.test/d.tmp"}},
    {"CacheContainingText", kStoreCache, kCleanContainingText, "C.JPG", false, {"http://tidewell.test/c.jpg?x=1"}},
    {"CacheBetweenDatesAroundNow", kStoreCache, kCleanBetweenDates, "", true, kContent},
    {"CookiesExpired", kStoreCookies, kCleanExpiredCookies, "", false, {kOldCookie}},
    {"CookiesBetweenDatesAroundNow", kStoreCookies, kCleanBetweenDates, "", true, {kOldCookie, kNewCookie}},
};

INSTANTIATE_TEST_SUITE_P(Wine, LiveCriterion, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

// A folder tree of real files under the temporary folder.
class RealFolder : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(sub_ + "\\inner");
        for (const std::string& f : files_)
            ASSERT_TRUE(Put(f)) << f;
        SetFileAttributesA(files_[3].c_str(), FILE_ATTRIBUTE_READONLY);
    }
    void TearDown() override {
        SetFileAttributesA(files_[3].c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(root_);
    }

    const std::string root_ =
        (fs::temp_directory_path() / "tidewell-purge-").string() + std::to_string(GetCurrentProcessId());
    const std::string sub_ = root_ + "\\Content.IE5\\ABCD1234";
    const std::vector<std::string> files_ = {root_ + "\\above.txt", root_ + "\\Content.IE5\\beside.txt",
                                             sub_ + "\\a.htm", sub_ + "\\b.gif", sub_ + "\\inner\\deep.txt"};
};

TEST_F(RealFolder, PurgeDeletesTheFolderFilesOnly) {
    Win32Stores().cleaner.PurgeFolderFiles(sub_.c_str(), true);
    // The read-only file is cleared first; the folder stays for its subfolder.
    const bool left[] = {true, true, false, false, true};
    for (std::size_t i = 0; i < files_.size(); ++i)
        EXPECT_EQ(Exists(files_[i]), left[i]) << files_[i];
    EXPECT_TRUE(Exists(sub_));
}

}  // namespace
}  // namespace tw
