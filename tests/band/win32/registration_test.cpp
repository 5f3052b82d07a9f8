#include <windows.h>
#include <oleauto.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "band/guids.h"
#include "tests/band/win32/test_module.h"

namespace tw {
namespace test {
namespace {

const std::string kClassKey = std::string("CLSID\\") + TW_CLSID_ExplorerBar;
const std::string kExtensions = "Software\\Microsoft\\Internet Explorer\\Extensions";
const std::string kButtonKey = kExtensions + "\\" + TW_GUID_ButtonExtension;
const std::string kRetiredKey = std::string("CLSID\\") + TW_CLSID_Retired;
const std::string kPostSetup =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\Component Categories\\";

std::vector<std::string> ClassTree() {
    const std::string path = Narrow(TheModule().path);
    std::vector<std::string> keys = {
        "|=Tidewell",
        "Implemented Categories",
        std::string("Implemented Categories\\") + TW_CATID_CommBand,
        "InprocServer32",
        "InprocServer32|=" + path,
        "InprocServer32|ThreadingModel=Apartment",
        "ProgID",
        "ProgID|=Tidewell.ExplorerBar.1",
        "Programmable",
        "TypeLib",
        std::string("TypeLib|=") + TW_LIBID_TidewellLib,
        "VersionIndependentProgID",
        "VersionIndependentProgID|=Tidewell.ExplorerBar",
    };
    std::sort(keys.begin(), keys.end());
    return keys;
}

std::vector<std::string> ButtonTree() {
    const std::string path = Narrow(TheModule().path);
    std::vector<std::string> keys = {
        std::string("|BandCLSID=") + TW_CLSID_ExplorerBar,
        "|ButtonText=Tidewell",
        std::string("|CLSID=") + TW_CLSID_BandButtonHandler,
        "|HotIcon=" + path + ",802",
        "|Icon=" + path + ",801",
    };
    std::sort(keys.begin(), keys.end());
    return keys;
}

void CreateKey(HKEY root, const std::string& path) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << path;
    RegSetValueExA(key, "Stale", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(key);
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

TEST_F(RegistrationTest, WritesTheScriptAndTheCategory) {
    ASSERT_EQ(RunRegsvr32(false), 0);
    EXPECT_EQ(RegistryTree(HKEY_CLASSES_ROOT, kClassKey), ClassTree());
    EXPECT_EQ(RegistryTree(HKEY_LOCAL_MACHINE, kButtonKey), ButtonTree());
    const std::vector<std::string> progId = {std::string("CLSID"), std::string("CLSID|=") + TW_CLSID_ExplorerBar,
                                             "|=Tidewell"};
    std::vector<std::string> expected = progId;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(RegistryTree(HKEY_CLASSES_ROOT, "Tidewell.ExplorerBar.1"), expected);
    expected = progId;
    expected.push_back("CurVer");
    expected.push_back("CurVer|=Tidewell.ExplorerBar.1");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(RegistryTree(HKEY_CLASSES_ROOT, "Tidewell.ExplorerBar"), expected);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, std::string("TypeLib\\") + TW_LIBID_TidewellLib + "\\1.0"));
}

TEST_F(RegistrationTest, TwiceLeavesOneFreshCopy) {
    ASSERT_EQ(RunRegsvr32(false), 0);
    // Left-overs under the force-removed keys go with the second run.
    CreateKey(HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32\\Stray");
    CreateKey(HKEY_LOCAL_MACHINE, kButtonKey + "\\Stray");
    ASSERT_EQ(RunRegsvr32(false), 0);
    EXPECT_EQ(RegistryTree(HKEY_CLASSES_ROOT, kClassKey), ClassTree());
    EXPECT_EQ(RegistryTree(HKEY_LOCAL_MACHINE, kButtonKey), ButtonTree());
}

TEST_F(RegistrationTest, ClearsTheCachedCategoryEnumerations) {
    const std::string caches[] = {kPostSetup + TW_CATID_InfoBand + "\\Enum", kPostSetup + TW_CATID_CommBand + "\\Enum"};
    for (const std::string& key : caches) CreateKey(HKEY_CURRENT_USER, key + "\\Sub");
    const std::string deskBands = std::string("Component Categories\\") + TW_CATID_DeskBand + "\\Enum";
    CreateKey(HKEY_CLASSES_ROOT, deskBands);
    ASSERT_EQ(RunRegsvr32(false), 0);
    for (const std::string& key : caches) {
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key)) << key;
        // Only the cache goes: its category key stays.
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, key.substr(0, key.rfind('\\')))) << key;
    }
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, deskBands));
    // Missing caches are no error either.
    ASSERT_EQ(RunRegsvr32(false), 0);
}

