#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "band/band_info.h"
#include "band/guid_text.h"
#include "band/guids.h"
#include "band/module_startup.h"
#include "band/script_text.h"
#include "band/server_lock.h"
#include "band/stream_state.h"

namespace tw {
namespace {

template <int TitleRoom>
struct Info {
    std::uint32_t dwMask;
    struct { std::int32_t x, y; } ptMinSize, ptMaxSize, ptIntegral, ptActual;
    wchar_t wszTitle[TitleRoom];
    std::uint32_t dwModeFlags, crBkgnd;
};

// One fill of a record marked with 7s, "#" and 55, so that a field written without being asked for shows.
template <int TitleRoom>
std::string Filled(std::uint32_t mask) {
    Info<TitleRoom> info = {mask, {7, 7}, {7, 7}, {7, 7}, {7, 7}, {L'#'}, 0x55, 0x123456};
    FillBandInfo(info);
    char text[200];
    std::snprintf(text, sizeof text, "%x %d,%d %d,%d %d,%d %d,%d %ls %x %x", info.dwMask, info.ptMinSize.x,
                  info.ptMinSize.y, info.ptMaxSize.x, info.ptMaxSize.y, info.ptIntegral.x, info.ptIntegral.y,
                  info.ptActual.x, info.ptActual.y, info.wszTitle, info.dwModeFlags, info.crBkgnd);
    return text;
}

TEST(BandInfo, FillsWhatTheMaskAsksAndDropsTheBackground) {
    // The bits ask for min, max, integral, actual sizes, the title (0x10) and the mode (0x20).
    EXPECT_EQ(Filled<256>(0), "0 7,7 7,7 7,7 7,7 # 55 123456");
    EXPECT_EQ(Filled<256>(0x15), "15 100,200 7,7 1,1 7,7 Tidewell 55 123456");  // none stands for another
    EXPECT_EQ(Filled<256>(0x2A), "2a 7,7 -1,-1 7,7 0,0 # 8 123456");
    EXPECT_EQ(Filled<256>(0x7F), "3f 100,200 -1,-1 1,1 0,0 Tidewell 8 123456");
    EXPECT_EQ(Filled<256>(0xFFFFFF40u), "ffffff00 7,7 7,7 7,7 7,7 # 55 123456");  // unknown bits are handed back
    EXPECT_EQ(Filled<4>(0x10), "10 7,7 7,7 7,7 7,7 Tid 55 123456");  // a short title field: cut, still terminated
}

// The first failing HRESULT reaches the caller; S_FALSE (1) is no failure.
TEST(HResults, StreamLoadByVersionAndReadAndRegistrationByStep) {
    const std::int32_t ok = 0, end = 1, fail = std::int32_t(0x80004005u), denied = std::int32_t(0x80030005u);
    for (auto [read, bytes, version, expected] :  // a short stream never read its number
         {std::tuple{ok, 4u, 0x0300u, ok}, {ok, 4u, 0u, ok}, {ok, 4u, 0x0301u, fail}, {ok, 4u, 0xFFFFFFFFu, fail},
          {denied, 4u, 0x0300u, denied}, {ok, 3u, 0x0300u, fail}, {end, 0u, 0u, fail}, {end, 2u, 0x0300u, fail},
          {end, 4u, 0x0300u, ok}})
        EXPECT_EQ(BandStreamLoadResult(read, bytes, version), expected) << read << " " << bytes << " " << version;
    for (auto [script, typeLibrary, category, result] :
         {std::tuple{0, 1, 0, 0}, {0, 0, fail, fail}, {0, fail, 0, fail}, {denied, fail, 0, denied}})
        EXPECT_EQ(RegistrationResult(script, typeLibrary, category), result);
}

TEST(GuidText, ReadsEveryFieldInEitherCaseAndRefusesMalformedTexts) {
    const GuidFields g = ParseGuidText("{e0dd6cab-2d10-11D2-8f1a-0000F87ABD16}");
    EXPECT_EQ(std::tuple(g.valid, g.data1, g.data2, g.data3), std::tuple(true, 0xE0DD6CABu, 0x2D10, 0x11D2));
    EXPECT_EQ(std::string(g.data4, g.data4 + 8), std::string("\x8F\x1A\0\0\xF8\x7A\xBD\x16", 8));
    const std::string good = "{00021494-0000-0000-C000-000000000046}";
    std::vector<std::string> bad = {"", good.substr(1), good.substr(0, 37), good + "0", good + "x"};
    // A stray character at each place that is checked: digits of either end, a dash, a brace.
    for (auto [at, c] : {std::pair{36, 'G'}, {36, 'g'}, {36, '/'}, {36, ':'}, {36, '@'}, {9, '+'}, {14, '+'},
                         {19, '+'}, {24, '+'}, {0, '['}, {37, ']'}, {1, 'x'}, {10, 'x'}, {15, 'x'}, {20, 'x'}}) {
        bad.push_back(good);
        bad.back()[at] = c;
    }
    for (const std::string& text : bad) EXPECT_FALSE(ParseGuidText(text.c_str()).valid) << text;
    std::set<std::string> seen;  // every identifier of this module is well formed and used once
    for (const char* text : {good.c_str(), TW_CLSID_ExplorerBar, TW_IID_IExplorerBar, TW_LIBID_TidewellLib,
                             TW_CLSID_StartButton, TW_IID_IStartButton, TW_GUID_ButtonExtension, TW_CLSID_Retired})
        EXPECT_TRUE(ParseGuidText(text).valid && seen.insert(text).second) << text;
}

TEST(ScriptText, DoublesSingleQuotesAndRefusesWhatDoesNotFit) {
    for (auto [path, room, fits, quoted] :
         {std::tuple{L"C:\\Bob's\\Tidewell.dll", 64, true, L"C:\\Bob''s\\Tidewell.dll"}, {L"''", 64, true, L"''''"},
          {L"", 64, true, L""}, {L"abcd", 5, true, L"abcd"}, {L"abcde", 5, false, L""}, {L"ab'", 5, true, L"ab''"},
          {L"abc'", 5, false, L""}, {L"a", 0, false, L"xx"}}) {  // a doubled quote is not cut in half at the end
        wchar_t out[64] = {L'x', L'x'};
        EXPECT_EQ(QuoteForScript(path, out, room), fits) << path;
        EXPECT_EQ(std::wstring(out), quoted) << path;
    }
}

TEST(ServerLock, UnloadableOnlyAtZero) {
    ServerLock lock;
    const std::vector<long> answers = {lock.CanUnloadResult(), lock.Lock(), lock.CanUnloadResult(), lock.Lock(),
                                       lock.Unlock(), lock.Count(), lock.Unlock(), lock.CanUnloadResult()};
    EXPECT_EQ(answers, (std::vector<long>{0, 1, 1, 2, 1, 1, 0, 0}));
}

// The loader's calls do no work of their own: the first use of the server
// prepares the controls once, a FreeLibrary releases what was made, and the
// end of the process releases nothing.
TEST(ModuleStartup, WorkWaitsForTheFirstUseAndTheEndOfTheProcessTouchesNothing) {
    struct Work : ModuleWork {
        std::string done;
        void PrepareControls() override { done += "prepare "; }
        void ReleaseControls() override { done += "controls "; }
        void ReleaseObjects() override { done += "objects "; }
    };
    enum Event { Use, Unload, ProcessEnds };
    const struct {
        std::vector<Event> events;
        const char* done;
    } rows[] = {
        {{}, ""},
        {{Use, Use, Use}, "prepare "},
        {{Use, Unload}, "prepare objects controls "},
        {{Unload}, "objects "},
        {{Use, ProcessEnds}, "prepare "},
        {{ProcessEnds}, ""},
        {{Use, Unload, Use}, "prepare objects controls prepare "},
    };
    for (const auto& row : rows) {
        Work work;
        ModuleStartup startup;
        for (Event e : row.events) {
            if (e == Use)
                startup.Use(work);
            else
                startup.Detach(work, e == ProcessEnds);
        }
        EXPECT_EQ(work.done, row.done) << row.events.size();
    }
}

}  // namespace
}  // namespace tw
