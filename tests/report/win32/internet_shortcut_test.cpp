// Shortcuts written through the shell object of the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "report/win32/internet_shortcut.h"

namespace tw {
namespace {

std::string ReadAll(const std::string& path) {
    std::string out;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char b[4096];
        std::size_t n;
        while ((n = std::fread(b, 1, sizeof b, f)) > 0)
            out.append(b, n);
        std::fclose(f);
    }
    return out;
}

std::string ProfileValue(const std::string& path, const char* key) {
    char value[1024] = "";
    GetPrivateProfileStringA("InternetShortcut", key, "<absent>", value, sizeof value, path.c_str());
    return value;
}

class ShortcutWriter : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        path_ = std::string(temp) + "tidewell-shortcut-" + std::to_string(GetCurrentProcessId()) + ".url";
        DeleteFileA(path_.c_str());
    }
    void TearDown() override { DeleteFileA(path_.c_str()); }
    std::string path_;
};

TEST_F(ShortcutWriter, WritesTheUrlAndNoIconWhenNoneIsGiven) {
    Win32InternetShortcutWriter writer;
    ASSERT_TRUE(writer.Write(path_, "http://example.com/page?a=1", "", "Example"));
    EXPECT_EQ(ProfileValue(path_, "URL"), "http://example.com/page?a=1") << ReadAll(path_);
    EXPECT_EQ(ProfileValue(path_, "IconFile"), "<absent>") << ReadAll(path_);
}

TEST_F(ShortcutWriter, CarriesTheChosenIconWithIndexZero) {
    Win32InternetShortcutWriter writer;
    ASSERT_TRUE(writer.Write(path_, "http://example.com/", "C:\\icons\\site.ico", "Example"));
    EXPECT_EQ(ProfileValue(path_, "URL"), "http://example.com/") << ReadAll(path_);
    EXPECT_EQ(ProfileValue(path_, "IconFile"), "C:\\icons\\site.ico") << ReadAll(path_);
    EXPECT_EQ(ProfileValue(path_, "IconIndex"), "0") << ReadAll(path_);
}

TEST_F(ShortcutWriter, AnUnwritablePathFails) {
    Win32InternetShortcutWriter writer;
    EXPECT_FALSE(writer.Write("Z:\\no\\such\\folder\\x.url", "http://example.com/", "", "x"));
}

TEST(ShortcutFileText, IsTheStandardLayout) {
    EXPECT_EQ(InternetShortcutFileText("http://a/", ""), "[InternetShortcut]\r\nURL=http://a/\r\n");
    EXPECT_EQ(InternetShortcutFileText("http://a/", "C:\\i.ico"),
              "[InternetShortcut]\r\nURL=http://a/\r\nIconFile=C:\\i.ico\r\nIconIndex=0\r\n");
}

}  // namespace
}  // namespace tw
