// tidewell-clean.exe run as a scheduled task would run it, in this test's
// own prefix, seeded before each test as the demo seeds its prefix: the
// stand-in history store registered with its sample pages, then
// tidewell-seed's cache items, cookies, typed URLs and Run entries.
#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "clean/cookie_keep.h"
#include "clean/shell_history.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_broker.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "settings/settings_store.h"
#include "tests/band/win32/test_module.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_process_rights.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"
#include "ui/protected_mode.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::RunProcess;
using test::WindowsPathFromEnv;

// What a program wrote, its console line ends made plain ones.
std::string Slurp(HANDLE file) {
    std::string text;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) {
        for (DWORD i = 0; i < got; ++i)
            if (buffer[i] != '\r')
                text += buffer[i];
    }
    return text;
}

struct Ran {
    int code = -1;
    std::string out, err;
};

// Runs tidewell-clean (or the program another variable names) to its end
// with its output and errors caught.
Ran Clean(const std::wstring& arguments, const char* program = "TW_CLEAN") {
    // Files of their own for each run: a helper that Wine starts for a
    // program may inherit the handles and hold them after it ends.
    static int runs = 0;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    const fs::path temp = fs::temp_directory_path();
    auto open = [&](const char* name) {
        const fs::path path = temp / ("tw-clean-" + std::to_string(++runs) + name);
        return UniqueFile(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    };
    const UniqueFile out = open("-out.txt"), err = open("-err.txt");
    // A braced list is evaluated in order: the run ends before its files are read.
    return {RunProcess(L"\"" + WindowsPathFromEnv(program) + L"\" " + arguments, out.Get(), err.Get()),
            Slurp(out.Get()), Slurp(err.Get())};
}

// Every URL of the cache, history and cookie items included.
std::vector<std::string> Entries(const char* pattern) {
    std::vector<std::string> urls;
    std::vector<char> buffer(16384);
    auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    DWORD size = DWORD(buffer.size());
    UniqueUrlCacheFind find(FindFirstUrlCacheEntryA(pattern, entry, &size));
    for (bool more = find.Get() != nullptr; more; more = FindNextUrlCacheEntryA(find.Get(), entry, &size)) {
        urls.push_back(entry->lpszSourceUrlName ? entry->lpszSourceUrlName : "");
        size = DWORD(buffer.size());
    }
    return urls;
}

bool NewSystem() {
    Win32Shell shell;
    const int major = shell.MajorVersion();
    return IsNewSystem(major > 0, major);
}

class CleanTool : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* pattern : {static_cast<const char*>(nullptr), "Cookie:", "Visited:"})
            for (const std::string& url : Entries(pattern))
                DeleteUrlCacheEntryA(url.c_str());
        // The history store's pages afresh, from the copy beside the stand-in.
        const fs::path history = fs::temp_directory_path() / "tw-clean-history";
        fs::create_directories(history);
        const fs::path built = fs::path(WindowsPathFromEnv("TW_HISTORY"));
        for (const char* name : {"tidewell-history.dll", "history.txt"})
            fs::copy_file(built.parent_path() / name, history / name, fs::copy_options::overwrite_existing);
        ASSERT_EQ(RunProcess(L"regsvr32.exe /s \"" + (history / "tidewell-history.dll").wstring() + L"\""), 0);
        ASSERT_EQ(RunProcess(L"\"" + WindowsPathFromEnv("TW_SEED") + L"\""), 0);
        // A cleanup of the whole cache removes its subfolders, which Wine,
        // unlike Windows, does not make again.
        char base[MAX_PATH] = "";
        ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, base, CSIDL_INTERNET_CACHE, FALSE));
        std::error_code missing;
        for (const fs::directory_entry& e : fs::directory_iterator(fs::path(base) / "Content.IE5", missing))
            if (e.is_directory())
                subfolders_.push_back(e.path());
        ASSERT_TRUE(SaveCookiesToKeep(registry_, NewSystem(), {"example.com"}));
    }
    void TearDown() override {
        for (const fs::path& folder : subfolders_)
            fs::create_directories(folder);
    }

    Win32Registry registry_;
    std::vector<fs::path> subfolders_;
};

const char kSeededCookies[] = "5 cookies";

std::string CookieCount() { return std::to_string(Entries("Cookie:").size()) + " cookies"; }

