#include <gtest/gtest.h>

#include <string>

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

const std::string kFolder = "C:\\Users\\tester\\Favorites\\";

// The test stands in for the shell's shortcut writer, noting each shortcut as " > path|url|icon|description".
class AddFavoriteTest : public ::testing::Test, public InternetShortcutWriter {
protected:
    void SetUp() override {
        registry.SetString(RegRoot::CurrentUser, kUserShellFolders, "Favorites", "%USERPROFILE%\\Favorites");
        shell.environment["USERPROFILE"] = "C:\\Users\\tester";
        files.AddFolder(kFolder);
    }
    // Whether the dialog stays open, the messages shown with their icons, and the shortcuts written.
    std::string Add(const std::string& text, const std::string& url = "http://x/", const char* icon = "") {
        static const char* const kIcons[] = {"question ", "exclamation ", "stop ", "information "};
        shell.messages.clear();
        written.clear();
        const FavoriteServices services = {registry, files, shell, *this, codePage};
        std::string out = AddFavorite({text, url, icon}, services) == FavoriteOutcome::StayOpen ? "open" : "closed";
        for (const auto& [text, shown] : shell.messages) out += std::string(" ") + kIcons[int(shown)] + text;
        return out + written;
    }
    bool Write(const std::string& path, const std::string& url, const std::string& icon,
               const std::string& description) override {
        written += " > " + path + "|" + url + "|" + icon + "|" + description;
        return writes;
    }
    fakes::FakeRegistry registry;
    fakes::FakeFileSystem files;
    fakes::FakeShell shell;
    std::string written;
    bool writes = true;
    Latin1CodePage codePage;
};

TEST(FavoriteNames, CleanedAndComparedCharacterByCharacter) {
    const Latin1CodePage latin1;
    const DoubleByteCodePage sjis;
    EXPECT_EQ(CleanDescription("a:b\\c/d+e;f>g<h!i?j|k\"l'm*n.o\x95\x5c", latin1),
              "a_b_c_d_e_f_g_h_i_j_k_l_m*n.o\x95_");  // without double bytes, "\x5c" is a backslash
    EXPECT_EQ(CleanDescription("\x95\x5c:\x83\x7c", sjis), "\x95\x5c_\x83\x7c");  // trail bytes "\" and "|"
    EXPECT_EQ(CleanDescription("?\x95", sjis), "_\x95");  // a lead byte at the very end
    // A trail byte is not the letter "a"; the lead bytes must match too.
    for (auto [a, b, cp, same] : {std::tuple<const char*, const char*, const AnsiCodePage*, bool>{
                                      "ab\x82\xa0", "AB\x82\xa0", &sjis, true},
                                  {"\x82\x61", "\x82\x41", &sjis, false}, {"\x82\x61", "\x83\x61", &sjis, false},
                                  {"\x82\x61", "\x82\x41", &latin1, true}, {"ab", "abc", &latin1, false}})
        EXPECT_EQ(SameFileName(a, b, *cp), same) << a << " " << b;
}

