#include <gtest/gtest.h>

#include <string>

#include "band/script_text.h"

namespace tw {
namespace {

TEST(ScriptText, DoublesSingleQuotes) {
    struct Row {
        const wchar_t* path;
        const wchar_t* quoted;
    };
    const Row rows[] = {
        {L"C:\\Program Files\\Tidewell\\Tidewell.dll", L"C:\\Program Files\\Tidewell\\Tidewell.dll"},
        {L"C:\\Bob's\\Tidewell.dll", L"C:\\Bob''s\\Tidewell.dll"},
        {L"''", L"''''"},
        {L"", L""},
    };
    for (const Row& row : rows) {
        wchar_t out[64];
        ASSERT_TRUE(QuoteForScript(row.path, out, 64));
        EXPECT_EQ(std::wstring(out), row.quoted);
    }
}

TEST(ScriptText, RefusesWhatDoesNotFit) {
    wchar_t out[5] = {L'x', L'x', L'x', L'x', L'x'};
    EXPECT_TRUE(QuoteForScript(L"abcd", out, 5));
    EXPECT_EQ(std::wstring(out), L"abcd");
    EXPECT_FALSE(QuoteForScript(L"abcde", out, 5));
    EXPECT_EQ(out[0], L'\0');
    // A doubled quote that would straddle the end is not cut in half.
    EXPECT_FALSE(QuoteForScript(L"abc'", out, 5));
    EXPECT_EQ(out[0], L'\0');
    EXPECT_FALSE(QuoteForScript(L"a", out, 0));
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