// What is asked in the order given: a preview lists exactly what the run
// then deletes, and the run leaves the kept cookies and those not expired.
TEST_F(CleanTool, APreviewListsWhatTheRunThenDeletes) {
    const std::wstring runs = L"--json --cookies expired --history all --cache all --typed-urls --run-history";
    const Ran preview = Clean(L"--preview " + runs);
    EXPECT_EQ(preview.code, 0) << preview.err;
    EXPECT_EQ(CookieCount(), kSeededCookies);
    // Each store's realisation lists its seeded items.
    for (const char* listed : {"\"expired\", \"deleted\": [\"Cookie:alice@shop.example.net/cart\"], \"kept\": []",
                               "\"store\": \"history\", \"criterion\": \"all\", \"deleted\": [\"http",
                               "http://downloads.example.com/setup.zip",
                               "[\"http://www.example.com/\", \"news.example.org\", \"http://shop.example.net/\"]"})
        EXPECT_NE(preview.out.find(listed), std::string::npos) << listed << "\n" << preview.out;
    const Ran real = Clean(runs);
    std::string expected = preview.out;
    expected.replace(expected.find("true"), 4, "false");
    EXPECT_EQ(real.out, expected);
    EXPECT_EQ(real.code, 0) << real.err;
    EXPECT_EQ(CookieCount(), "4 cookies");
    const Ran after = Clean(L"--preview " + runs);  // nothing is left to delete
    EXPECT_EQ(after.out.find("\"deleted\": [\""), std::string::npos) << after.out;
}

// The whole command line is read before anything runs.
TEST_F(CleanTool, ABadArgumentDeletesNothing) {
    const Ran bad = Clean(L"--cookies all --cache all --history fresh");
    EXPECT_EQ(bad.code, 2) << bad.err;
    EXPECT_EQ(CookieCount(), kSeededCookies);
    EXPECT_EQ(Clean(L"--preview --cache all").out, "Cache (all): 8 would delete, 0 kept, 0 failed\n");
}

// A keep list that cannot be read keeps every cookie, and the run gives 3.
TEST_F(CleanTool, AnUnreadableKeepListKeepsEveryCookie) {
    RegKey key(registry_);
    ASSERT_TRUE(OpenSettings(registry_, NewSystem(), key));
    WriteString(key, kValueCookiesToKeep, "example.com");  // REG_SZ, not a list
    const Ran ran = Clean(L"--cookies all");
    EXPECT_EQ(ran.code, 3) << ran.err;
    EXPECT_EQ(CookieCount(), kSeededCookies);
}

// The band's Add to Favorites for a process that may write the folder:
// the shell's shortcut in the user's Favorites folder, never over another.
TEST_F(CleanTool, AddsAFavoriteOnceIntoTheFavoritesFolder) {
    char folder[MAX_PATH] = "";
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, folder, CSIDL_FAVORITES, TRUE));
    const fs::path shortcut = fs::path(folder) / "Tidewell broker test.url";
    fs::remove(shortcut);
    const Ran added = Clean(L"--add-favorite \"Tidewell broker test\" www.example.com/page");
    EXPECT_EQ(added.code, 0) << added.err;
    std::ifstream in(shortcut);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    EXPECT_NE(text.find("example.com/page"), std::string::npos) << text;
    const Ran again = Clean(L"--add-favorite \"Tidewell broker test\" http://other.example/");
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("is there already"), std::string::npos) << again.err;
    fs::remove(shortcut);
}

// The band in the browser's low process hands the typed URLs to the broker
// beside it: the real windowless form, started as the band starts it,
// clears the user's list, and the band, whose own stores are fakes here,
// touches nothing of its own and tells nothing.
TEST_F(CleanTool, InProtectedModeTheRealBrokerClearsTheTypedUrls) {
    const auto typed = [] {
        UniqueKey key;
        DWORD values = 0;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\TypedURLs", 0, KEY_QUERY_VALUE,
                          key.Receive()) == ERROR_SUCCESS)
            RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                             nullptr, nullptr);
        return values;
    };
    ASSERT_GT(typed(), 0u);
    const std::wstring wide = WindowsPathFromEnv("TW_CLEANW");
    Win32Broker broker(std::string(wide.begin(), wide.end()), 60000);
    fakes::FakeProcessRights rights;
    rights.protectedMode = true;
    fakes::FakeRegistry registry;
    registry.SetString(RegRoot::CurrentUser, kTypedUrlsKey, "url1", "http://low.example/");
    fakes::FakeShell shell;
    fakes::FakeFileSystem files;
    ClearShellTrace(ShellTrace::TypedUrls, true, rights, registry, shell, files, broker);
    EXPECT_EQ(shell.questions.size(), 1u);
    EXPECT_TRUE(shell.messages.empty()) << shell.messages.front().first;
    EXPECT_EQ(typed(), 0u);
    EXPECT_EQ(registry.ValueNames(RegRoot::CurrentUser, kTypedUrlsKey).size(), 1u);
}