TEST_F(AddFavoriteTest, ChecksInOrderThenTheWrite) {
    const std::string added = "closed information New entry has been successfully added. > ";
    EXPECT_EQ(Add("", ""), "open exclamation Please enter a Description.");
    EXPECT_EQ(Add("", "http://x/"), "open exclamation Please enter a Description.");
    EXPECT_EQ(Add("Name", ""), "open exclamation Please enter valid URL.");
    const fakes::FakeRegistry good = registry;
    registry = fakes::FakeRegistry();
    EXPECT_EQ(Add("Name"), "open stop Favorites folder is not found.");
    registry.SetDword(RegRoot::CurrentUser, kUserShellFolders, "Other", 1);  // a key without the value
    EXPECT_EQ(Add("Name"), "open stop Favorites folder is not found.");
    registry = good;
    std::string readOnly = kUserShellFolders;  // reading the folder asks for no more than reading
    for (char& ch : readOnly) ch = char(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
    registry.readOnlyPaths.push_back(readOnly);
    EXPECT_EQ(Add("My: page?", "http://example.com/", "C:\\a.ico"),
              added + kFolder + "My_ page_.url|http://example.com/|C:\\a.ico|My_ page_");
    registry.SetString(RegRoot::CurrentUser, kUserShellFolders, "Favorites", "D:\\Fav\\");
    writes = false;
    EXPECT_EQ(Add("Other"), "closed exclamation Unable update Favorites. > D:\\Fav\\Other.url|http://x/||Other");
    registry = good;
    writes = true;
    // A long name is shortened until the whole path fits with its ".url";
    // a folder with no room left for one character writes nothing.
    shell.environment["USERPROFILE"] = "C:\\" + std::string(236, 'p');  // 250 characters with "\\Favorites\\"
    EXPECT_EQ(Add("Description"), added + "C:\\" + std::string(236, 'p') + "\\Favorites\\Descr.url|http://x/||Description");
    files.AddFile("C:\\" + std::string(236, 'p') + "\\Favorites\\descr.url");
    EXPECT_EQ(Add("Describe"), "open exclamation Please enter another Description.") << "as shortened";
    shell.environment["USERPROFILE"] = "C:\\" + std::string(300, 'p');  // cut to the path limit
    EXPECT_EQ(Add("D"), "closed exclamation Unable update Favorites.");
}

TEST(FavoriteNames, FitTheirFolderAtACharacter) {
    const DoubleByteCodePage sjis;
    const std::string folder = std::string(249, 'f') + "\\";  // five bytes left for the name
    for (auto [name, fitted] : {std::pair<std::string, std::string>{"abcdefg", "abcde"}, {"abc", "abc"}, {"", ""},
                                {"abcd\x82\xa0", "abcd"}, {"abc\x82\xa0z", "abc\x82\xa0"}, {"abcde\x82", "abcde"}})
        EXPECT_EQ(FitFavoriteName(folder, name, sjis), fitted) << name;
    EXPECT_EQ(FitFavoriteName(folder + "ffff", "abc", sjis), "a");
    EXPECT_EQ(FitFavoriteName(folder + "fffff", "abc", sjis), "");
}

// Names in any letter case block a description: the new shortcut would replace the old one.
TEST_F(AddFavoriteTest, DuplicatesAreFoundAsTheFileSystemFindsThem) {
    for (const char* name : {"Same.url", "Upper.URL", "mixed.Url", "Plain", "Two.url.url", "Zed.url",
                             "Dot.txt", "Xcarl", "Abcdl", "Sub.urx", "Ur.xrl"})  // the last five near misses of ".url"
        files.AddFile(kFolder + name);
    files.AddFile(kFolder + "Hidden.url", kAttributeHidden);
    files.AddFile(kFolder + "System.url", kAttributeSystem);
    files.AddFolder(kFolder + "Folder");
    for (const char* refused : {"Same", "SAME", "Upper", "Mixed", "Plain", "Two", "zED"})
        EXPECT_EQ(Add(refused), "open exclamation Please enter another Description.") << refused;
    for (const char* taken : {"Hidden", "System", "Folder", "Sam", "Same.url", ".", "Dot", "X", "A", "Sub", "Ur"})
        EXPECT_EQ(Add(taken).substr(0, 18), "closed information") << taken;
    EXPECT_EQ(files.openSearches, 0);
    fakes::FakeFileSystem bare;  // a listing that does not start with "." must not hide a duplicate
    bare.listsDotEntries = false;
    bare.AddFile(kFolder + "Only.url");
    EXPECT_TRUE(FavoriteExists(bare, kFolder, "Only", codePage));
    EXPECT_FALSE(FavoriteExists(bare, "C:\\None\\", "Only", codePage));
}

}  // namespace
}  // namespace tw
