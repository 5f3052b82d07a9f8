#include <windows.h>
#include <oleauto.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "band/guids.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/handles.h"
#include "tests/band/win32/test_module.h"

namespace tw {
namespace test {
namespace {

const std::string kClassKey = std::string("CLSID\\") + TW_CLSID_ExplorerBar;
const std::string kExtensions = "Software\\Microsoft\\Internet Explorer\\Extensions";
const std::string kButtonKey = kExtensions + "\\" + TW_GUID_ButtonExtension;
const std::string kRetiredKey = std::string("CLSID\\") + TW_CLSID_Retired;
const std::string kTypeLibKey = std::string("TypeLib\\") + TW_LIBID_TidewellLib;

std::vector<std::string> Sorted(std::vector<std::string> keys) {
    std::sort(keys.begin(), keys.end());
    return keys;
}

void CreateKey(HKEY root, const std::string& path) {
    UniqueKey key;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr),
              ERROR_SUCCESS)
        << path;
    RegSetValueExA(key.Get(), "Stale", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
}

class RegistrationTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        ASSERT_EQ(RunRegsvr32(true), 0);
    }
    void TearDown() override {
        EXPECT_EQ(RunRegsvr32(true), 0);
        ServerTest::TearDown();
    }
};

// A second run replaces left-overs under the force-removed keys.
TEST_F(RegistrationTest, WritesOneFreshCopyOfTheScript) {
    ASSERT_EQ(RunRegsvr32(false), 0);
    CreateKey(HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32\\Stray");
    CreateKey(HKEY_LOCAL_MACHINE, kButtonKey + "\\Stray");
    ASSERT_EQ(RunRegsvr32(false), 0);
    const std::string path = Narrow(TheModule().path);
    EXPECT_EQ(RegistryTree(HKEY_CLASSES_ROOT, kClassKey),
              Sorted({"|=Tidewell", "Implemented Categories", std::string("Implemented Categories\\") + TW_CATID_CommBand,
                      "InprocServer32", "InprocServer32|=" + path, "InprocServer32|ThreadingModel=Apartment", "ProgID",
                      "ProgID|=Tidewell.ExplorerBar.1", "Programmable", "TypeLib",
                      std::string("TypeLib|=") + TW_LIBID_TidewellLib, "VersionIndependentProgID",
                      "VersionIndependentProgID|=Tidewell.ExplorerBar"}));
    EXPECT_EQ(RegistryTree(HKEY_LOCAL_MACHINE, kButtonKey),
              Sorted({std::string("|BandCLSID=") + TW_CLSID_ExplorerBar, "|ButtonText=Tidewell",
                      std::string("|CLSID=") + TW_CLSID_BandButtonHandler, "|HotIcon=" + path + ",802",
                      "|Icon=" + path + ",801"}));
    const std::vector<std::string> progId = {"CLSID", std::string("CLSID|=") + TW_CLSID_ExplorerBar, "|=Tidewell"};
    EXPECT_EQ(RegistryTree(HKEY_CLASSES_ROOT, "Tidewell.ExplorerBar.1"), Sorted(progId));
    std::vector<std::string> current = progId;
    current.insert(current.end(), {"CurVer", "CurVer|=Tidewell.ExplorerBar.1"});
    EXPECT_EQ(RegistryTree(HKEY_CLASSES_ROOT, "Tidewell.ExplorerBar"), Sorted(current));
}

// Each cleared cache leaves its own category key, and nothing else goes.
TEST_F(RegistrationTest, ClearsEachCategorysCachedEnumerationOnly) {
    const std::string postSetup =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\Component Categories\\";
    const struct {
        HKEY root;
        std::string category;
    } caches[] = {{HKEY_CURRENT_USER, postSetup + TW_CATID_InfoBand},
                  {HKEY_CURRENT_USER, postSetup + TW_CATID_CommBand},
                  {HKEY_CLASSES_ROOT, std::string("Component Categories\\") + TW_CATID_DeskBand}};
    for (const auto& c : caches) CreateKey(c.root, c.category + "\\Enum\\Sub");
    CreateKey(HKEY_CURRENT_USER, postSetup + "{00000000-0000-0000-0000-000000000000}\\Enum");
    ASSERT_EQ(RunRegsvr32(false), 0);
    for (const auto& c : caches) {
        EXPECT_FALSE(KeyExists(c.root, c.category + "\\Enum")) << c.category;
        EXPECT_TRUE(KeyExists(c.root, c.category)) << c.category;
    }
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, postSetup + "{00000000-0000-0000-0000-000000000000}\\Enum"));
    SHDeleteKeyA(HKEY_CURRENT_USER, (postSetup + "{00000000-0000-0000-0000-000000000000}").c_str());
    ASSERT_EQ(RunRegsvr32(false), 0) << "missing caches are no error";
}

TEST_F(RegistrationTest, UnregistrationRemovesItAllButTheSharedKeysAndABareRetiredClass) {
    ASSERT_EQ(RunRegsvr32(false), 0);
    CreateKey(HKEY_CLASSES_ROOT, kRetiredKey);
    ASSERT_EQ(RunRegsvr32(true), 0);
    for (const std::string& key : {kClassKey, std::string("Tidewell.ExplorerBar"), std::string("Tidewell.ExplorerBar.1"),
                                   kTypeLibKey, kRetiredKey})
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << key;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kButtonKey));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kExtensions));

    CreateKey(HKEY_CLASSES_ROOT, kRetiredKey + "\\InprocServer32");
    ASSERT_EQ(RunRegsvr32(true), 0);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kRetiredKey)) << "one key only, never a tree";
    SHDeleteKeyA(HKEY_CLASSES_ROOT, kRetiredKey.c_str());
}

// Registered, the band describes itself from the type library. That the
// browser creates it by class is the stand-in's run to show.
TEST_F(RegistrationTest, RegisteredBandIsDescribed) {
    ASSERT_EQ(RunRegsvr32(false), 0);
    ComPtr<IDispatch> band = NewBand<IDispatch>(IID_IDispatch);
    ASSERT_TRUE(band);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(band->GetTypeInfo(0, 0, info.Receive()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, kIidIExplorerBar));
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    EXPECT_EQ(attr->cbSizeVft, 7 * sizeof(void*));  // IDispatch's slots, no members of its own
    info->ReleaseTypeAttr(attr);
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"Refresh")};
    DISPID id = 0;
    EXPECT_EQ(band->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadRegTypeLib(kLibidTidewell, 1, 0, 0, library.Receive()), S_OK);
    EXPECT_EQ(library->GetTypeInfoOfGuid(kClsidStartButton, info.Receive()), S_OK);
}

}  // namespace
}  // namespace test
}  // namespace tw
