#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/ansi_text.h"
#include "settings/date_format.h"
#include "tools/samples/index_file_writer.h"

namespace tw {
namespace {

// Wine's default ANSI page is 1252; lowering is the system's CharLower.
TEST(Win32Text, TitlesConvertAndLowerThroughTheSystemCodePage) {
    char out[260];
    const char16_t text[] = u"Caf\u00e9 \u4e2d";
    const std::size_t n = ActiveCodePage().FromUtf16(text, 6, out, sizeof out);
    EXPECT_EQ(n, std::strlen(out));
    EXPECT_EQ(std::string(out, 5), "Caf\xe9 ");
    ActiveCodePage().Lower(strcpy(out, "HTTPS://A.B/\xC9"));
    EXPECT_STREQ(out, "https://a.b/\xe9");
    // A text longer than the buffer is cut, never lost or overrun.
    const std::u16string longText(1000, u'x');
    EXPECT_EQ(ActiveCodePage().FromUtf16(longText.c_str(), longText.size(), out, sizeof out), 259u);
    EXPECT_EQ(out[259], '\0');
}

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
