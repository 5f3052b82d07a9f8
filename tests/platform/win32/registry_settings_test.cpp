// The options key in the real registry of the test prefix. Every test works
// below a key of its own, which the registry realisation takes as the
// current user's root.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_registry.h"
#include "settings/options_model.h"
#include "settings/settings_store.h"

namespace tw {
namespace {

class RegistrySettings : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = "Software\\TidewellTests\\settings-" + std::to_string(GetCurrentProcessId()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_,
                                  nullptr),
                  ERROR_SUCCESS);
        registry_.reset(new Win32Registry(root_));
    }
    void TearDown() override {
        registry_.reset();
        RegCloseKey(root_);
        SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    }

    // Writes a value as raw bytes, below the test's root.
    void Put(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size) {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(root_, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(k);
    }
    void PutString(bool newSystem, const char* name, const std::string& text) {
        Put(ChooseSettingsPaths(newSystem).open, name, REG_SZ, text.c_str(), DWORD(text.size() + 1));
    }
    void PutDword(bool newSystem, const char* name, DWORD v) {
        Put(ChooseSettingsPaths(newSystem).open, name, REG_DWORD, &v, sizeof v);
    }
    bool KeyExists(const char* keyPath) {
        HKEY k = nullptr;
        if (RegOpenKeyExA(root_, keyPath, 0, KEY_READ, &k) != ERROR_SUCCESS)
            return false;
        RegCloseKey(k);
        return true;
    }

    std::string path_;
    HKEY root_ = nullptr;
    std::unique_ptr<Win32Registry> registry_;
};

TEST_F(RegistrySettings, NoKeyGivesDefaultsAndCreatesNothing) {
    for (bool newSystem : {false, true}) {
        const BandSettings band = LoadBandSettings(*registry_, newSystem);
        EXPECT_TRUE(band.confirmDeletions);
        EXPECT_EQ(band.dateTemplate, "dd.MM.yyyy");
        FindSettings find;
        LoadFindSettings(*registry_, newSystem, &find);
        EXPECT_FALSE(find.whole || find.matchCase || find.names || find.values);
        EXPECT_EQ(find.lastSearch, "");
    }
    EXPECT_FALSE(KeyExists("Software"));
}

TEST_F(RegistrySettings, OverlongValuesAreIgnored) {
    PutString(true, "DateTemplate", std::string(32, 'y'));
    PutString(true, "Separator", "-------/");
    EXPECT_EQ(LoadBandSettings(*registry_, true).dateTemplate, "dd.MM.yyyy");
    PutString(true, "DateTemplate", "yy.MM.dd");
    EXPECT_EQ(LoadBandSettings(*registry_, true).dateTemplate, "yy.MM.dd");
    PutString(true, "Separator", "/");
    EXPECT_EQ(LoadBandSettings(*registry_, true).dateTemplate, "yy/MM/dd");
}

TEST_F(RegistrySettings, SeparatorWithoutTemplateAppliesToTheDefault) {
    PutString(false, "Separator", "/");
    EXPECT_EQ(LoadBandSettings(*registry_, false).dateTemplate, "dd/MM/yyyy");
}

TEST_F(RegistrySettings, DisableConfirmationFiveMeansDoNotAsk) {
    PutDword(true, "DisableConfirmation", 5);
    EXPECT_FALSE(LoadBandSettings(*registry_, true).confirmDeletions);
    EXPECT_FALSE(ReadConfirmDeletions(*registry_, true));
    EXPECT_TRUE(LoadOptions(*registry_, true).disableConfirmation);
    PutDword(true, "DisableConfirmation", 0);
    EXPECT_TRUE(ReadConfirmDeletions(*registry_, true));
}

// Strings stored without their terminator, and values of the wrong type,
// come back bounded by their data whatever the platform adds.
TEST_F(RegistrySettings, UnterminatedAndMistypedValuesStayBounded) {
    const char dashes[8] = {'-', '-', '-', '-', '-', '-', '-', '-'};
    Put(ChooseSettingsPaths(true).open, "Separator", REG_SZ, dashes, 8);
    EXPECT_EQ(LoadBandSettings(*registry_, true).dateTemplate, "dd.MM.yyyy");
    Put(ChooseSettingsPaths(true).open, "Separator", REG_SZ, "/", 1);
    EXPECT_EQ(LoadBandSettings(*registry_, true).dateTemplate, "dd/MM/yyyy");
    const BYTE binary[3] = {'-', 0, 'x'};
    Put(ChooseSettingsPaths(true).open, "Separator", REG_BINARY, binary, 3);
    EXPECT_EQ(LoadBandSettings(*registry_, true).dateTemplate, "dd-MM-yyyy");
    const char two[2] = {'1', 0};
    Put(ChooseSettingsPaths(true).open, "DisableConfirmation", REG_SZ, two, 2);
    EXPECT_FALSE(LoadBandSettings(*registry_, true).confirmDeletions);  // taken as the number 0x31
    Put(ChooseSettingsPaths(true).open, "DisableConfirmation", REG_BINARY, dashes, 8);
    EXPECT_TRUE(LoadBandSettings(*registry_, true).confirmDeletions);  // does not fit: unreadable
}

TEST_F(RegistrySettings, PathsFollowTheVersion) {
    OptionsState state;
    state.templateIndex = 4;
    ASSERT_TRUE(SaveOptions(*registry_, false, state));
    // The old system's creation path differs only in case from its opening
    // path; the registry makes them one key.
    EXPECT_TRUE(KeyExists("Software\\RaRidezaz\\Tidewell"));
    EXPECT_FALSE(KeyExists("Software\\AppDataLow"));
    EXPECT_EQ(LoadBandSettings(*registry_, false).dateTemplate, "MM.dd.yyyy");
    EXPECT_EQ(LoadBandSettings(*registry_, true).dateTemplate, "dd.MM.yyyy");

    state.templateIndex = 7;
    ASSERT_TRUE(SaveOptions(*registry_, true, state));
    EXPECT_TRUE(KeyExists("Software\\AppDataLow\\Software\\RaRidezaz\\Tidewell"));
    EXPECT_EQ(LoadBandSettings(*registry_, true).dateTemplate, "yy.MM.dd");
    EXPECT_EQ(LoadBandSettings(*registry_, false).dateTemplate, "MM.dd.yyyy");
}

TEST_F(RegistrySettings, FindStateRoundTrips) {
    FindSettings saved;
    saved.matchCase = saved.names = true;
    saved.lastSearch = std::string(259, 'q');
    ASSERT_TRUE(SaveFindSettings(*registry_, true, saved));
    FindSettings loaded;
    LoadFindSettings(*registry_, true, &loaded);
    EXPECT_TRUE(loaded.matchCase && loaded.names);
    EXPECT_FALSE(loaded.whole || loaded.values);
    EXPECT_EQ(loaded.lastSearch, saved.lastSearch);
}

}  // namespace
}  // namespace tw
