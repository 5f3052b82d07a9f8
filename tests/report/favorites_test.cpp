#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "platform/win_errors.h"
#include "report/favorites.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"

namespace tw {
namespace {

// Shift-JIS style lead bytes, whose trail bytes may look like "\" or "|".
class DoubleByteCodePage : public Latin1CodePage {
public:
    bool IsLeadByte(unsigned char c) const override { return (c >= 0x81 && c <= 0x9f) || (c >= 0xe0 && c <= 0xfc); }
};

struct RecordingWriter : InternetShortcutWriter {
    bool succeed = true;
    struct Call {
        std::string path, url, icon, description;
    };
    std::vector<Call> calls;
    bool Write(const std::string& path, const std::string& url, const std::string& icon,
               const std::string& description) override {
        calls.push_back({path, url, icon, description});
        return succeed;
    }
};

class AddFavoriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        registry.SetString(RegRoot::CurrentUser, kUserShellFolders, "Favorites", "%USERPROFILE%\\Favorites");
        shell.environment["USERPROFILE"] = "C:\\Users\\tester";
        files.AddFolder("C:\\Users\\tester\\Favorites", kAttributeDirectory);
    }
    FavoriteOutcome Add(const std::string& description, const std::string& url, const std::string& icon = "") {
        return AddFavorite({description, url, icon}, {registry, files, shell, writer, codePage});
    }
    std::string LastMessage() const { return shell.messages.empty() ? "" : shell.messages.back().first; }

    fakes::FakeRegistry registry;
    fakes::FakeFileSystem files;
    fakes::FakeShell shell;
    RecordingWriter writer;
    Latin1CodePage codePage;
};

TEST(FavoriteDescriptions, TwelveCharactersBecomeUnderscores) {
    Latin1CodePage latin1;
    EXPECT_EQ(CleanDescription("a:b\\c/d+e;f>g<h!i?j|k\"l'm*n.o", latin1), "a_b_c_d_e_f_g_h_i_j_k_l_m*n.o");
    DoubleByteCodePage sjis;
    // 0x95 0x5C is one character whose trail byte is the code of "\".
    EXPECT_EQ(CleanDescription("\x95\x5c:\x83\x7c", sjis), "\x95\x5c_\x83\x7c");
    EXPECT_EQ(CleanDescription("\x95\x5c:", latin1), "\x95_\x5f");
    // A lead byte at the very end has no trail to step over.
    EXPECT_EQ(CleanDescription("?\x95", sjis), "_\x95");
}

TEST_F(AddFavoriteTest, InputChecksComeInOrderAndKeepTheDialogOpen) {
    struct Case {
        const char* description;
        const char* url;
        const char* message;
    };
    const Case cases[] = {
        {"", "", "Please enter a Description."},
        {"", "http://x/", "Please enter a Description."},
        {"Name", "", "Please enter valid URL."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Add(c.description, c.url), FavoriteOutcome::StayOpen);
        EXPECT_EQ(LastMessage(), c.message);
        EXPECT_EQ(shell.messages.back().second, MessageIcon::Exclamation);
    }
    EXPECT_TRUE(writer.calls.empty());
}

TEST_F(AddFavoriteTest, AMissingFolderKeyStopsWithTheStopIcon) {
    fakes::FakeRegistry empty;
    EXPECT_EQ(AddFavorite({"Name", "http://x/", ""}, {empty, files, shell, writer, codePage}),
              FavoriteOutcome::StayOpen);
    EXPECT_EQ(LastMessage(), "Favorites folder is not found.");
    EXPECT_EQ(shell.messages.back().second, MessageIcon::Stop);
    // A key without the value names no folder either.
    empty.SetDword(RegRoot::CurrentUser, kUserShellFolders, "Other", 1);
    EXPECT_EQ(AddFavorite({"Name", "http://x/", ""}, {empty, files, shell, writer, codePage}),
              FavoriteOutcome::StayOpen);
    EXPECT_EQ(LastMessage(), "Favorites folder is not found.");
    EXPECT_TRUE(writer.calls.empty());
}

TEST_F(AddFavoriteTest, WritesTheShortcutInTheExpandedFolder) {
    // Reading the folder asks for no more than reading.
    std::string readOnly = kUserShellFolders;
    for (char& ch : readOnly) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    registry.readOnlyPaths.push_back(readOnly);
    EXPECT_EQ(Add("My: page?", "http://example.com/", "C:\\icons\\a.ico"), FavoriteOutcome::Close);
    ASSERT_EQ(writer.calls.size(), 1u);
    EXPECT_EQ(writer.calls[0].path, "C:\\Users\\tester\\Favorites\\My_ page_.url");
    EXPECT_EQ(writer.calls[0].url, "http://example.com/");
    EXPECT_EQ(writer.calls[0].icon, "C:\\icons\\a.ico");
    EXPECT_EQ(writer.calls[0].description, "My_ page_");
    EXPECT_EQ(LastMessage(), "New entry has been successfully added.");
    EXPECT_EQ(shell.messages.back().second, MessageIcon::Information);

    registry.SetString(RegRoot::CurrentUser, kUserShellFolders, "Favorites", "D:\\Fav\\");
    writer.succeed = false;
    EXPECT_EQ(Add("Other", "http://example.com/"), FavoriteOutcome::Close);
    EXPECT_EQ(writer.calls.back().path, "D:\\Fav\\Other.url");
    EXPECT_EQ(LastMessage(), "Unable update Favorites.");
}

