// Add to Favorites against a real Favorites folder and the real registry of
// the test prefix, with messages recorded instead of shown.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/ansi_text.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "report/favorites.h"
#include "report/win32/internet_shortcut.h"

namespace tw {
namespace {

class QuietShell : public Win32Shell {
public:
    std::vector<std::string> messages;
    void ShowMessage(const char* text, MessageIcon) override { messages.push_back(text); }
};

class FavoritesWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string id = std::to_string(GetCurrentProcessId());
        keyPath_ = "Software\\TidewellTests\\favorites-" + id;
        SHDeleteKeyA(HKEY_CURRENT_USER, keyPath_.c_str());
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  root_.Receive(), nullptr),
                  ERROR_SUCCESS);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "tidewell-favorites-" + id;
        CreateDirectoryA(folder_.c_str(), nullptr);
        // Stored the way the shell stores it: unexpanded, without a final "\".
        SetEnvironmentVariableA("TIDEWELL_FAVORITES", folder_.c_str());
        UniqueKey folders;
        ASSERT_EQ(RegCreateKeyExA(root_.Get(), kUserShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  folders.Receive(), nullptr),
                  ERROR_SUCCESS);
        const char value[] = "%TIDEWELL_FAVORITES%";
        RegSetValueExA(folders.Get(), "Favorites", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
        registry_.reset(new Win32Registry(root_.Get()));
    }
    void TearDown() override {
        registry_.reset();
        root_.Reset();
        SHDeleteKeyA(HKEY_CURRENT_USER, keyPath_.c_str());
        for (const std::string& f : created_) DeleteFileA(f.c_str());
        RemoveDirectoryA((folder_ + "\\Sub").c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    FavoriteOutcome Add(const std::string& description, const std::string& url, const std::string& icon = "") {
        created_.push_back(folder_ + "\\" + description + ".url");
        return AddFavorite({description, url, icon}, {*registry_, files_, shell_, writer_, ActiveCodePage()});
    }
    std::string Value(const std::string& description, const char* key) {
        char value[512] = "";
        GetPrivateProfileStringA("InternetShortcut", key, "<absent>", value, sizeof value,
                                 (folder_ + "\\" + description + ".url").c_str());
        return value;
    }

    std::string keyPath_, folder_;
    UniqueKey root_;
    std::unique_ptr<Win32Registry> registry_;
    Win32FileSystem files_;
    QuietShell shell_;
    Win32InternetShortcutWriter writer_;
    std::vector<std::string> created_;
};

TEST_F(FavoritesWin32, ChecksInOrderThenWritesAndRefusesDuplicates) {
    EXPECT_EQ(Add("", "http://example.com/"), FavoriteOutcome::StayOpen);
    EXPECT_EQ(Add("Page", ""), FavoriteOutcome::StayOpen);
    EXPECT_EQ(Add("Example: site?", "http://example.com/", "C:\\icons\\e.ico"), FavoriteOutcome::Close);
    created_.push_back(folder_ + "\\Example_ site_.url");
    EXPECT_EQ(Value("Example_ site_", "URL"), "http://example.com/");
    EXPECT_EQ(Value("Example_ site_", "IconFile"), "C:\\icons\\e.ico");
    EXPECT_EQ(Value("Example_ site_", "IconIndex"), "0");
    // The file system finds the name in any case: so must the duplicate test.
    EXPECT_EQ(Add("EXAMPLE_ SITE_", "http://other.example/"), FavoriteOutcome::StayOpen);
    EXPECT_EQ(Value("Example_ site_", "URL"), "http://example.com/") << "the favorite was overwritten";
    CreateDirectoryA((folder_ + "\\Sub").c_str(), nullptr);
    EXPECT_EQ(Add("Sub", "http://sub.example/"), FavoriteOutcome::Close);
    EXPECT_EQ(Value("Sub", "URL"), "http://sub.example/");
    EXPECT_EQ(Value("Sub", "IconFile"), "<absent>");
    EXPECT_EQ(shell_.messages,
              (std::vector<std::string>{"Please enter a Description.", "Please enter valid URL.",
                                        "New entry has been successfully added.", "Please enter another Description.",
                                        "New entry has been successfully added."}));
}

TEST_F(FavoritesWin32, AMissingFolderKeyIsReported) {
    ASSERT_EQ(SHDeleteKeyA(root_.Get(), kUserShellFolders), ERROR_SUCCESS);
    EXPECT_EQ(Add("Page", "http://example.com/"), FavoriteOutcome::StayOpen);
    EXPECT_EQ(shell_.messages, std::vector<std::string>{"Favorites folder is not found."});
}

TEST_F(FavoritesWin32, AFolderThatCannotBeWrittenFailsTheWrite) {
    SetEnvironmentVariableA("TIDEWELL_FAVORITES", (folder_ + "\\missing\\deeper").c_str());
    EXPECT_EQ(Add("Page", "http://example.com/"), FavoriteOutcome::Close);
    EXPECT_EQ(shell_.messages, std::vector<std::string>{"Unable update Favorites."});
}

// The text written where the shell has no shortcut object to write it.
TEST(ShortcutFileText, IsTheStandardLayout) {
    EXPECT_EQ(InternetShortcutFileText("http://a/", ""), "[InternetShortcut]\r\nURL=http://a/\r\n");
    EXPECT_EQ(InternetShortcutFileText("http://a/", "C:\\i.ico"),
              "[InternetShortcut]\r\nURL=http://a/\r\nIconFile=C:\\i.ico\r\nIconIndex=0\r\n");
}

}  // namespace
}  // namespace tw
