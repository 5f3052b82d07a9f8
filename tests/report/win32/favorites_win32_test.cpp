// Add to Favorites against a real Favorites folder and the real registry of
// the test prefix, with messages recorded instead of shown.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
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

struct QuietShell : Win32Shell {
    std::vector<std::string> messages;
    void ShowMessage(const char* text, MessageIcon) override { messages.push_back(text); }
};

class FavoritesWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        keyPath_ = "Software\\TidewellTests\\favorites-" + std::to_string(GetCurrentProcessId());
        // Stored the way the shell stores it: unexpanded, without a final "\".
        const char value[] = "%TIDEWELL_FAVORITES%";
        ASSERT_EQ(SHSetValueA(HKEY_CURRENT_USER, (keyPath_ + "\\" + kUserShellFolders).c_str(), "Favorites",
                              REG_EXPAND_SZ, value, sizeof value),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_ALL_ACCESS, root_.Receive()),
                  ERROR_SUCCESS);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "tidewell-favorites-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        SetEnvironmentVariableA("TIDEWELL_FAVORITES", folder_.c_str());
    }
    void TearDown() override {
        root_.Reset();
        SHDeleteKeyA(HKEY_CURRENT_USER, keyPath_.c_str());
        for (const char* f : {"\\Example_ site_.url", "\\Sub.url"}) DeleteFileA((folder_ + f).c_str());
        for (const std::string& d : {folder_ + "\\Sub", folder_}) RemoveDirectoryA(d.c_str());
    }
    FavoriteOutcome Add(const std::string& description, const std::string& url, const std::string& icon = "") {
        Win32Registry registry(root_.Get());
        return AddFavorite({description, url, icon}, {registry, files_, shell_, writer_, ActiveCodePage()});
    }
    // The shortcut's "key=value" lines, capitalised as Wine's object writes keys.
    std::string Shortcut(const std::string& description) {
        char section[1024] = "";
        const DWORD n = GetPrivateProfileSectionA("InternetShortcut", section, sizeof section,
                                                  (folder_ + "\\" + description + ".url").c_str());
        std::string out(section, n);
        std::replace(out.begin(), out.end(), '\0', '\n');
        CharUpperBuffA(&out[0], n);
        return out;
    }

    std::string keyPath_, folder_;
    UniqueKey root_;
    Win32FileSystem files_;
    QuietShell shell_;
    Win32InternetShortcutWriter writer_;
};

// The checks and their messages are the portable tests' work; here the
// real folder's names and the shortcut written.
TEST_F(FavoritesWin32, WritesAndRefusesDuplicates) {
    CreateDirectoryA((folder_ + "\\Sub").c_str(), nullptr);  // a folder of the name is no duplicate
    EXPECT_EQ(Add("Example: site?", "http://example.com/", "C:\\icons\\e.ico"), FavoriteOutcome::Close);
    // The file system finds names in any case: so must the duplicate test.
    EXPECT_EQ(Add("EXAMPLE_ SITE_", "http://other.example/"), FavoriteOutcome::StayOpen);
    EXPECT_EQ(Add("Sub", "http://sub.example/"), FavoriteOutcome::Close);
    EXPECT_EQ(Shortcut("Example_ site_"), "URL=HTTP://EXAMPLE.COM/\nICONFILE=C:\\ICONS\\E.ICO\nICONINDEX=0\n");
    EXPECT_EQ(Shortcut("Sub"), "URL=HTTP://SUB.EXAMPLE/\n");
    // The text written where the shell has no shortcut object to write it.
    EXPECT_EQ(InternetShortcutFileText("http://a/", ""), "[InternetShortcut]\r\nURL=http://a/\r\n");
    EXPECT_EQ(InternetShortcutFileText("http://a/", "C:\\i.ico"),
              "[InternetShortcut]\r\nURL=http://a/\r\nIconFile=C:\\i.ico\r\nIconIndex=0\r\n");
}

// A folder that cannot be written, and then a missing folder key, reported.
TEST_F(FavoritesWin32, AnUnwritableOrMissingFolderIsReported) {
    SetEnvironmentVariableA("TIDEWELL_FAVORITES", (folder_ + "\\missing\\deeper").c_str());
    EXPECT_EQ(Add("Page", "http://example.com/"), FavoriteOutcome::Close);
    ASSERT_EQ(SHDeleteKeyA(root_.Get(), kUserShellFolders), ERROR_SUCCESS);
    EXPECT_EQ(Add("Page", "http://example.com/"), FavoriteOutcome::StayOpen);
    EXPECT_EQ(shell_.messages,
              (std::vector<std::string>{"Unable update Favorites.", "Favorites folder is not found."}));
}

}  // namespace
}  // namespace tw
