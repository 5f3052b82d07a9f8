// The companion library run the way RunOnce runs it: the command text that
// the removal at restart writes, executed as a process.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "clean/index_removal.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"

namespace tw {
namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

DWORD RunCommand(std::string command) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return GetLastError();
    const UniqueKernelHandle thread(process.hThread), owned(process.hProcess);
    WaitForSingleObject(owned.Get(), 60000);
    DWORD code = 0;
    GetExitCodeProcess(owned.Get(), &code);
    return code;
}

// The command names the companion beside this module in short form, and
// only the first candidate that exists goes.
TEST(Sunderly, TheRunOnceCommandRemovesTheFirstIndexFileOfItsStore) {
    char history[MAX_PATH] = "";
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, history, CSIDL_HISTORY, TRUE));
    const std::string first = std::string(history) + "\\index.dat";
    const std::string laterFolder = std::string(history) + "\\History.IE3", later = laterFolder + "\\index.dat";
    ASSERT_FALSE(Exists(first)) << "the prefix already holds " << first;
    const bool madeLaterFolder = CreateDirectoryA(laterFolder.c_str(), nullptr) != FALSE;
    for (const std::string& path : {first, later}) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr) << path;
        std::fputs("Client UrlCache MMF Ver 5.2", f);
        std::fclose(f);
    }
    Win32Shell shell;
    Win32FileSystem files;
    const std::string command = RunOnceCommand(shell, files, "DeleteHistoryIndex");
    EXPECT_EQ(command.rfind("rundll32 ", 0), 0u) << command;
    EXPECT_EQ(command.find(' ', 9), std::string::npos) << command;
    EXPECT_NE(command.find("\\Sunderly.dll,DeleteHistoryIndex"), std::string::npos) << command;
    EXPECT_EQ(RunCommand(command), 0u) << command;
    EXPECT_FALSE(Exists(first)) << command;
    EXPECT_TRUE(Exists(later));
    DeleteFileA(later.c_str());
    if (madeLaterFolder)
        RemoveDirectoryA(laterFolder.c_str());
}

}  // namespace
}  // namespace tw
