// The options key in the real registry of the test prefix, below a key of
// the test's own that the registry realisation takes as the current user's
// root.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/win32_registry.h"
#include "settings/settings_store.h"

namespace tw {
namespace {

// A fresh key of the test's own, gone with everything below it when it goes.
class PrivateUserKey {
public:
    PrivateUserKey() : tree_{"Software\\TidewellTests\\settings-" + std::to_string(GetCurrentProcessId())} {
        SHDeleteKeyA(HKEY_CURRENT_USER, tree_.path.c_str());
        RegCreateKeyExA(HKEY_CURRENT_USER, tree_.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        key_.Receive(), nullptr);
    }
    HKEY Get() const { return key_.Get(); }

private:
    // Declared before the key, so that the key is closed before its tree goes.
    struct Tree {
        std::string path;
        ~Tree() { SHDeleteKeyA(HKEY_CURRENT_USER, path.c_str()); }
    };
    Tree tree_;
    UniqueKey key_;
};

// What the band reads from the values as stored, overlong, unterminated
// or of the wrong type: each bounded by its data whatever the platform adds.
TEST(RegistrySettings, ValuesAsStoredGiveTheDateTemplateAndConfirmation) {
    const PrivateUserKey root;
    ASSERT_TRUE(root.Get());
    Win32Registry registry(root.Get());
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
            SHDeleteKeyA(root.Get(), "Software");
            const char* key = ChooseSettingsPaths(newSystem).open;
            ASSERT_EQ(SHSetValueA(root.Get(), key, row.name, row.type, row.data, row.size), ERROR_SUCCESS);
            const BandSettings band = LoadBandSettings(registry, newSystem);
            EXPECT_EQ(band.dateTemplate, row.dateTemplate);
            EXPECT_EQ(band.confirmDeletions, row.confirm);
            EXPECT_EQ(ReadConfirmDeletions(registry, newSystem), row.confirm);
        }
    }
}

}  // namespace
}  // namespace tw
