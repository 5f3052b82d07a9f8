#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/cleanup.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_history.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_url_cache.h"

namespace tw {
namespace {

using Log = std::vector<std::string>;

class Purge : public ::testing::Test {
protected:
    Purge() {
        files.specialFolders[kFolderHistory] = "C:\\P\\History";
        files.specialFolders[kFolderInternetCache] = "C:\\P\\TIF";
        files.specialFolders[kFolderCookies] = "C:\\P\\Cookies";
        // Beside and above every store folder.
        for (const char* path : {"C:\\P\\above.txt", "C:\\P\\History\\desktop.ini", "C:\\P\\TIF\\desktop.ini",
                                 "C:\\above.txt", "C:\\P\\History\\History.IE6.old\\MSHist01\\w.txt"})
            files.AddFile(path);
    }

    bool AllWithin(const std::string& folder) const {
        for (const std::string& path : files.Touched())
            if (path.compare(0, folder.size() + 1, folder + "\\") != 0)
                return false;
        return true;
    }
    void ExpectBesideAndAboveStay() const {
        for (const char* path : {"C:\\P\\above.txt", "C:\\P\\History\\desktop.ini", "C:\\P\\TIF\\desktop.ini",
                                 "C:\\above.txt", "C:\\P\\History\\History.IE6.old\\MSHist01\\w.txt"})
            EXPECT_TRUE(files.Exists(path)) << path;
    }

