#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "tests/band/win32/test_module.h"

namespace tw {
namespace test {
namespace {

std::wstring StandInPath() {
    const char* path = std::getenv("TW_STANDIN");
    std::wstring out;
    if (!path) return out;
    if (path[0] == '/') out = L"Z:";
    for (const char* p = path; *p; ++p) out += wchar_t(*p == '/' ? '\\' : (unsigned char)*p);
    return out;
}

// Runs the stand-in browser to the end; its exit code or -1.
int RunStandIn(const std::wstring& arguments) {
    std::wstring command = L"\"" + StandInPath() + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
    DWORD code = DWORD(-1);
    if (waited == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return int(code);
}

std::multimap<std::string, std::string> ReadRecord(const char* path) {
    std::multimap<std::string, std::string> record;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const size_t space = line.find(' ');
        record.emplace(line.substr(0, space), space == std::string::npos ? "" : line.substr(space + 1));
    }
    return record;
}

std::string Value(const std::multimap<std::string, std::string>& record, const std::string& key) {
    auto it = record.find(key);
    return it == record.end() ? "<missing>" : it->second;
}

class StandInTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(TheModule().handle, nullptr);
        ASSERT_FALSE(StandInPath().empty()) << "TW_STANDIN names the stand-in browser";
        DeleteFileA(kRecord);
    }
    void TearDown() override {
        EXPECT_EQ(RunRegsvr32(true), 0);
        DeleteFileA(kRecord);
    }
    static constexpr const char* kRecord = "standin-record.txt";
};

TEST_F(StandInTest, HostsTheRegisteredBand) {
    ASSERT_EQ(RunRegsvr32(false), 0);
    ASSERT_EQ(RunStandIn(L"--quit-after 1500 --record standin-record.txt"), 0);
    const auto record = ReadRecord(kRecord);
    EXPECT_EQ(Value(record, "create"), "0x00000000");
    EXPECT_EQ(Value(record, "set-site"), "0x00000000");
    EXPECT_EQ(Value(record, "band-info"), "0x00000000");
    EXPECT_EQ(Value(record, "band-title"), "Tidewell");
    EXPECT_EQ(Value(record, "band-min"), "100 200");
    EXPECT_EQ(Value(record, "band-mask"), "63");
    EXPECT_EQ(Value(record, "show"), "0x00000000");
    EXPECT_EQ(Value(record, "band-window-text"), "TidewellSuperClass");
    EXPECT_EQ(Value(record, "band-window-class"), "TidewellBandWindow");
    EXPECT_EQ(Value(record, "band-window-visible"), "1");
    EXPECT_EQ(Value(record, "band-window-parent-is-site"), "1");
    // Nothing of the browser or the site stays referenced once the band goes.
    EXPECT_EQ(Value(record, "band-released"), "0");
    EXPECT_EQ(Value(record, "browser-refs"), "1");
    EXPECT_EQ(Value(record, "site-refs"), "1");
}

TEST_F(StandInTest, WithoutRegistrationThereIsNoBand) {
    ASSERT_EQ(RunRegsvr32(true), 0);
    EXPECT_EQ(RunStandIn(L"--quit-after 200 --record standin-record.txt"), 1);
    const auto record = ReadRecord(kRecord);
    EXPECT_EQ(Value(record, "create"), "0x80040154");  // REGDB_E_CLASSNOTREG
    EXPECT_EQ(Value(record, "band-window-text"), "<missing>");
}

}  // namespace
}  // namespace test
}  // namespace tw
