// The shell history cleaners on a registry key of the test prefix, and the
// restart-time removal through the system's own pending-operations value.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/index_removal.h"
#include "clean/shell_history.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "tests/platform/win32/private_user_key.h"

namespace tw {
namespace {

using Bytes = std::vector<unsigned char>;
using Names = std::vector<std::string>;

// The value names of a key below root, none when it is missing.
Names ValueNames(HKEY root, const char* key) {
    UniqueKey k;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, k.Receive()) != ERROR_SUCCESS)
        return {"(no key)"};
    Names names;
    char name[256];
    DWORD n = sizeof name;
    for (DWORD i = 0; RegEnumValueA(k.Get(), i, name, &n, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS; ++i) {
        names.push_back(name);
        n = sizeof name;
    }
    return names;
}

// Typed URLs go up to the first gap; the Run history loses every letter
// and its order; missing keys are not created. The test works below a key
// of its own, which the registry realisation takes as the current user's.
TEST(ShellHistoryKeys, ClearersRemoveTheirOwnValuesOnly) {
    const testing::PrivateUserKey root("clean");
    ASSERT_TRUE(root.Get());
    Win32Registry registry(root.Get());
    Win32Shell shell;  // never asked: the commands run without confirmation
    ClearTypedUrls(registry, shell, false);
    ClearRunHistory(registry, shell, false);
    EXPECT_EQ(ValueNames(root.Get(), kTypedUrlsKey), Names{"(no key)"});
    EXPECT_EQ(ValueNames(root.Get(), kRunMruKey), Names{"(no key)"});
    for (const char* name : {"url1", "url2", "url3", "url5"})
        SHSetValueA(root.Get(), kTypedUrlsKey, name, REG_SZ, "x", 2);
    for (const char* name : {"a", "c", "MRUList", "AB"})
        SHSetValueA(root.Get(), kRunMruKey, name, REG_SZ, "x", 2);
    ClearTypedUrls(registry, shell, false);
    EXPECT_EQ(ValueNames(root.Get(), kTypedUrlsKey), Names{"url5"});
    EXPECT_EQ(ValueNames(root.Get(), kRunMruKey).size(), 4u);
    ClearRunHistory(registry, shell, false);
    EXPECT_EQ(ValueNames(root.Get(), kRunMruKey), Names{"AB"});
}

// The pending-operations value of the prefix is saved and put back.
class PendingOperations : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  key_.Receive(), nullptr),
                  ERROR_SUCCESS);
        saved_ = Read(&hadValue_);
        RegDeleteValueA(key_.Get(), kPendingOperationsValue);
    }
    void TearDown() override {
        if (hadValue_)
            Write(saved_);
        else
            RegDeleteValueA(key_.Get(), kPendingOperationsValue);
    }
    Bytes Read(bool* present) {
        Bytes data(65536);
        DWORD size = DWORD(data.size());
        *present = RegQueryValueExA(key_.Get(), kPendingOperationsValue, nullptr, nullptr, data.data(), &size) ==
                   ERROR_SUCCESS;
        data.resize(*present ? size : 0);
        return data;
    }
    void Write(const Bytes& data) {
        RegSetValueExA(key_.Get(), kPendingOperationsValue, 0, REG_MULTI_SZ, data.data(), DWORD(data.size()));
    }

    UniqueKey key_;
    Bytes saved_;
    bool hadValue_ = false;
    Win32Registry registry;
    Win32FileSystem files;
    Win32Shell shell;
};

// The version of the prefix uses the pending operations. The scheduled
// deletion is read back as a mark and withdrawn as one of ours, both through
// the system's own multi-string conversion.
TEST_F(PendingOperations, BoxesAreMatchedAndOtherProgramsEntriesSurvive) {
    ASSERT_FALSE(UsesRunOnce(shell.MajorVersion()));
    const char other[] = "\\??\\C:\\windows\\temp\\other-setup.tmp\0\0\\??\\C:\\a.new\0!\\??\\C:\\a.old\0";
    const Bytes others(other, other + sizeof other);  // with the list's end
    Write(others);
    IndexMarks cookies;
    cookies.cookies = true;
    ApplyIndexMarks(cookies, registry, files, shell);
    const IndexMarks read = ReadIndexMarks(registry, files, shell);
    EXPECT_EQ(std::vector<bool>({read.history, read.cookies, read.cache}), std::vector<bool>({false, true, false}));
    bool present = false;
    EXPECT_GT(Read(&present).size(), others.size());
    ApplyIndexMarks(IndexMarks(), registry, files, shell);
    EXPECT_FALSE(ReadIndexMarks(registry, files, shell).cookies);
    const Bytes left = Read(&present);
    ASSERT_TRUE(present);
    const std::string expected(other, sizeof other - 1), got(left.begin(), left.end());
    EXPECT_EQ(got.substr(0, expected.size()), expected);
    EXPECT_LE(left.size(), others.size() + 1);
}

}  // namespace
}  // namespace tw
