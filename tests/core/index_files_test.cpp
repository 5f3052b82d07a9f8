#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "core/index_files.h"
#include "tests/fakes/fake_file_system.h"

namespace tw {
namespace {

using fakes::FakeFileSystem;
using Paths = std::vector<std::string>;

const std::string kHistory = "C:\\Users\\u\\Local Settings\\History";

// A path ending in a backslash is a folder.
void Add(FakeFileSystem& fs, const Paths& paths) {
    for (const std::string& p : paths) {
        if (p.back() == '\\')
            fs.AddFolder(p.substr(0, p.size() - 1));
        else
            fs.AddFile(p);
    }
}

Paths Search(FakeFileSystem& fs, bool go = true) {
    std::atomic<bool> going{go};
    Paths found;
    SearchIndexFiles(fs, "E:\\T", going, [&](const std::string& p) { found.push_back(p); });
    EXPECT_EQ(fs.openSearches, 0);
    return found;
}

TEST(IndexFileChoice, HistoryOffersItsFileAndSubFoldersOrElseTheParentFolders) {
    FakeFileSystem fs;
    fs.specialFolders[kFolderHistory] = kHistory;
    const std::string h = kHistory + "\\";
    Add(fs, {"C:\\Users\\u\\Local Settings\\", h, "C:\\Users\\u\\Local Settings\\Temp\\",
             "C:\\Users\\u\\Local Settings\\Temp\\index.dat"});
    EXPECT_EQ(ChoiceCandidates(fs, EntryKind::History), Paths{"C:\\Users\\u\\Local Settings\\Temp\\index.dat"});
    Add(fs, {h + "index.dat", h + "History.IE5\\", h + "History.IE5\\index.dat", h + "MSHist012024\\",
             h + "MSHist012024\\index.dat", h + "Empty\\"});
    EXPECT_EQ(ChoiceCandidates(fs, EntryKind::History),
              (Paths{h + "index.dat", h + "History.IE5\\index.dat", h + "MSHist012024\\index.dat"}));
}

TEST(IndexFileChoice, CookiesAndCacheTakeTheirOwnNames) {
    FakeFileSystem fs;
    fs.specialFolders[kFolderCookies] = "C:\\Cookies";
    fs.specialFolders[kFolderInternetCache] = "C:\\TIF";
    Add(fs, {"C:\\Cookies\\", "C:\\TIF\\"});
    EXPECT_TRUE(ChoiceCandidates(fs, EntryKind::Cookie).empty());
    Add(fs, {"C:\\Cookies\\index.dat", "C:\\TIF\\Content.IE5\\", "C:\\TIF\\Content.IE5\\index.dat",
             "C:\\TIF\\Content.IE4\\", "C:\\TIF\\Content.IE4\\index.dat"});
    EXPECT_EQ(ChoiceCandidates(fs, EntryKind::Cookie), Paths{"C:\\Cookies\\index.dat"});
    EXPECT_EQ(ChoiceCandidates(fs, EntryKind::Cache), Paths{"C:\\TIF\\Content.IE5\\index.dat"});
    FakeFileSystem none;
    EXPECT_TRUE(ChoiceCandidates(none, EntryKind::Cache).empty());
}

TEST(IndexFileChoice, BrowseFindsACookiesSubFolderAndAddsOnce) {
    FakeFileSystem fs;
    Add(fs, {"D:\\Profile\\", "D:\\Profile\\Cookies\\", "D:\\Profile\\Cookies\\index.dat"});
    const std::string found = BrowseCandidate(fs, EntryKind::Cookie, "D:\\Profile");
    EXPECT_EQ(found, "D:\\Profile\\Cookies\\index.dat");
    Paths rows;
    EXPECT_TRUE(AddUniqueRow(rows, found));
    EXPECT_FALSE(AddUniqueRow(rows, BrowseCandidate(fs, EntryKind::Cookie, "D:\\Profile")));
    EXPECT_EQ(rows.size(), 1u);
    EXPECT_EQ(BrowseCandidate(fs, EntryKind::Cache, "D:\\Profile"), "") << "a folder does not open as a file";
    EXPECT_EQ(BrowseCandidate(fs, EntryKind::History, "D:\\Nowhere"), "");
}

TEST(IndexFileSearch, DepthFirstByPathContainingIndexDatWithinThePathLimit) {
    FakeFileSystem fs;
    const std::string deep = "E:\\T\\" + std::string(240, 'd') + "\\";
    Add(fs, {"E:\\T\\", "E:\\T\\myindex.dat.bak", "E:\\T\\A\\", "E:\\T\\A\\INDEX.DAT", "E:\\T\\A\\other.txt",
             "E:\\T\\index.dat folder\\", "E:\\T\\index.dat folder\\x.bin", deep,
             deep + "index.dat",                               // 256 characters: fits
             deep + std::string(20, 'x') + "index.dat"});  // does not
    EXPECT_EQ(Search(fs), (Paths{"E:\\T\\A\\INDEX.DAT", deep + "index.dat", "E:\\T\\index.dat folder\\x.bin",
                                 "E:\\T\\myindex.dat.bak"}));
    EXPECT_TRUE(Search(fs, false).empty());
}

}  // namespace
}  // namespace tw
