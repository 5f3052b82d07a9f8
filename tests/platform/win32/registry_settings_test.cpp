// The options key in the real registry of the test prefix. Every test works
// below a key of its own, which the registry realisation takes as the
// current user's root.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/handles.h"
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
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  root_.Receive(), nullptr),
                  ERROR_SUCCESS);
        registry_.reset(new Win32Registry(root_.Get()));
    }
    void TearDown() override {
        registry_.reset();
        root_.Reset();
        SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    }

    bool KeyExists(const char* keyPath) {
        UniqueKey k;
        return RegOpenKeyExA(root_.Get(), keyPath, 0, KEY_READ, k.Receive()) == ERROR_SUCCESS;
    }

    std::string path_;
    UniqueKey root_;
    std::unique_ptr<Win32Registry> registry_;
};

// What the band reads from the values as stored, overlong, unterminated
// or of the wrong type: each bounded by its data whatever the platform adds.
TEST_F(RegistrySettings, ValuesAsStoredGiveTheDateTemplateAndConfirmation) {
    const char dashes[8] = {'-', '-', '-', '-', '-', '-', '-', '-'};
    const BYTE binary[3] = {'-', 0, 'x'};
    const DWORD five = 5;
    const char one[2] = {'1', 0};
    const struct {
        const char *name;
        DWORD type;
        const void* data;
        DWORD size;
        const char* dateTemplate;
        bool confirm;
    } rows[] = {
        {"DateTemplate", REG_SZ, "yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy", 33, "dd.MM.yyyy", true},  // overlong
        {"Separator", REG_SZ, dashes, 8, "dd.MM.yyyy", true},
        {"Separator", REG_SZ, "/", 1, "dd/MM/yyyy", true},  // unterminated
        {"Separator", REG_BINARY, binary, 3, "dd-MM-yyyy", true},
        {"DisableConfirmation", REG_DWORD, &five, 4, "dd.MM.yyyy", false},
        {"DisableConfirmation", REG_SZ, one, 2, "dd.MM.yyyy", false},  // taken as the number 0x31
        {"DisableConfirmation", REG_BINARY, dashes, 8, "dd.MM.yyyy", true},  // does not fit: unreadable
    };
    for (bool newSystem : {false, true}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (newSystem ? " new" : " old") + " " + row.dateTemplate);
            SHDeleteKeyA(root_.Get(), "Software");
            const char* key = ChooseSettingsPaths(newSystem).open;
            ASSERT_EQ(SHSetValueA(root_.Get(), key, row.name, row.type, row.data, row.size), ERROR_SUCCESS);
            const BandSettings band = LoadBandSettings(*registry_, newSystem);
            EXPECT_EQ(band.dateTemplate, row.dateTemplate);
            EXPECT_EQ(band.confirmDeletions, row.confirm);
            EXPECT_EQ(ReadConfirmDeletions(*registry_, newSystem), row.confirm);
        }
    }
}

// The old system's creation path differs only in case from its opening
// path; the registry makes them one key.
TEST_F(RegistrySettings, PathsFollowTheVersion) {
    OptionsState state;
    state.templateIndex = 4;
    ASSERT_TRUE(SaveOptions(*registry_, false, state));
    EXPECT_TRUE(KeyExists("Software\\RaRidezaz\\Tidewell") && !KeyExists("Software\\AppDataLow"));
    state.templateIndex = 7;
    ASSERT_TRUE(SaveOptions(*registry_, true, state));
    EXPECT_TRUE(KeyExists("Software\\AppDataLow\\Software\\RaRidezaz\\Tidewell"));
    EXPECT_EQ(LoadBandSettings(*registry_, false).dateTemplate + " " + LoadBandSettings(*registry_, true).dateTemplate,
              "MM.dd.yyyy yy.MM.dd");
}

}  // namespace
}  // namespace tw