// Existing names in any letter case block a description, since the file
// system would let the new shortcut replace the old one.
TEST_F(AddFavoriteTest, AnOverlongFolderIsCutToThePathLimit) {
    shell.environment["USERPROFILE"] = "C:\\" + std::string(300, 'p');
    EXPECT_EQ(Add("D", "http://x/"), FavoriteOutcome::Close);
    shell.environment["USERPROFILE"] = "C:\\" + std::string(247, 'p');  // 260 characters with "\\Favorites"
    EXPECT_EQ(Add("D", "http://x/"), FavoriteOutcome::Close);
    ASSERT_EQ(writer.calls.size(), 2u);
    EXPECT_EQ(writer.calls[0].path, "C:\\" + std::string(256, 'p') + "\\D.url");
    EXPECT_EQ(writer.calls[1].path, "C:\\" + std::string(247, 'p') + "\\Favorite\\D.url");
}

TEST_F(AddFavoriteTest, DuplicatesAreFoundAsTheFileSystemFindsThem) {
    const std::string folder = "C:\\Users\\tester\\Favorites\\";
    files.AddFile(folder + "Same.url");
    files.AddFile(folder + "Upper.URL");
    files.AddFile(folder + "mixed.Url");
    files.AddFile(folder + "Hidden.url", kAttributeHidden);
    files.AddFile(folder + "System.url", kAttributeSystem);
    files.AddFolder(folder + "Folder", kAttributeDirectory);
    files.AddFile(folder + "Plain");
    files.AddFile(folder + "Two.url.url");
    files.AddFile(folder + "Zed.url");
    // Near misses of ".url", each one letter or dot off.
    for (const char* name : {"Dot.txt", "Xcarl", "Abcdl", "Sub.urx", "Ur.xrl"})
        files.AddFile(folder + name);
    struct Case {
        const char* description;
        bool refused;
    };
    const Case cases[] = {
        {"Same", true},   {"same", true},    {"SAME", true},   {"Upper", true}, {"Mixed", true},
        {"Hidden", false}, {"System", false}, {"Folder", false}, {"Plain", true}, {"Two", true},
        {"Sam", false},   {"Same.url", false}, {".", false}, {"Dot", false}, {"X", false}, {"zED", true},
        {"A", false}, {"Sub", false}, {"Ur", false},
    };
    for (const Case& c : cases) {
        writer.calls.clear();
        const FavoriteOutcome outcome = Add(c.description, "http://x/");
        EXPECT_EQ(outcome == FavoriteOutcome::StayOpen, c.refused) << c.description;
        EXPECT_EQ(writer.calls.empty(), c.refused) << c.description;
        if (c.refused) {
            EXPECT_EQ(LastMessage(), "Please enter another Description.");
        }
    }
    EXPECT_EQ(files.openSearches, 0);
}

TEST_F(AddFavoriteTest, TheFirstListedEntryIsExaminedToo) {
    // A listing that does not start with "." must not hide a duplicate.
    fakes::FakeFileSystem bare;
    files.AddFile("C:\\Users\\tester\\Favorites\\Only.url");
    EXPECT_TRUE(FavoriteExists(files, "C:\\Users\\tester\\Favorites\\", "Only", codePage));
    EXPECT_FALSE(FavoriteExists(bare, "C:\\None\\", "Only", codePage));
}

TEST(FavoriteNames, DoubleByteNamesCompareByteForByte) {
    DoubleByteCodePage sjis;
    EXPECT_TRUE(SameFileName("ab\x82\xa0", "AB\x82\xa0", sjis));
    // 0x82 0x61 is one character: its trail byte is not the letter "a".
    EXPECT_FALSE(SameFileName("\x82\x61", "\x82\x41", sjis));
    EXPECT_FALSE(SameFileName("\x82\x61", "\x83\x61", sjis));
    Latin1CodePage latin1;
    EXPECT_TRUE(SameFileName("\x82\x61", "\x82\x41", latin1));
    EXPECT_FALSE(SameFileName("ab", "abc", latin1));
}

}  // namespace
}  // namespace tw
