// The stand-in browser hosting the registered band, as a separate process.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/band/win32/test_module.h"

namespace tw {
namespace test {
namespace {

const char kRecord[] = "standin-record.txt";

// The stand-in's exit code, then its record's "key value" lines but the
// band window's size (the stand-in's own layout) and the status texts
// (the lists' work, and there only once they are filled in time).
std::vector<std::string> RunStandIn(const wchar_t* quitAfter) {
    DeleteFileA(kRecord);
    const int code = RunProcess(L"\"" + WindowsPathFromEnv("TW_STANDIN") + L"\" --quit-after " + quitAfter +
                                L" --record standin-record.txt");
    std::vector<std::string> record = {"exit " + std::to_string(code)};
    std::ifstream in(kRecord);
    for (std::string line; std::getline(in, line);)
        if (line.compare(0, 17, "band-window-size ") != 0 && line.compare(0, 7, "status ") != 0)
            record.push_back(line);
    DeleteFileA(kRecord);
    return record;
}

// The band created by class, sited, described, shown and let go: nothing
// of the browser or the site stays referenced once it goes.
TEST(StandIn, HostsTheRegisteredBandAndWithoutRegistrationThereIsNone) {
    ASSERT_NE(TheModule().handle, nullptr);
    ASSERT_FALSE(WindowsPathFromEnv("TW_STANDIN").empty()) << "TW_STANDIN names the stand-in browser";
    ASSERT_EQ(RunRegsvr32(false), 0);
    EXPECT_EQ(RunStandIn(L"1500"),
              (std::vector<std::string>{"exit 0", "create 0x00000000", "set-site 0x00000000", "band-info 0x00000000",
                                        "band-title Tidewell", "band-min 100 200", "band-mask 63", "show 0x00000000",
                                        "band-window-text TidewellSuperClass", "band-window-class TidewellBandWindow",
                                        "band-window-visible 1", "band-window-parent-is-site 1", "band-released 0",
                                        "browser-refs 1", "site-refs 1"}));
    ASSERT_EQ(RunRegsvr32(true), 0);
    EXPECT_EQ(RunStandIn(L"200"), (std::vector<std::string>{"exit 1", "create 0x80040154",  // REGDB_E_CLASSNOTREG
                                                            "browser-refs 1", "site-refs 1"}));
}

}  // namespace
}  // namespace test
}  // namespace tw
