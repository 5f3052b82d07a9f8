// The shell history cleaners on a registry key of the test prefix, and the
// restart-time removal through the system's own pending-operations value.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "clean/index_removal.h"
#include "clean/shell_history.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"

namespace tw {
namespace {

using Bytes = std::vector<unsigned char>;

// Every test works below a key of its own, which the registry realisation
// takes as the current user's root.
class ShellHistoryKeys : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = "Software\\TidewellTests\\clean-" + std::to_string(GetCurrentProcessId()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_,
                                  nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(root_);
        SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    }
    void Put(const char* key, const char* name) {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(root_, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_SUCCESS);
        RegCloseKey(k);
    }
    std::vector<std::string> Names(const char* key) {
        std::vector<std::string> names;
        HKEY k = nullptr;
        if (RegOpenKeyExA(root_, key, 0, KEY_READ, &k) != ERROR_SUCCESS)
            return names;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD n = sizeof name;
            if (RegEnumValueA(k, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names.push_back(name);
        }
        RegCloseKey(k);
        return names;
    }
    bool HasKey(const char* key) {
        HKEY k = nullptr;
        if (RegOpenKeyExA(root_, key, 0, KEY_READ, &k) != ERROR_SUCCESS)
            return false;
        RegCloseKey(k);
        return true;
    }

    std::string path_;
    HKEY root_ = nullptr;
    Win32Shell shell;  // never asked: the commands run without confirmation
};

// Typed URLs go up to the first gap; the Run history loses every letter
// and its order; missing keys are not created.
TEST_F(ShellHistoryKeys, ClearersRemoveTheirOwnValuesOnly) {
    Win32Registry registry(root_);
    ClearTypedUrls(registry, shell, false);
    ClearRunHistory(registry, shell, false);
    EXPECT_FALSE(HasKey(kTypedUrlsKey));
    EXPECT_FALSE(HasKey(kRunMruKey));
    for (const char* name : {"url1", "url2", "url3", "url5"})
        Put(kTypedUrlsKey, name);
    for (const char* name : {"a", "c", "MRUList", "AB"})
        Put(kRunMruKey, name);
    ClearTypedUrls(registry, shell, false);
    EXPECT_EQ(Names(kTypedUrlsKey), std::vector<std::string>{"url5"});
    EXPECT_EQ(Names(kRunMruKey).size(), 4u);
    ClearRunHistory(registry, shell, false);
    EXPECT_EQ(Names(kRunMruKey), std::vector<std::string>{"AB"});
}

// The RunOnce command names the companion beside this module, in short form.
TEST(Win32ShellFacts, VersionAndRunOnceCommand) {
    Win32Shell shell;
    EXPECT_GE(shell.MajorVersion(), 5);
    const std::string module = shell.ModuleFileName();
    ASSERT_GT(module.size(), 4u);
    EXPECT_EQ(module.substr(module.size() - 4), ".exe");
    Win32FileSystem files;
    const std::string command = RunOnceCommand(shell, files, "DeleteCacheIndex");
    EXPECT_EQ(command.rfind("rundll32 ", 0), 0u);
    EXPECT_EQ(command.find(' ', 9), std::string::npos) << command;
}

// The pending-operations value of the prefix is saved and put back.
class PendingOperations : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key_, nullptr),
                  ERROR_SUCCESS);
        saved_ = Read(&hadValue_);
        RegDeleteValueA(key_, kPendingOperationsValue);
    }
    void TearDown() override {
        if (hadValue_)
            Write(saved_);
        else
            RegDeleteValueA(key_, kPendingOperationsValue);
        RegCloseKey(key_);
    }
    Bytes Read(bool* present) {
        DWORD size = 0, type = 0;
        *present = RegQueryValueExA(key_, kPendingOperationsValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
        Bytes data(size);
        if (*present && size)
            RegQueryValueExA(key_, kPendingOperationsValue, nullptr, &type, data.data(), &size);
        data.resize(size);
        return data;
    }
    void Write(const Bytes& data) {
        RegSetValueExA(key_, kPendingOperationsValue, 0, REG_MULTI_SZ, data.data(), DWORD(data.size()));
    }
    static std::string Lower(std::string s) {
        CharLowerA(&s[0]);
        return s;
    }

    HKEY key_ = nullptr;
    Bytes saved_;
    bool hadValue_ = false;
    Win32Registry registry;
    Win32FileSystem files;
    Win32Shell shell;
};

TEST_F(PendingOperations, ScheduledRemovalIsADeletionWithTheNtPrefix) {
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string path = std::string(temp) + "tidewell-pending.dat";
    ASSERT_TRUE(files.ScheduleRemovalAtRestart(path.c_str()));
    bool present = false;
    const Bytes data = Read(&present);
    ASSERT_TRUE(present);
    bool removed = false;
    const Bytes kept = WithoutDeletionsOf(data.data(), data.size(), {Lower(path)}, &removed);
    EXPECT_TRUE(removed);
    EXPECT_TRUE(std::all_of(kept.begin(), kept.end(), [](unsigned char b) { return b == 0; }));
}

TEST_F(PendingOperations, BoxesAreMatchedAndOtherProgramsEntriesSurvive) {
    ASSERT_FALSE(UsesRunOnce(shell.MajorVersion()));
    const char other[] = "\\??\\C:\\windows\\temp\\other-setup.tmp\0\0\\??\\C:\\a.new\0!\\??\\C:\\a.old\0";
    const Bytes others(other, other + sizeof other);  // with the list's end
    Write(others);

    IndexMarks cookies;
    cookies.cookies = true;
    ApplyIndexMarks(cookies, registry, files, shell);
    const IndexMarks read = ReadIndexMarks(registry, files, shell);
    EXPECT_TRUE(read.cookies);
    EXPECT_FALSE(read.history);
    EXPECT_FALSE(read.cache);
    bool present = false;
    EXPECT_GT(Read(&present).size(), others.size());

    ApplyIndexMarks(IndexMarks(), registry, files, shell);
    EXPECT_FALSE(ReadIndexMarks(registry, files, shell).cookies);
    const Bytes left = Read(&present);
    ASSERT_TRUE(present);
    // Through the system's own multi-string conversion: the same operations.
    const std::string expected(other, sizeof other - 1), got(left.begin(), left.end());
    EXPECT_EQ(got.substr(0, expected.size()), expected);
    EXPECT_LE(left.size(), others.size() + 1);
}

}  // namespace
}  // namespace tw
