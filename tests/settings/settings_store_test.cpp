#include <gtest/gtest.h>

#include <string>

#include "platform/win_errors.h"
#include "settings/options_model.h"
#include "settings/settings_store.h"
#include "tests/fakes/fake_registry.h"

namespace tw {
namespace {

using fakes::FakeRegistry;

const RegRoot kUser = RegRoot::CurrentUser;

class SettingsStoreTest : public ::testing::TestWithParam<bool> {
protected:
    bool NewSystem() const { return GetParam(); }
    std::string Path() const { return ChooseSettingsPaths(NewSystem()).open; }
    FakeRegistry registry;
};

TEST(SettingsPaths, FollowTheMajorVersion) {
    const std::string old = "RaRidezaz\\Tidewell", low = "Software\\AppDataLow\\Software\\" + old;
    struct Case { bool known; int major; std::string open, create; } cases[] = {
        {false, 10, "Software\\" + old, "SOFTWARE\\" + old}, {true, 5, "Software\\" + old, "SOFTWARE\\" + old},
        {true, 6, low, low}, {true, 10, low, low},
    };
    for (const Case& c : cases) {
        const SettingsPaths p = ChooseSettingsPaths(IsNewSystem(c.known, c.major));
        EXPECT_EQ(p.open + std::string(" ") + p.create, c.open + " " + c.create) << c.major;
    }
}

// What the other system's key holds is never read, and readers never create a key.
TEST_P(SettingsStoreTest, WithoutItsKeyEveryValueIsTheDefault) {
    const std::string other = ChooseSettingsPaths(!NewSystem()).open;
    registry.SetString(kUser, other, "DateTemplate", "yy.MM.dd");
    registry.SetString(kUser, other, "LastSearch", "x");
    for (const char* name : {"DisableConfirmation", "Whole", "Case", "Names", "Values"})
        registry.SetDword(kUser, other, name, 1);
    const BandSettings band = LoadBandSettings(registry, NewSystem());
    EXPECT_TRUE(band.confirmDeletions && ReadConfirmDeletions(registry, NewSystem()));
    EXPECT_EQ(band.dateTemplate, "dd.MM.yyyy");
    FindSettings find;
    LoadFindSettings(registry, NewSystem(), &find);
    EXPECT_FALSE(find.whole || find.matchCase || find.names || find.values);
    EXPECT_EQ(find.lastSearch, "");
    const OptionsState options = LoadOptions(registry, NewSystem());
    EXPECT_EQ(options.templateIndex + options.separatorIndex, 0);
    EXPECT_FALSE(options.disableConfirmation);
    EXPECT_FALSE(registry.HasKey(kUser, Path()));
    EXPECT_EQ(registry.openKeys, 0);
}

TEST_P(SettingsStoreTest, BandLoadCombinesTemplateSeparatorAndConfirmFlag) {
    struct Case { const char *storedTemplate, *separator, *expected; } cases[] = {  // null: absent
        {"yyyy.MM.dd", "/", "yyyy/MM/dd"}, {nullptr, "/", "dd/MM/yyyy"}, {"MM.dd.yyyy", nullptr, "MM.dd.yyyy"},
        {"0123456789012345678901234567890", nullptr, "0123456789012345678901234567890"},  // 31 fits
        {"01234567890123456789012345678901", nullptr, "dd.MM.yyyy"},                      // 32 does not
        {"dd.MM.yy", "1234567", "dd1234567MM1234567yy"}, {"dd.MM.yy", "12345678", "dd.MM.yy"},
    };
    for (const Case& c : cases) {
        FakeRegistry r;
        r.SetDword(kUser, Path(), "Unrelated", 1);
        if (c.storedTemplate)
            r.SetString(kUser, Path(), "DateTemplate", c.storedTemplate);
        if (c.separator)
            r.SetString(kUser, Path(), "Separator", c.separator);
        EXPECT_EQ(LoadBandSettings(r, NewSystem()).dateTemplate, c.expected) << c.expected;
    }
    for (std::uint32_t v : {0u, 1u, 5u, 0xffffffffu}) {  // only zero asks for confirmation
        registry.SetDword(kUser, Path(), "DisableConfirmation", v);
        EXPECT_EQ(LoadBandSettings(registry, NewSystem()).confirmDeletions, v == 0) << v;
        EXPECT_EQ(ReadConfirmDeletions(registry, NewSystem()), v == 0) << v;
        EXPECT_EQ(LoadOptions(registry, NewSystem()).disableConfirmation, v != 0) << v;
    }
}

// Data of any shape must be read within its bounds and cut at the first
// zero byte; the type of a string is not examined, the size of a number is.
TEST_P(SettingsStoreTest, MalformedValuesStayWithinTheirData) {
    struct Case { std::vector<unsigned char> bytes; std::uint32_t type; bool readable; std::string text; } cases[] = {
        {{'a', 'b', 'c'}, kRegSz, true, "abc"},                       // no terminator
        {{'-', 0, 'x', 'y'}, kRegSz, true, "-"},                      // stops at the first zero
        {{}, kRegSz, true, ""}, {{'/', 0, 0, 0}, kRegDword, true, "/"},
        {std::vector<unsigned char>(8, '.'), kRegSz, false, ""},      // 8 characters, unterminated
        {std::vector<unsigned char>(9, '.'), kRegBinary, false, ""},  // larger than the buffer
    };
    for (const Case& c : cases) {
        registry.SetRaw(kUser, Path(), "Separator", c.type, c.bytes);
        RegKey key(registry);
        ASSERT_TRUE(OpenSettings(registry, NewSystem(), key));
        std::string text = "unchanged";
        EXPECT_EQ(ReadString(key, "Separator", kSeparatorSize, &text), c.readable) << c.bytes.size();
        EXPECT_EQ(text, c.readable ? c.text : "unchanged");
    }
    registry.SetRaw(kUser, Path(), "Whole", kRegBinary, {1, 0, 0, 0, 0});
    registry.SetRaw(kUser, Path(), "Case", kRegSz, {'1', 0});
    registry.SetDword(kUser, Path(), "Names", 0);
    FindSettings find;
    find.names = true;
    LoadFindSettings(registry, NewSystem(), &find);
    EXPECT_FALSE(find.whole);     // five bytes do not fit
    EXPECT_TRUE(find.matchCase);  // "1" read as the number 0x31: nonzero
    EXPECT_FALSE(find.names);     // read as 0 overrides the starting state
    RegKey key(registry);
    ASSERT_TRUE(OpenSettings(registry, NewSystem(), key));
    std::uint32_t v = 77;
    EXPECT_FALSE(ReadDword(key, "Whole", &v));
    EXPECT_EQ(v, 0u) << "an unreadable value must not keep an earlier result";
}

TEST_P(SettingsStoreTest, WritersCreateTheKeyOnItsCreationPathAndStoreTerminators) {
    OptionsState state;
    state.templateIndex = 3;
    state.separatorIndex = 2;
    state.disableConfirmation = true;
    ASSERT_TRUE(SaveOptions(registry, NewSystem(), state));
    EXPECT_EQ(registry.writes, (std::vector<std::string>{"DisableConfirmation", "DateTemplate", "Separator"}));
    const FakeRegistry::Value* t = registry.Find(kUser, ChooseSettingsPaths(NewSystem()).create, "DateTemplate");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->type, kRegSz);
    EXPECT_EQ(std::string(t->data.begin(), t->data.end()), std::string("yyyy.MM.dd", 11));
    const OptionsState back = LoadOptions(registry, NewSystem());
    EXPECT_EQ((std::vector<int>{back.templateIndex, back.separatorIndex, back.disableConfirmation}),
              (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(LoadBandSettings(registry, NewSystem()).dateTemplate, "yyyy-MM-dd");

    FindSettings find;
    find.whole = find.values = true;
    find.lastSearch = "needle";
    registry.writes.clear();
    ASSERT_TRUE(SaveFindSettings(registry, NewSystem(), find));
    EXPECT_EQ(registry.writes, (std::vector<std::string>{"Whole", "Case", "Names", "Values", "LastSearch"}));
    FindSettings loaded;
    LoadFindSettings(registry, NewSystem(), &loaded);
    EXPECT_TRUE(loaded.whole && loaded.values);
    EXPECT_FALSE(loaded.matchCase || loaded.names);
    EXPECT_EQ(loaded.lastSearch, "needle");
    EXPECT_EQ(registry.openKeys, 0);
}

TEST_P(SettingsStoreTest, AWriterThatCannotOpenOrCreateWritesNothing) {
    registry.deniedPaths.push_back(ChooseSettingsPaths(NewSystem()).open);
    for (char& ch : registry.deniedPaths.back())
        ch = char(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_FALSE(SaveOptions(registry, NewSystem(), OptionsState()));
    EXPECT_FALSE(SaveFindSettings(registry, NewSystem(), FindSettings()));
    EXPECT_EQ(registry.openKeys, 0);
}

INSTANTIATE_TEST_SUITE_P(Systems, SettingsStoreTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "New" : "Old"; });

TEST(OptionsModel, StoredEntriesMatchWithoutRegardToCaseAndTheSampleShowsThem) {
    struct Case { const char *stored, *separator; int templateIndex, separatorIndex; const char* sample; } cases[] = {
        {"M.D.YYYY", "-", 6, 2, "7-5-2024"}, {"yy.MM.dd", "/", 7, 1, "24/07/05"}, {"dd.MM", "_", 0, 0, "05.07.2024"},
    };
    for (const Case& c : cases) {
        FakeRegistry registry;
        registry.SetString(kUser, ChooseSettingsPaths(true).open, "DateTemplate", c.stored);
        registry.SetString(kUser, ChooseSettingsPaths(true).open, "Separator", c.separator);
        const OptionsState s = LoadOptions(registry, true);
        EXPECT_EQ(s.templateIndex, c.templateIndex) << c.stored;
        EXPECT_EQ(s.separatorIndex, c.separatorIndex) << c.stored;
        EXPECT_EQ(OptionsSample(s, {2024, 7, 5}), c.sample) << c.stored;
    }
    OptionsState outside;  // indexes outside the lists show the first entries
    outside.templateIndex = 8;
    outside.separatorIndex = -1;
    EXPECT_EQ(OptionsSample(outside, {2024, 7, 5}), "05.07.2024");
}

}  // namespace
}  // namespace tw
