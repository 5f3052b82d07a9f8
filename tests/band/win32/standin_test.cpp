// The stand-in browser hosting the registered band, as a separate process.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "tests/band/win32/test_module.h"

namespace tw {
namespace test {
namespace {

const char kRecord[] = "standin-record.txt";

// The stand-in's exit code, and its record of "key value" lines.
int RunStandIn(const wchar_t* quitAfter, std::map<std::string, std::string>* record) {
    DeleteFileA(kRecord);
    const int code = RunProcess(L"\"" + WindowsPathFromEnv("TW_STANDIN") + L"\" --quit-after " + quitAfter +
                                L" --record standin-record.txt");
    std::ifstream in(kRecord);
    std::string line;
    while (std::getline(in, line)) {
        const size_t space = line.find(' ');
        record->emplace(line.substr(0, space), space == std::string::npos ? "" : line.substr(space + 1));
    }
    DeleteFileA(kRecord);
    return code;
}

// Band information is the Explorer bar tests' work; here the record shows
// the band created by class, sited, shown and let go.
TEST(StandIn, HostsTheRegisteredBandAndWithoutRegistrationThereIsNone) {
    ASSERT_NE(TheModule().handle, nullptr);
    ASSERT_FALSE(WindowsPathFromEnv("TW_STANDIN").empty()) << "TW_STANDIN names the stand-in browser";
    ASSERT_EQ(RunRegsvr32(false), 0);
    std::map<std::string, std::string> record;
    EXPECT_EQ(RunStandIn(L"1500", &record), 0);
    const std::map<std::string, std::string> expected = {
        {"create", "0x00000000"}, {"set-site", "0x00000000"}, {"show", "0x00000000"},
        {"band-window-text", "TidewellSuperClass"}, {"band-window-class", "TidewellBandWindow"},
        {"band-window-visible", "1"}, {"band-window-parent-is-site", "1"},
        // Nothing of the browser or the site stays referenced once the band goes.
        {"band-released", "0"}, {"browser-refs", "1"}, {"site-refs", "1"}};
    for (const auto& e : expected) EXPECT_EQ(record[e.first], e.second) << e.first;

    ASSERT_EQ(RunRegsvr32(true), 0);
    record.clear();
    EXPECT_EQ(RunStandIn(L"200", &record), 1);
    EXPECT_EQ(record["create"], "0x80040154");  // REGDB_E_CLASSNOTREG
    EXPECT_EQ(record.count("band-window-text"), 0u);
}

}  // namespace
}  // namespace test
}  // namespace tw
