#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "band/band_info.h"
#include "band/guid_text.h"
#include "band/guids.h"
#include "band/script_text.h"
#include "band/server_lock.h"
#include "band/stream_state.h"

namespace tw {
namespace {

// The shape of the browser's DESKBANDINFO, marked so that a field written
// without being asked for shows.
struct Point { std::int32_t x, y; };
template <int TitleRoom>
struct Info {
    std::uint32_t dwMask;
    Point ptMinSize, ptMaxSize, ptIntegral, ptActual;
    wchar_t wszTitle[TitleRoom];
    std::uint32_t dwModeFlags, crBkgnd;
};
const std::int32_t kUntouched = 0x5A5A5A5A;

TEST(BandInfo, FillsWhatTheMaskAsksAndDropsTheBackground) {
    // The bits ask for min, max, integral, actual sizes; 0x10 the title, 0x20 the mode.
    struct Row { std::uint32_t mask, maskOut; Point min, max, integral, actual; const wchar_t* title; std::uint32_t mode; };
    const Point u{kUntouched, kUntouched};
    const Row rows[] = {
        {0, 0, u, u, u, u, L"#", 0xA5A5A5A5u},
        {0x15, 0x15, {100, 200}, u, {1, 1}, u, L"Tidewell", 0xA5A5A5A5u},  // every other bit: none stands for another
        {0x2A, 0x2A, u, {-1, -1}, u, {0, 0}, L"#", 8},
        {0x7F, 0x3F, {100, 200}, {-1, -1}, {1, 1}, {0, 0}, L"Tidewell", 8},
        {0xFFFFFF40u, 0xFFFFFF00u, u, u, u, u, L"#", 0xA5A5A5A5u},  // unknown bits are handed back
    };
    for (const Row& row : rows) {
        Info<256> info = {row.mask, u, u, u, u, {L'#'}, 0xA5A5A5A5u, 0x00123456u};
        FillBandInfo(info);
        SCOPED_TRACE(row.mask);
        EXPECT_EQ(info.dwMask, row.maskOut);
        for (auto [got, want] : {std::pair{info.ptMinSize, row.min}, {info.ptMaxSize, row.max},
                                 {info.ptIntegral, row.integral}, {info.ptActual, row.actual}}) {
            EXPECT_EQ(got.x, want.x);
            EXPECT_EQ(got.y, want.y);
        }
        EXPECT_STREQ(info.wszTitle, row.title);
        EXPECT_EQ(info.dwModeFlags, row.mode);
        EXPECT_EQ(info.crBkgnd, 0x00123456u);
    }
    Info<4> small = {};  // a short title field: cut and still terminated
    small.dwMask = 0x10;
    FillBandInfo(small);
    EXPECT_STREQ(small.wszTitle, L"Tid");
}

TEST(BandStream, LoadResultByVersionAndRead) {
    const std::int32_t ok = 0, end = 1, fail = std::int32_t(0x80004005u), denied = std::int32_t(0x80030005u);
    struct Row { std::int32_t read; std::uint32_t bytes, version; std::int32_t expected; } rows[] = {
        {ok, 4, 0x0300, ok}, {ok, 4, 0, ok}, {ok, 4, 0x0301, fail}, {ok, 4, 0xFFFFFFFFu, fail},
        {denied, 4, 0x0300, denied}, {ok, 3, 0x0300, fail},
        {end, 0, 0, fail}, {end, 2, 0x0300, fail}, {end, 4, 0x0300, ok},  // a short stream never read its number
    };
    for (const Row& row : rows)
        EXPECT_EQ(BandStreamLoadResult(row.read, row.bytes, row.version), row.expected)
            << std::hex << row.read << " " << row.bytes << " " << row.version;
}

TEST(GuidText, ReadsEveryFieldInEitherCaseAndRefusesMalformedTexts) {
    const GuidFields g = ParseGuidText("{e0dd6cab-2d10-11D2-8f1a-0000F87ABD16}");
    ASSERT_TRUE(g.valid);
    EXPECT_EQ((std::vector<unsigned>{g.data1, g.data2, g.data3}), (std::vector<unsigned>{0xE0DD6CABu, 0x2D10u, 0x11D2u}));
    const std::uint8_t tail[8] = {0x8F, 0x1A, 0, 0, 0xF8, 0x7A, 0xBD, 0x16};
    EXPECT_EQ(std::memcmp(g.data4, tail, 8), 0);
    EXPECT_EQ(ParseGuidText("{00000000-0000-0000-0000-000000000009}").data4[7], 9u);
    const char* bad[] = {
        "", "00021494-0000-0000-C000-000000000046", "{00021494-0000-0000-C000-000000000046",
        "{00021494-0000-0000-C000-0000000000460}", "{00021494-0000-0000-C000-00000000004G}",
        "{00021494-0000-0000-C000-00000000004g}", "{00021494-0000-0000-C000-00000000004/}",
        "{00021494-0000-0000-C000-00000000004:}", "{00021494-0000-0000-C000-00000000004@}",
        "{00021494+0000-0000-C000-000000000046}", "{00021494-0000+0000-C000-000000000046}",
        "{00021494-0000-0000+C000-000000000046}", "{00021494-0000-0000-C000+000000000046}",
        "[00021494-0000-0000-C000-000000000046}", "{00021494-0000-0000-C000-000000000046]",
        "{0002149-40000-0000-C000-000000000046}", "{00021494-0000-0000-C000-000000000046}x",
    };
    for (const char* text : bad) EXPECT_FALSE(ParseGuidText(text).valid) << text;
    std::set<std::string> seen;  // every identifier of this module is well formed and used once
    for (const char* text : {TW_CLSID_ExplorerBar, TW_IID_IExplorerBar, TW_LIBID_TidewellLib, TW_CLSID_StartButton,
                             TW_IID_IStartButton, TW_GUID_ButtonExtension, TW_CLSID_Retired}) {
        EXPECT_TRUE(ParseGuidText(text).valid) << text;
        EXPECT_TRUE(seen.insert(text).second) << text;
    }
}

TEST(ScriptText, DoublesSingleQuotesAndRefusesWhatDoesNotFit) {
    struct Row { const wchar_t* path; std::size_t room; const wchar_t* quoted; } rows[] = {
        {L"C:\\Bob's\\Tidewell.dll", 64, L"C:\\Bob''s\\Tidewell.dll"}, {L"''", 64, L"''''"}, {L"", 64, L""},
        {L"abcd", 5, L"abcd"}, {L"abcde", 5, nullptr},
        {L"abc'", 5, nullptr},  // a doubled quote is not cut in half at the end
        {L"ab'", 5, L"ab''"}, {L"a", 0, nullptr},
    };
    for (const Row& row : rows) {
        wchar_t out[64] = {L'x', L'x'};
        EXPECT_EQ(QuoteForScript(row.path, out, row.room), row.quoted != nullptr) << row.path;
        if (row.room) {
            EXPECT_EQ(std::wstring(out), row.quoted ? row.quoted : L"") << row.path;
        }
    }
}

TEST(ServerLock, UnloadableOnlyAtZeroAcrossThreads) {
    ServerLock lock;
    EXPECT_EQ(lock.CanUnloadResult(), 0);
    lock.Lock();
    EXPECT_EQ(lock.CanUnloadResult(), 1);
    std::vector<std::thread> threads;  // band objects come and go on several browser threads
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&lock] {
            for (int i = 0; i < 20000; ++i) {
                lock.Lock();
                lock.Unlock();
            }
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(lock.Count(), 1);
    lock.Unlock();
    EXPECT_EQ(lock.CanUnloadResult(), 0);
}

TEST(RegistrationResult, TheFirstFailingStepReachesTheCaller) {
    const long fail = -2147467259, denied = -2147024891;
    struct Row { long script, typeLibrary, category, result; } rows[] = {
        {0, 1, 0, 0}, {fail, 0, 0, fail}, {0, fail, 0, fail}, {0, 0, fail, fail}, {denied, fail, 0, denied},
    };
    for (const Row& r : rows)
        EXPECT_EQ(RegistrationResult(r.script, r.typeLibrary, r.category), r.result);
}

}  // namespace
}  // namespace tw
