#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/win_errors.h"
#include "settings/options_model.h"
#include "settings/settings_store.h"
#include "tests/fakes/fake_process_rights.h"
#include "tests/fakes/fake_registry.h"

namespace tw {
namespace {

using fakes::FakeRegistry;

const RegRoot kUser = RegRoot::CurrentUser;

TEST(SettingsPaths, FollowTheMajorVersion) {
    const std::string old = "Software\\RaRidezaz\\Tidewell SOFTWARE\\RaRidezaz\\Tidewell",
                      low = "Software\\AppDataLow\\Software\\RaRidezaz\\Tidewell";
    for (auto [known, major, paths] : {std::tuple{false, 10, old}, {true, 5, old}, {true, 6, low + " " + low},
                                       {true, 10, low + " " + low}})
        EXPECT_EQ(ChooseSettingsPaths(IsNewSystem(known, major)).open + std::string(" ") +
                      ChooseSettingsPaths(IsNewSystem(known, major)).create, paths) << major;
}

class SettingsStoreTest : public ::testing::TestWithParam<bool> {
protected:
    std::string Path() const { return ChooseSettingsPaths(GetParam()).open; }
    // What every reader gives: the band's template and its confirmation (read twice), the find flags (all set
    // before, so that a value read as zero shows) and search, the options' indexes and confirmation flag.
    std::string Loaded() {
        const BandSettings band = LoadBandSettings(registry, GetParam());
        FindSettings f{true, true, true, true, ""};
        LoadFindSettings(registry, GetParam(), &f);
        const OptionsState o = LoadOptions(registry, GetParam());
        std::ostringstream s;
        s << band.dateTemplate << " confirm " << band.confirmDeletions << ReadConfirmDeletions(registry, GetParam())
          << " find " << f.whole << f.matchCase << f.names << f.values << " '" << f.lastSearch << "' options "
          << o.templateIndex << " " << o.separatorIndex << " " << o.disableConfirmation;
        return s.str();
    }
    FakeRegistry registry;
};

// What the other system's key holds is never read, and readers never create a key. The band takes the stored
// template with the separator put in; the options find the entries in their lists.
TEST_P(SettingsStoreTest, ReadersTakeTemplateSeparatorAndConfirmFlagFromTheirOwnKey) {
    const std::string other = ChooseSettingsPaths(!GetParam()).open;
    registry.SetString(kUser, other, "DateTemplate", "yy.MM.dd");
    registry.SetString(kUser, other, "LastSearch", "x");
    registry.SetDword(kUser, other, "DisableConfirmation", 1);
    for (const char* name : {"Whole", "Case", "Names", "Values"}) registry.SetDword(kUser, other, name, 0);
    EXPECT_EQ(Loaded(), "dd.MM.yyyy confirm 11 find 1111 '' options 0 0 0");
    EXPECT_FALSE(registry.HasKey(kUser, Path()) || registry.openKeys != 0);
    FindSettings unstored;  // what the Find dialog shows when nothing is stored
    LoadFindSettings(registry, GetParam(), &unstored);
    EXPECT_FALSE(unstored.whole || unstored.matchCase || unstored.names || unstored.values);
    struct Case { const char *storedTemplate, *separator, *band, *options; } cases[] = {  // null: absent
        {"yyyy.MM.dd", "/", "yyyy/MM/dd", "3 1"}, {nullptr, "/", "dd/MM/yyyy", "0 1"},
        {"MM.dd.yyyy", nullptr, "MM.dd.yyyy", "4 0"}, {"M.D.YYYY", "-", "M-D-YYYY", "6 2"},  // in any case
        {"yy.MM.dd", "/", "yy/MM/dd", "7 1"}, {"yyyy.MM", "_", "yyyy_MM", "0 0"},  // not a prefix
        {"0123456789012345678901234567890", nullptr, "0123456789012345678901234567890", "0 0"},  // 31 fits
        {"01234567890123456789012345678901", nullptr, "dd.MM.yyyy", "0 0"},                      // 32 does not
        {"dd.MM.yy", "1234567", "dd1234567MM1234567yy", "1 0"}, {"dd.MM.yy", "12345678", "dd.MM.yy", "1 0"},
    };
    for (const Case& c : cases) {
        registry = FakeRegistry();
        if (c.storedTemplate) registry.SetString(kUser, Path(), "DateTemplate", c.storedTemplate);
        if (c.separator) registry.SetString(kUser, Path(), "Separator", c.separator);
        EXPECT_EQ(Loaded(), c.band + std::string(" confirm 11 find 1111 '' options ") + c.options + " 0");
    }
    for (std::uint32_t v : {0u, 1u, 5u, 0xffffffffu}) {  // only zero asks for confirmation
        registry.SetDword(kUser, Path(), "DisableConfirmation", v);
        EXPECT_EQ(Loaded(), std::string("dd.MM.yy confirm ") + (v ? "00" : "11") + " find 1111 '' options 1 0 " +
                                (v ? "1" : "0")) << v;
    }
}

// Data of any shape must be read within its bounds and cut at the first
// zero byte; the type of a string is not examined, the size of a number is.
TEST_P(SettingsStoreTest, MalformedValuesStayWithinTheirData) {
    struct Case { std::vector<unsigned char> bytes; std::uint32_t type; const char* band; } cases[] = {
        {{'a', 'b', 'c'}, kRegSz, "ddabcMMabcyyyy"},                       // no terminator
        {{'-', 0, 'x', 'y'}, kRegSz, "dd-MM-yyyy"},                        // stops at the first zero
        {{}, kRegSz, "ddMMyyyy"}, {{'/', 0, 0, 0}, kRegDword, "dd/MM/yyyy"},
        {std::vector<unsigned char>(8, '-'), kRegSz, "dd.MM.yyyy"},      // 8 characters, unterminated
        {std::vector<unsigned char>(9, '-'), kRegBinary, "dd.MM.yyyy"},  // larger than the buffer
    };
    for (const Case& c : cases) {
        registry.SetRaw(kUser, Path(), "Separator", c.type, c.bytes);
        EXPECT_EQ(LoadBandSettings(registry, GetParam()).dateTemplate, c.band) << c.bytes.size();
    }
    registry.SetRaw(kUser, Path(), "Whole", kRegBinary, {0, 0, 0, 0, 0});  // five bytes do not fit
    registry.SetRaw(kUser, Path(), "Case", kRegSz, {0, 0, 0, 0});          // a string read as the number 0
    registry.SetDword(kUser, Path(), "Names", 0);
    EXPECT_EQ(Loaded(), "dd.MM.yyyy confirm 11 find 1001 '' options 0 0 0");
    RegKey key(registry);
    ASSERT_TRUE(OpenSettings(registry, GetParam(), key));
    std::uint32_t v = 77;  // an unreadable value must not keep an earlier result
    EXPECT_FALSE(ReadDword(key, "Whole", &v) || v != 0) << v;
}

TEST_P(SettingsStoreTest, WritersCreateTheKeyOnItsCreationPathOrWriteNothing) {
    registry.deniedPaths = {Path()};  // denied in any letter case, on the creation path too
    for (char& ch : registry.deniedPaths[0]) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_FALSE(SaveOptions(registry, GetParam(), OptionsState()) || SaveFindSettings(registry, GetParam(), {}));
    registry.deniedPaths.clear();
    ASSERT_TRUE(SaveOptions(registry, GetParam(), OptionsState{3, 2, true}));
    FindSettings find;  // unset boxes start unticked
    find.names = true;
    find.lastSearch = "needle";
    ASSERT_TRUE(SaveFindSettings(registry, GetParam(), find));
    EXPECT_EQ(Loaded().substr(Loaded().find(" find ")), " find 0010 'needle' options 3 2 1");
    find.names = false;
    ASSERT_TRUE(SaveFindSettings(registry, GetParam(), find));
    const FakeRegistry::Value* t = registry.Find(kUser, ChooseSettingsPaths(GetParam()).create, "DateTemplate");
    EXPECT_EQ(t ? std::string(t->data.begin(), t->data.end()) + std::to_string(t->type) : "none",
              std::string("yyyy.MM.dd\0" "1", 12));
    EXPECT_EQ(Loaded(), "yyyy-MM-dd confirm 00 find 0000 'needle' options 3 2 1");
    EXPECT_EQ(registry.openKeys, 0);
}

INSTANTIATE_TEST_SUITE_P(Systems, SettingsStoreTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "New" : "Old"; });

// The writers of the Options, Find and keep-list dialogs in each state the
// band runs in: the store of newer systems lies under AppDataLow, which a
// low process may write; the older one is a medium key.
class SettingsIn : public ::testing::TestWithParam<fakes::RightsState> {};

INSTANTIATE_TEST_SUITE_P(States, SettingsIn, ::testing::ValuesIn(fakes::kRightsStates),
                         [](const auto& info) { return std::to_string(info.index); });

TEST_P(SettingsIn, WritersReachTheStoreWhereTheProcessMayWrite) {
    const fakes::FakeProcessRights rights = GetParam().Rights();
    for (bool newSystem : {true, false}) {
        FakeRegistry registry;
        registry.rights = &rights;
        const bool writes = newSystem || GetParam().WritesMedium();
        EXPECT_EQ(SaveOptions(registry, newSystem, OptionsState{3, 2, true}), writes) << newSystem;
        FindSettings find;
        find.lastSearch = "needle";
        EXPECT_EQ(SaveFindSettings(registry, newSystem, find), writes) << newSystem;
        EXPECT_EQ(SaveCookiesToKeep(registry, newSystem, {"example.com"}), writes) << newSystem;
        FindSettings read;
        LoadFindSettings(registry, newSystem, &read);
        EXPECT_EQ(read.lastSearch, writes ? "needle" : "") << newSystem;
        EXPECT_EQ(LoadBandSettings(registry, newSystem).confirmDeletions, !writes) << newSystem;
        EXPECT_EQ(registry.openKeys, 0);
    }
}

TEST(OptionsModel, TheSampleShowsTheChosenEntriesOrTheFirstOutsideTheLists) {
    for (auto [t, s, sample] :
         {std::tuple{6, 2, "7-5-2024"}, {7, 1, "24/07/05"}, {8, -1, "05.07.2024"}, {-1, 3, "05.07.2024"}})
        EXPECT_EQ(OptionsSample({t, s, false}, {2024, 7, 5}), sample) << t << " " << s;
}

}  // namespace
}  // namespace tw
