#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win_errors.h"
#include "report/favorites.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"

namespace tw {
namespace {

// Shift-JIS lead bytes, whose trail bytes may look like "\" or "|".
class DoubleByteCodePage : public Latin1CodePage {
public:
    bool IsLeadByte(unsigned char c) const override { return (c >= 0x81 && c <= 0x9f) || (c >= 0xe0 && c <= 0xfc); }
};

// Each shortcut written, as "path|url|icon|description".
struct RecordingWriter : InternetShortcutWriter {
    bool succeed = true;
    std::vector<std::string> calls;
    bool Write(const std::string& path, const std::string& url, const std::string& icon,
               const std::string& description) override {
        calls.push_back(path + "|" + url + "|" + icon + "|" + description);
        return succeed;
    }
};

const char kFolder[] = "C:\\Users\\tester\\Favorites\\";

class AddFavoriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        registry.SetString(RegRoot::CurrentUser, kUserShellFolders, "Favorites", "%USERPROFILE%\\Favorites");
        shell.environment["USERPROFILE"] = "C:\\Users\\tester";
        files.AddFolder(kFolder);
    }
    // The outcome and the message shown.
    std::string Add(const std::string& description, const std::string& url = "http://x/", const std::string& icon = "") {
        shell.messages.clear();
        const bool open = AddFavorite({description, url, icon}, {registry, files, shell, writer, codePage}) ==
                          FavoriteOutcome::StayOpen;
        const auto& m = shell.messages;
        return std::string(open ? "open " : "closed ") + (m.size() == 1 ? m[0].first : "?") + " " +
               std::to_string(m.empty() ? -1 : int(m[0].second));
    }
    fakes::FakeRegistry registry;
    fakes::FakeFileSystem files;
    fakes::FakeShell shell;
    RecordingWriter writer;
    Latin1CodePage codePage;
};

TEST(FavoriteNames, CleanedAndComparedCharacterByCharacter) {
    Latin1CodePage latin1;
    DoubleByteCodePage sjis;
    EXPECT_EQ(CleanDescription("a:b\\c/d+e;f>g<h!i?j|k\"l'm*n.o", latin1), "a_b_c_d_e_f_g_h_i_j_k_l_m*n.o");
    EXPECT_EQ(CleanDescription("\x95\x5c:\x83\x7c", sjis), "\x95\x5c_\x83\x7c");  // trail bytes "\" and "|"
    EXPECT_EQ(CleanDescription("\x95\x5c:", latin1), "\x95_\x5f");
    EXPECT_EQ(CleanDescription("?\x95", sjis), "_\x95");  // a lead byte at the very end
    EXPECT_TRUE(SameFileName("ab\x82\xa0", "AB\x82\xa0", sjis));
    EXPECT_FALSE(SameFileName("\x82\x61", "\x82\x41", sjis));  // a trail byte is not the letter "a"
    EXPECT_FALSE(SameFileName("\x82\x61", "\x83\x61", sjis));
    EXPECT_TRUE(SameFileName("\x82\x61", "\x82\x41", latin1));
    EXPECT_FALSE(SameFileName("ab", "abc", latin1));
}

TEST_F(AddFavoriteTest, ChecksInOrderThenTheWrite) {
    const int exclamation = int(MessageIcon::Exclamation), stop = int(MessageIcon::Stop);
    EXPECT_EQ(Add("", ""), "open Please enter a Description. " + std::to_string(exclamation));
    EXPECT_EQ(Add("", "http://x/"), "open Please enter a Description. " + std::to_string(exclamation));
    EXPECT_EQ(Add("Name", ""), "open Please enter valid URL. " + std::to_string(exclamation));
    fakes::FakeRegistry good = registry;
    registry = fakes::FakeRegistry();
    EXPECT_EQ(Add("Name"), "open Favorites folder is not found. " + std::to_string(stop));
    registry.SetDword(RegRoot::CurrentUser, kUserShellFolders, "Other", 1);  // a key without the value
    EXPECT_EQ(Add("Name"), "open Favorites folder is not found. " + std::to_string(stop));
    EXPECT_TRUE(writer.calls.empty());
    registry = good;
    std::string readOnly = kUserShellFolders;  // reading the folder asks for no more than reading
    for (char& ch : readOnly) ch = char(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
    registry.readOnlyPaths.push_back(readOnly);
    EXPECT_EQ(Add("My: page?", "http://example.com/", "C:\\a.ico"),
              "closed New entry has been successfully added. " + std::to_string(int(MessageIcon::Information)));
    EXPECT_EQ(writer.calls.back(), std::string(kFolder) + "My_ page_.url|http://example.com/|C:\\a.ico|My_ page_");
    registry.SetString(RegRoot::CurrentUser, kUserShellFolders, "Favorites", "D:\\Fav\\");
    writer.succeed = false;
    EXPECT_EQ(Add("Other").substr(0, 32), "closed Unable update Favorites. ");
    EXPECT_EQ(writer.calls.back(), "D:\\Fav\\Other.url|http://x/||Other");
    shell.environment["USERPROFILE"] = "C:\\" + std::string(300, 'p');  // cut to the path limit
    registry = good;
    writer.succeed = true;
    Add("D");
    shell.environment["USERPROFILE"] = "C:\\" + std::string(247, 'p');  // 260 characters with "\\Favorites"
    Add("D");
    EXPECT_EQ(writer.calls[2], "C:\\" + std::string(256, 'p') + "\\D.url|http://x/||D");
    EXPECT_EQ(writer.calls[3], "C:\\" + std::string(247, 'p') + "\\Favorite\\D.url|http://x/||D");
}

// Names in any letter case block a description, since the file system would
// let the new shortcut replace the old one.
TEST_F(AddFavoriteTest, DuplicatesAreFoundAsTheFileSystemFindsThem) {
    for (const char* name : {"Same.url", "Upper.URL", "mixed.Url", "Plain", "Two.url.url", "Zed.url",
                             "Dot.txt", "Xcarl", "Abcdl", "Sub.urx", "Ur.xrl"})  // the last five near misses of ".url"
        files.AddFile(kFolder + std::string(name));
    files.AddFile(kFolder + std::string("Hidden.url"), kAttributeHidden);
    files.AddFile(kFolder + std::string("System.url"), kAttributeSystem);
    files.AddFolder(kFolder + std::string("Folder"));
    const struct { const char* description; bool refused; } cases[] = {
        {"Same", true}, {"SAME", true}, {"Upper", true}, {"Mixed", true}, {"Hidden", false}, {"System", false},
        {"Folder", false}, {"Plain", true}, {"Two", true}, {"Sam", false}, {"Same.url", false}, {".", false},
        {"Dot", false}, {"X", false}, {"zED", true}, {"A", false}, {"Sub", false}, {"Ur", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Add(c.description).rfind("open Please enter another Description.", 0) == 0, c.refused) << c.description;
    EXPECT_EQ(files.openSearches, 0);
    fakes::FakeFileSystem bare;  // a listing that does not start with "." must not hide a duplicate
    bare.listsDotEntries = false;
    bare.AddFile(kFolder + std::string("Only.url"));
    EXPECT_TRUE(FavoriteExists(bare, kFolder, "Only", codePage));
    EXPECT_FALSE(FavoriteExists(bare, "C:\\None\\", "Only", codePage));
}

}  // namespace
}  // namespace tw
