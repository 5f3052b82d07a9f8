#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "core/index_files.h"
#include "tests/fakes/fake_file_system.h"

namespace tw {
namespace {

using fakes::FakeFileSystem;

const char kHistory[] = "C:\\Users\\u\\Local Settings\\History";

FakeFileSystem WithHistory() {
    FakeFileSystem fs;
    fs.AddFolder("C:\\Users\\u\\Local Settings", kAttributeDirectory);
    fs.AddFolder(kHistory, kAttributeDirectory);
    fs.specialFolders[kFolderHistory] = kHistory;
    return fs;
}

TEST(IndexFileChoice, HistoryOffersTheFirstFileAndItsSubFolders) {
    FakeFileSystem fs = WithHistory();
    const std::string h = kHistory;
    fs.AddFile(h + "\\index.dat");
    fs.AddFolder(h + "\\History.IE5", kAttributeDirectory);
    fs.AddFile(h + "\\History.IE5\\index.dat");
    fs.AddFolder(h + "\\MSHist012024", kAttributeDirectory);
    fs.AddFile(h + "\\MSHist012024\\index.dat");
    fs.AddFolder(h + "\\Empty", kAttributeDirectory);
    EXPECT_EQ(ChoiceCandidates(fs, EntryKind::History),
              (std::vector<std::string>{h + "\\index.dat", h + "\\History.IE5\\index.dat",
                                        h + "\\MSHist012024\\index.dat"}));
}

TEST(IndexFileChoice, WithoutAnIndexOfItsOwnTheParentFolderIsListed) {
    FakeFileSystem fs = WithHistory();
    fs.AddFolder("C:\\Users\\u\\Local Settings\\Temp", kAttributeDirectory);
    fs.AddFile("C:\\Users\\u\\Local Settings\\Temp\\index.dat");
    EXPECT_EQ(ChoiceCandidates(fs, EntryKind::History),
              std::vector<std::string>{"C:\\Users\\u\\Local Settings\\Temp\\index.dat"});
}

TEST(IndexFileChoice, CookiesAndCacheTakeTheirOwnNames) {
    FakeFileSystem fs;
    fs.specialFolders[kFolderCookies] = "C:\\Cookies";
    fs.specialFolders[kFolderInternetCache] = "C:\\TIF";
    fs.AddFolder("C:\\Cookies", kAttributeDirectory);
    fs.AddFolder("C:\\TIF", kAttributeDirectory);
    EXPECT_TRUE(ChoiceCandidates(fs, EntryKind::Cookie).empty());
    fs.AddFile("C:\\Cookies\\index.dat");
    fs.AddFolder("C:\\TIF\\Content.IE5", kAttributeDirectory);
    fs.AddFile("C:\\TIF\\Content.IE5\\index.dat");
    fs.AddFolder("C:\\TIF\\Content.IE4", kAttributeDirectory);
    fs.AddFile("C:\\TIF\\Content.IE4\\index.dat");
    EXPECT_EQ(ChoiceCandidates(fs, EntryKind::Cookie), std::vector<std::string>{"C:\\Cookies\\index.dat"});
    EXPECT_EQ(ChoiceCandidates(fs, EntryKind::Cache), std::vector<std::string>{"C:\\TIF\\Content.IE5\\index.dat"});
    FakeFileSystem none;
    EXPECT_TRUE(ChoiceCandidates(none, EntryKind::Cache).empty());
}

TEST(IndexFileChoice, BrowseFindsACookiesSubFolderAndAddsOnce) {
    FakeFileSystem fs;
    fs.AddFolder("D:\\Profile", kAttributeDirectory);
    fs.AddFolder("D:\\Profile\\Cookies", kAttributeDirectory);
    fs.AddFile("D:\\Profile\\Cookies\\index.dat");
    const std::string found = BrowseCandidate(fs, EntryKind::Cookie, "D:\\Profile");
    EXPECT_EQ(found, "D:\\Profile\\Cookies\\index.dat");
    std::vector<std::string> rows;
    EXPECT_TRUE(AddUniqueRow(rows, found));
    EXPECT_FALSE(AddUniqueRow(rows, BrowseCandidate(fs, EntryKind::Cookie, "D:\\Profile")));
    EXPECT_EQ(rows.size(), 1u);
    EXPECT_EQ(BrowseCandidate(fs, EntryKind::Cache, "D:\\Profile"), "") << "a folder does not open as a file";
    EXPECT_EQ(BrowseCandidate(fs, EntryKind::History, "D:\\Nowhere"), "");
}

TEST(IndexFileSearch, DepthFirstByPathContainingIndexDat) {
    FakeFileSystem fs;
    fs.AddFolder("E:\\T", kAttributeDirectory);
    fs.AddFile("E:\\T\\myindex.dat.bak");
    fs.AddFolder("E:\\T\\A", kAttributeDirectory);
    fs.AddFile("E:\\T\\A\\INDEX.DAT");
    fs.AddFile("E:\\T\\A\\other.txt");
    fs.AddFolder("E:\\T\\index.dat folder", kAttributeDirectory);
    fs.AddFile("E:\\T\\index.dat folder\\x.bin");
    std::atomic<bool> go{true};
    std::vector<std::string> found;
    SearchIndexFiles(fs, "E:\\T", go, [&](const std::string& p) { found.push_back(p); });
    EXPECT_EQ(found, (std::vector<std::string>{"E:\\T\\A\\INDEX.DAT", "E:\\T\\index.dat folder\\x.bin",
                                               "E:\\T\\myindex.dat.bak"}));
    EXPECT_EQ(fs.openSearches, 0);
}

TEST(IndexFileSearch, StopsWhenToldAndSkipsOverlongPaths) {
    FakeFileSystem fs;
    fs.AddFolder("E:\\T", kAttributeDirectory);
    fs.AddFile("E:\\T\\index.dat");
    std::string deep = "E:\\T\\" + std::string(240, 'd');
    fs.AddFolder(deep, kAttributeDirectory);
    fs.AddFile(deep + "\\index.dat");                  // 256 characters: fits
    fs.AddFile(deep + "\\" + std::string(20, 'x') + "index.dat");  // does not
    std::atomic<bool> go{true};
    std::vector<std::string> found;
    SearchIndexFiles(fs, "E:\\T", go, [&](const std::string& p) { found.push_back(p); });
    EXPECT_EQ(found.size(), 2u);
    for (const std::string& p : found)
        EXPECT_LT(p.size(), kMaxPath) << p;

    go = false;
    found.clear();
    SearchIndexFiles(fs, "E:\\T", go, [&](const std::string& p) { found.push_back(p); });
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(fs.openSearches, 0);
}

}  // namespace
}  // namespace tw
