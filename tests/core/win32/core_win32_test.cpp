#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/date_format.h"
#include "tools/samples/index_file_writer.h"

namespace tw {
namespace {

// The portable calendar must agree with the platform's for every date the
// lists can show, and fail where the platform fails.
TEST(Win32Dates, CivilDatesEqualFileTimeToSystemTime) {
    std::vector<std::uint64_t> ticks = {
        0, 1, 863999999999ull, 864000000000ull, samples::TicksOf(1601, 12, 31), samples::TicksOf(1900, 2, 28),
        samples::TicksOf(2000, 2, 29), samples::TicksOf(2024, 7, 5), samples::TicksOf(9999, 12, 31),
        0x7FFFFFFFFFFFFFFFull, 0x8000000000000000ull, 0xFFFFFFFFFFFFFFFFull};
    for (std::uint64_t t = 0; t < 0x7FFFFFFFFFFFFFFFull / 2; t = t * 3 + 7777777777777ull)
        ticks.push_back(t);
    for (std::uint64_t t : ticks) {
        const FILETIME ft = {DWORD(t), DWORD(t >> 32)};
        SYSTEMTIME st = {};
        CivilDate d = {};
        const bool theirs = FileTimeToSystemTime(&ft, &st) != FALSE;
        const bool ours = FileTimeToCivil(FileTime::FromValue(t), &d);
        const std::vector<int> want = {theirs, theirs ? st.wYear : 0, theirs ? st.wMonth : 0, theirs ? st.wDay : 0};
        EXPECT_EQ(std::vector<int>({ours, ours ? d.year : 0, ours ? d.month : 0, ours ? d.day : 0}), want) << t;
    }
}

}  // namespace
}  // namespace tw
