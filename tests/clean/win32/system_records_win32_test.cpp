// The restart-time removal through the system's own pending-operations value.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/index_removal.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_process_rights.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"

namespace tw {
namespace {

using Bytes = std::vector<unsigned char>;

bool PrivilegeEnabled(const char* name) {
    UniqueKernelHandle token;
    LUID luid{};
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()) ||
        !LookupPrivilegeValueA(nullptr, name, &luid))
        return false;
    GetTokenInformation(token.Get(), TokenPrivileges, nullptr, 0, &size);
    std::vector<DWORD> buffer(size / sizeof(DWORD) + 1);
    if (!GetTokenInformation(token.Get(), TokenPrivileges, buffer.data(), size, &size))
        return false;
    const auto* held = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < held->PrivilegeCount; ++i) {
        const LUID_AND_ATTRIBUTES& p = held->Privileges[i];
        if (p.Luid.LowPart == luid.LowPart && p.Luid.HighPart == luid.HighPart)
            return (p.Attributes & SE_PRIVILEGE_ENABLED) != 0;
    }
    return false;
}

// The token is the browser's own: a take-over of a file, whether it
// succeeds or fails, puts back the one privilege it enabled right after
// its one change (left on, it would let any code in the browser take any
// file), and leaves those the browser enabled alone.
TEST(BrowserToken, OwnershipPutsBackOnlyItsOwnPrivilegeRightAfter) {
    char folder[MAX_PATH] = "";
    ASSERT_NE(GetTempPathA(MAX_PATH, folder), 0u);
    const std::string owned = std::string(folder) + "tw-owned.txt";
    ASSERT_TRUE(UniqueFile(CreateFileA(owned.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));
    struct Case {
        std::string path;
        bool taken;
    } cases[] = {{"C:\\tw no such folder\\file", false}, {owned, true}};
    UniqueKernelHandle token;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_ADJUST_PRIVILEGES, token.Receive()));
    for (const Case& c : cases) {
        TOKEN_PRIVILEGES before{};
        ASSERT_TRUE(EnablePrivilege(token.Get(), "SeShutdownPrivilege", &before));
        ASSERT_FALSE(PrivilegeEnabled("SeTakeOwnershipPrivilege"));
        EXPECT_EQ(TakeOwnership(c.path.c_str()), c.taken) << c.path;
        EXPECT_TRUE(PrivilegeEnabled("SeShutdownPrivilege")) << c.path;
        EXPECT_FALSE(PrivilegeEnabled("SeTakeOwnershipPrivilege")) << c.path;
        RestorePrivilege(token.Get(), before);
        EXPECT_FALSE(PrivilegeEnabled("SeShutdownPrivilege"));
    }
    DeleteFileA(owned.c_str());
}

// The pending-operations values of the prefix are saved and put back.
class PendingOperations : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  key_.Receive(), nullptr),
                  ERROR_SUCCESS);
        for (int i = 0; i < 2; ++i) {
            saved_[i] = Read(&hadValue_[i], kValues[i]);
            RegDeleteValueA(key_.Get(), kValues[i]);
        }
    }
    void TearDown() override {
        for (int i = 0; i < 2; ++i) {
            if (hadValue_[i])
                Write(saved_[i], kValues[i]);
            else
                RegDeleteValueA(key_.Get(), kValues[i]);
        }
    }
    Bytes Read(bool* present, const char* name = kPendingOperationsValue) {
        Bytes data(65536);
        DWORD size = DWORD(data.size());
        *present = RegQueryValueExA(key_.Get(), name, nullptr, nullptr, data.data(), &size) == ERROR_SUCCESS;
        data.resize(*present ? size : 0);
        return data;
    }
    void Write(const Bytes& data, const char* name = kPendingOperationsValue) {
        RegSetValueExA(key_.Get(), name, 0, REG_MULTI_SZ, data.data(), DWORD(data.size()));
    }

    const char* const kValues[2] = {kPendingOperationsValue, kPendingOperations2Value};
    UniqueKey key_;
    Bytes saved_[2];
    bool hadValue_[2] = {false, false};
    Win32Registry registry;
    Win32FileSystem files;
    Win32Shell shell;
    Win32ProcessRights rights;
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
    ApplyIndexMarks(cookies, registry, files, shell, rights);
    const IndexMarks read = ReadIndexMarks(registry, files, shell);
    EXPECT_EQ(std::vector<bool>({read.history, read.cookies, read.cache}), std::vector<bool>({false, true, false}));
    bool present = false;
    EXPECT_GT(Read(&present).size(), others.size());
    ApplyIndexMarks(IndexMarks(), registry, files, shell, rights);
    EXPECT_FALSE(ReadIndexMarks(registry, files, shell).cookies);
    const Bytes left = Read(&present);
    ASSERT_TRUE(present);
    const std::string expected(other, sizeof other - 1), got(left.begin(), left.end());
    EXPECT_EQ(got.substr(0, expected.size()), expected);
    EXPECT_LE(left.size(), others.size() + 1);
}