    fakes::FakeFileSystem files;
    fakes::FakeHistory history;
    fakes::FakeUrlCache cache;
    fakes::FakeClock clock;
    Cleaner cleaner{history, cache, files, clock};
};

TEST_F(Purge, HistoryPurgesTheSubfoldersOfTheNewestStoreOnly) {
    const std::string store = "C:\\P\\History\\History.IE6";
    files.AddFile(store + "\\index.dat").inUse = true;
    files.AddFile(store + "\\loose.txt");
    files.AddFile(store + "\\MSHist01\\a.txt", kAttributeReadOnly);
    files.AddFile(store + "\\MSHist01\\b.txt").foreignOwner = true;
    files.AddFile(store + "\\MSHist01\\index.dat");
    files.AddFile(store + "\\MSHist02\\deep\\x.txt");
    files.AddFile(store + "\\MSHist02\\y.txt");
    files.AddFile("C:\\P\\History\\History.IE5\\MSHist09\\z.txt");

    cleaner.PurgeHistoryFolders();

    const std::string h1 = store + "\\MSHist01\\", h2 = store + "\\MSHist02\\";
    EXPECT_EQ(files.log, (Log{
                             "attrib " + h1 + "a.txt 0", "remove " + h1 + "a.txt",
                             // Only a refused deletion changes the file's owner.
                             "remove " + h1 + "b.txt", "own " + h1 + "b.txt", "remove " + h1 + "b.txt",
                             "remove " + h1 + "index.dat", "rmdir " + store + "\\MSHist01",
                             // A subfolder is tried as a file and keeps its security.
                             "remove " + h2 + "deep", "remove " + h2 + "y.txt", "rmdir " + store + "\\MSHist02",
                         }));
    EXPECT_FALSE(files.Exists(store + "\\MSHist01"));
    // A purged subfolder that holds a subfolder stays, with its files gone.
    EXPECT_TRUE(files.Exists(h2 + "deep\\x.txt"));
    EXPECT_FALSE(files.Exists(h2 + "y.txt"));
    EXPECT_TRUE(files.Exists(store + "\\index.dat"));
    EXPECT_TRUE(files.Exists(store + "\\loose.txt"));
    EXPECT_TRUE(files.Exists("C:\\P\\History\\History.IE5\\MSHist09\\z.txt"));
    EXPECT_TRUE(AllWithin(store));
    ExpectBesideAndAboveStay();
    EXPECT_EQ(files.openSearches, 0);
}

TEST_F(Purge, CacheFallsBackToAnOlderStoreFolder) {
    files.AddFile("C:\\P\\TIF\\Content.IE5\\index.dat");
    files.AddFile("C:\\P\\TIF\\Content.IE5\\ABCD1234\\pic[1].jpg");
    files.AddFile("C:\\P\\TIF\\Content.IE4\\OLD\\x.htm");
    cleaner.PurgeCacheFolders();
    EXPECT_EQ(files.log, (Log{"remove C:\\P\\TIF\\Content.IE5\\ABCD1234\\pic[1].jpg",
                              "rmdir C:\\P\\TIF\\Content.IE5\\ABCD1234"}));
    EXPECT_TRUE(files.Exists("C:\\P\\TIF\\Content.IE4\\OLD\\x.htm"));
    ExpectBesideAndAboveStay();
}

TEST_F(Purge, SubfoldersAreFoundWithoutDotEntriesAndReadOnlyOnesAreCleared) {
    files.listsDotEntries = false;
    files.AddFile("C:\\P\\TIF\\Content.IE5\\AAAA\\a.htm");
    files.AddFolder("C:\\P\\TIF\\Content.IE5\\RO", kAttributeReadOnly);
    files.AddFile("C:\\P\\TIF\\Content.IE5\\RO\\f.gif");
    cleaner.PurgeCacheFolders();
    EXPECT_FALSE(files.Exists("C:\\P\\TIF\\Content.IE5\\AAAA"));
    EXPECT_FALSE(files.Exists("C:\\P\\TIF\\Content.IE5\\RO"));
    EXPECT_TRUE(AllWithin("C:\\P\\TIF\\Content.IE5"));
}

TEST_F(Purge, CookiesPurgeTheirFolderButKeepIt) {
    files.AddFolder("C:\\P\\Cookies", kAttributeReadOnly | kAttributeHidden);
    files.AddFile("C:\\P\\Cookies\\index.dat").inUse = true;
    files.AddFile("C:\\P\\Cookies\\bob@example[1].txt");
    files.AddFile("C:\\P\\Cookies\\Low\\bob@low[1].txt");
    cleaner.PurgeCookieFolder();
    EXPECT_EQ(files.log, (Log{"remove C:\\P\\Cookies\\bob@example[1].txt",
                              "remove C:\\P\\Cookies\\index.dat", "own C:\\P\\Cookies\\index.dat",
                              "remove C:\\P\\Cookies\\index.dat", "remove C:\\P\\Cookies\\Low",
                              "attrib C:\\P\\Cookies " + std::to_string(kAttributeHidden | kAttributeDirectory)}));
    EXPECT_TRUE(files.Exists("C:\\P\\Cookies\\Low\\bob@low[1].txt"));
    EXPECT_TRUE(files.Exists("C:\\P\\Cookies"));
    ExpectBesideAndAboveStay();
    files.log.clear();  // without store folders nothing is touched
    cleaner.PurgeHistoryFolders();  // History.IE6.old is no store
    cleaner.PurgeCacheFolders();
    cleaner.PurgeFolderFiles("C:\\P\\Missing", true);
    files.specialFolders.clear();
    files.AddFile("C:\\P\\History\\History.IE6\\MSHist01\\a.txt");
    cleaner.PurgeHistoryFolders();
    cleaner.PurgeCookieFolder();
    cleaner.PurgeCacheFolders();
    EXPECT_TRUE(files.log.empty());
}

TEST_F(Purge, AllOnAStoreDeletesItsEntriesThenPurges) {
    std::vector<std::string> journal;
    cache.journal = &journal;
    cache.Add("http://a.com/x.gif");
    files.AddFile("C:\\P\\TIF\\Content.IE5\\AAAA\\x.gif");
    struct Lists : ListRebuilder {
        void ShowStore(std::int32_t) override {}
        void RebuildList(std::int32_t) override {}
    } lists;
    CleanupCriteria all;
    all.kind = kCleanAll;
    all.store = kStoreCache;
    RunCleanup(all, cleaner, lists);
    EXPECT_EQ(journal, (std::vector<std::string>{"cache http://a.com/x.gif"}));
    EXPECT_FALSE(files.Exists("C:\\P\\TIF\\Content.IE5\\AAAA"));
}

}  // namespace
}  // namespace tw
