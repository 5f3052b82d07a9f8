// Shortcuts written through the shell object of the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "report/win32/internet_shortcut.h"

namespace tw {
namespace {

// Writing through the shell object, with and without an icon, is the
// favorites tests' work; here only its failure and the file's layout.
TEST(ShortcutWriter, AnUnwritablePathFails) {
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