// Another program's names in letters the code page cannot hold (Greek,
// Japanese) come back bit for bit, and so does a name that only looks like
// ours (a Greek "o" in it), while ours goes.
TEST_F(PendingOperations, OtherProgramsNamesComeBackBitForBit) {
    const std::vector<std::string> candidates = IndexCandidates(files, 2);
    ASSERT_FALSE(candidates.empty());
    std::wstring ours = L"\\??\\";
    for (char c : candidates.front())
        ours.push_back(wchar_t(static_cast<unsigned char>(c)));
    std::wstring lookAlike = ours;
    ASSERT_NE(lookAlike.rfind(L'o'), std::wstring::npos);
    lookAlike[lookAlike.rfind(L'o')] = L'\x03BF';
    const std::wstring others = std::wstring(L"\\??\\C:\\\x03A4\x03B5\x03BC\x03C0\\\x65B0\x3057\x3044.tmp") + L'\0' +
                                L'\0' + lookAlike + L'\0' + L'\0';
    const std::wstring before = others + ours + L'\0' + L'\0' + L'\0';
    ASSERT_EQ(RegSetValueExW(key_.Get(), L"PendingFileRenameOperations", 0, REG_MULTI_SZ,
                             reinterpret_cast<const BYTE*>(before.data()), DWORD(before.size() * 2)),
              ERROR_SUCCESS);
    WithdrawIndexRemovals(registry, files);
    std::vector<wchar_t> after(before.size() + 8);
    DWORD size = DWORD(after.size() * 2), type = 0;
    ASSERT_EQ(RegQueryValueExW(key_.Get(), L"PendingFileRenameOperations", nullptr, &type,
                               reinterpret_cast<BYTE*>(after.data()), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(after.data(), size / 2), others + L'\0');
    EXPECT_EQ(type, DWORD(REG_MULTI_SZ));
}

// The second list and the prefixed names that newer systems write: read
// as marks through query access alone, and ours withdrawn from them while
// the other entries stay as they were.
TEST_F(PendingOperations, TheSecondListAndPrefixedNamesAreReadAndWithdrawn) {
    const std::vector<std::string> candidates = IndexCandidates(files, 2);
    ASSERT_FALSE(candidates.empty());
    const std::string other = std::string("\\??\\C:\\windows\\temp\\setup2.tmp\0\0", 32);
    const std::string ours = "*1\\??\\" + candidates.front() + std::string("\0\0", 2);
    const std::string list = ours + other + std::string(1, '\0');
    Write(Bytes(list.begin(), list.end()), kPendingOperations2Value);
    EXPECT_TRUE(ReadIndexMarks(registry, files, shell).cookies);
    EXPECT_EQ(WithdrawIndexRemovals(registry, files), ERROR_SUCCESS);
    EXPECT_FALSE(ReadIndexMarks(registry, files, shell).cookies);
    bool present = false;
    const Bytes left = Read(&present, kPendingOperations2Value);
    ASSERT_TRUE(present);
    EXPECT_EQ(std::string(left.begin(), left.end()).substr(0, other.size() + 1), other + std::string(1, '\0'));
}

}  // namespace
}  // namespace tw