// The full-width "example" is no "example": a text that the ANSI code page
// cannot hold exactly is refused before anything runs.
TEST_F(CleanTool, ATextOutsideTheCodePageDeletesNothing) {
    const std::vector<std::string> before = Entries(nullptr);
    ASSERT_FALSE(before.empty());
    const Ran ran = Clean(L"--cache \"text:\xFF45\xFF58\xFF41\xFF4D\xFF50\xFF4C\xFF45\"");
    EXPECT_EQ(ran.code, 2) << ran.err;
    EXPECT_NE(ran.err.find("argument 2 \"text:???????\" holds characters"), std::string::npos) << ran.err;
    EXPECT_EQ(Entries(nullptr), before);
}

std::string ReadAll(const fs::path& path) {
    std::string text;
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    return file ? Slurp(file.Get()) : text;
}

// --log appends a line a run; the windowless form, which a task runs, leaves
// the same record there and answers the same exit codes.
TEST_F(CleanTool, TheLogKeepsALineARunFromEitherForm) {
    const fs::path log = fs::temp_directory_path() / "tw-clean-runs.log";
    fs::remove(log);
    const std::wstring logged = L" --log \"" + log.wstring() + L"\"";
    const Ran preview = Clean(L"--preview --cookies expired" + logged);
    EXPECT_EQ(preview.code, 0) << preview.err;
    const Ran windowless = Clean(L"--cookies expired" + logged, "TW_CLEANW");
    EXPECT_EQ(windowless.code, 0) << windowless.err;
    EXPECT_EQ(CookieCount(), "4 cookies");
    EXPECT_EQ(Clean(L"--cookies fresh" + logged, "TW_CLEANW").code, 2);
    const std::string lines = ReadAll(log);
    const std::size_t second = lines.find('\n') + 1;
    ASSERT_GT(second, 0u) << lines;
    EXPECT_EQ(lines.find('\n', second), lines.size() - 1) << lines;  // two lines, the bad run none
    const std::string first = lines.substr(0, second), last = lines.substr(second);
    // The local time, the command line as a JSON string, the record.
    EXPECT_EQ(first.substr(4, 1) + first.substr(10, 1) + first.substr(19, 2), "- \x20\"") << first;
    EXPECT_NE(first.find("tidewell-clean.exe"), std::string::npos) << first;
    EXPECT_NE(first.find("\" {\"preview\": true, \"runs\": [{\"store\": \"cookies\", \"criterion\": \"expired\", "
                         "\"deleted\": [\"Cookie:alice@shop.example.net/cart\"]"),
              std::string::npos)
        << first;
    EXPECT_NE(last.find("tidewell-cleanw.exe"), std::string::npos) << last;
    EXPECT_NE(last.find("\" {\"preview\": false, \"runs\": [{\"store\": \"cookies\""), std::string::npos) << last;
    fs::remove(log);
}

// The Index Files dialog's changes through the broker, the windowless
// form, started as the dialog starts it: ShellExecuteEx with the verb
// "runas" (Wine shows no consent prompt), waited for, its exit code read.
TEST(ElevatedBroker, SchedulesAndWithdrawsAnIndexFileAndNothingElse) {
    const std::wstring wide = WindowsPathFromEnv("TW_CLEANW");
    const std::string broker(wide.begin(), wide.end());
    const std::string path = "C:\\tw elevated\\Cookies\\index.dat";
    const auto pending = [] {
        UniqueKey key;
        std::vector<char> data(65536);
        DWORD size = DWORD(data.size());
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
                          KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS ||
            RegQueryValueExA(key.Get(), "PendingFileRenameOperations", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
            return std::string();
        return std::string(data.data(), size);
    };
    Win32Shell shell;
    struct Case { std::string arguments; unsigned long code; bool scheduled; } cases[] = {
        {"--schedule-removal \"" + path + "\"", 0, true},
        {"--withdraw-removal \"" + path + "\"", 0, false},
        {"--schedule-removal C:\\windows\\win.ini", 2, false},
    };
    for (const auto& c : cases) {
        unsigned long code = 99;
        ASSERT_EQ(shell.RunElevated(broker.c_str(), c.arguments.c_str(), &code), long(ERROR_SUCCESS)) << c.arguments;
        EXPECT_EQ(code, c.code) << c.arguments;
        EXPECT_EQ(pending().find("\\??\\" + path) != std::string::npos, c.scheduled) << c.arguments;
        EXPECT_EQ(pending().find("win.ini"), std::string::npos);
    }
    unsigned long code = 99;
    EXPECT_EQ(shell.RunElevated("C:\\windows\\tw-no-such-broker.exe", "", &code), long(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(code, 99u);
}

}  // namespace
}  // namespace tw