TEST_F(RegistrationTest, UnregistrationRemovesItAllButTheSharedKeys) {
    ASSERT_EQ(RunRegsvr32(false), 0);
    ASSERT_EQ(RunRegsvr32(true), 0);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Tidewell.ExplorerBar"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Tidewell.ExplorerBar.1"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kButtonKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("TypeLib\\") + TW_LIBID_TidewellLib));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kExtensions));
}

TEST_F(RegistrationTest, UnregistrationRemovesTheRetiredClassWhenBare) {
    CreateKey(HKEY_CLASSES_ROOT, kRetiredKey);
    ASSERT_EQ(RunRegsvr32(true), 0);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kRetiredKey));

    CreateKey(HKEY_CLASSES_ROOT, kRetiredKey + "\\InprocServer32");
    ASSERT_EQ(RunRegsvr32(true), 0);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kRetiredKey));  // one key only, never a tree
    SHDeleteKeyA(HKEY_CLASSES_ROOT, kRetiredKey.c_str());
}

// Registered, the band is what the browser finds by its class and ProgID,
// and it describes itself from the registered type library.
TEST_F(RegistrationTest, RegisteredBandIsCreatedByClassAndDescribed) {
    ASSERT_EQ(RunRegsvr32(false), 0);
    CLSID byName = {};
    ASSERT_EQ(CLSIDFromProgID(L"Tidewell.ExplorerBar", &byName), S_OK);
    EXPECT_TRUE(IsEqualCLSID(byName, kClsidExplorerBar));

    IDispatch* band = nullptr;
    ASSERT_EQ(CoCreateInstance(kClsidExplorerBar, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&band)),
              S_OK);
    ITypeInfo* info = nullptr;
    ASSERT_EQ(band->GetTypeInfo(0, 0, &info), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, kIidIExplorerBar));
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    // IDispatch's seven slots and no members of its own.
    EXPECT_EQ(attr->cbSizeVft, 7 * sizeof(void*));
    info->ReleaseTypeAttr(attr);
    BSTR name = nullptr;
    EXPECT_EQ(info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"IExplorerBar");
    SysFreeString(name);
    info->Release();

    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"Refresh")};
    DISPID id = 0;
    EXPECT_EQ(band->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(band->Release(), 0u);
    CoFreeUnusedLibraries();

    ITypeLib* library = nullptr;
    ASSERT_EQ(LoadRegTypeLib(kLibidTidewell, 1, 0, 0, &library), S_OK);
    ITypeInfo* button = nullptr;
    EXPECT_EQ(library->GetTypeInfoOfGuid(kClsidStartButton, &button), S_OK);
    if (button) button->Release();
    BSTR doc = nullptr;
    EXPECT_EQ(library->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"TIDEWELLLib");
    EXPECT_STREQ(doc, L"Tidewell 1.0 Type Library");
    SysFreeString(name);
    SysFreeString(doc);
    library->Release();
}

// The module's own entry points give the same results in this process.
TEST_F(RegistrationTest, EntryPointsAnswerTheCategoryStep) {
    ASSERT_NE(TheModule().registerServer, nullptr);
    EXPECT_EQ(TheModule().registerServer(), S_OK);
    EXPECT_EQ(RegistryTree(HKEY_CLASSES_ROOT, kClassKey), ClassTree());
    EXPECT_EQ(TheModule().unregisterServer(), S_OK);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
}

}  // namespace
}  // namespace test
}  // namespace tw
