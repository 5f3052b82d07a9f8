// The server as a module: its class objects, its resources, what regsvr32
// writes and removes, and the stand-in browser hosting it as a separate
// process, where a screen reader in a third one reads and works it.
#include <windows.h>
#include <oleauto.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "band/guids.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/handles.h"
#include "res/resource.h"
#include "tests/band/win32/test_module.h"

namespace tw {
namespace test {
namespace {

const std::string kClassKey = std::string("CLSID\\") + TW_CLSID_ExplorerBar;
const std::string kExtensions = "Software\\Microsoft\\Internet Explorer\\Extensions";
const std::string kButtonKey = kExtensions + "\\" + TW_GUID_ButtonExtension;
const std::string kPolicies = "Software\\Microsoft\\Internet Explorer\\Low Rights\\ElevationPolicy";
const std::string kPolicyKey = kPolicies + "\\" + TW_GUID_BrokerPolicy;
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
    CreateKey(HKEY_LOCAL_MACHINE, kPolicyKey + "\\Stray");
    ASSERT_EQ(RunRegsvr32(false), 0);
    const std::string path = Narrow(TheModule().path);
    EXPECT_EQ(RegistryTree(HKEY_CLASSES_ROOT, kClassKey),
              Sorted({"|=Tidewell", "Implemented Categories",
                      std::string("Implemented Categories\\") + TW_CATID_CommBand, "InprocServer32",
                      "InprocServer32|=" + path, "InprocServer32|ThreadingModel=Apartment", "ProgID",
                      "ProgID|=Tidewell.ExplorerBar.1", "Programmable", "TypeLib",
                      std::string("TypeLib|=") + TW_LIBID_TidewellLib, "VersionIndependentProgID",
                      "VersionIndependentProgID|=Tidewell.ExplorerBar"}));
    EXPECT_EQ(RegistryTree(HKEY_LOCAL_MACHINE, kButtonKey),
              Sorted({std::string("|BandCLSID=") + TW_CLSID_ExplorerBar, "|ButtonText=Tidewell",
                      std::string("|CLSID=") + TW_CLSID_BandButtonHandler, "|HotIcon=" + path + ",802",
                      "|Icon=" + path + ",801"}));
    // The broker beside the module starts from the browser's low process
    // silently at medium integrity.
    const std::string folder = path.substr(0, path.rfind('\\'));
    EXPECT_EQ(RegistryTree(HKEY_LOCAL_MACHINE, kPolicyKey),
              Sorted({std::string("|AppName=") + TW_BROKER_FILE, "|AppPath=" + folder, "|Policy=dword:3"}));
    const std::vector<std::string> progId = {"CLSID", std::string("CLSID|=") + TW_CLSID_ExplorerBar, "|=Tidewell"};
    EXPECT_EQ(RegistryTree(HKEY_CLASSES_ROOT, "Tidewell.ExplorerBar.1"), Sorted(progId));
    std::vector<std::string> current = progId;
    current.insert(current.end(), {"CurVer", "CurVer|=Tidewell.ExplorerBar.1"});
    EXPECT_EQ(RegistryTree(HKEY_CLASSES_ROOT, "Tidewell.ExplorerBar"), Sorted(current));
    // The type library the class names is registered, with both its classes.
    ComPtr<ITypeLib> library;
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(LoadRegTypeLib(kLibidTidewell, 1, 0, 0, library.Receive()), S_OK);
    EXPECT_EQ(library->GetTypeInfoOfGuid(kClsidStartButton, info.Receive()), S_OK);
    EXPECT_EQ(library->GetTypeInfoOfGuid(kIidIExplorerBar, info.Receive()), S_OK);
}

TEST_F(RegistrationTest, UnregistrationRemovesItAllButTheSharedKeysAndABareRetiredClass) {
    ASSERT_EQ(RunRegsvr32(false), 0);
    CreateKey(HKEY_CLASSES_ROOT, kRetiredKey);
    ASSERT_EQ(RunRegsvr32(true), 0);
    const std::string gone[] = {kClassKey, "Tidewell.ExplorerBar", "Tidewell.ExplorerBar.1", kTypeLibKey, kRetiredKey};
    for (const std::string& key : gone)
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << key;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kButtonKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kPolicyKey));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID") && KeyExists(HKEY_LOCAL_MACHINE, kExtensions) &&
                KeyExists(HKEY_LOCAL_MACHINE, kPolicies));
    CreateKey(HKEY_CLASSES_ROOT, kRetiredKey + "\\InprocServer32");
    ASSERT_EQ(RunRegsvr32(true), 0);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kRetiredKey)) << "one key only, never a tree";
    SHDeleteKeyA(HKEY_CLASSES_ROOT, kRetiredKey.c_str());
}

// The stand-in's exit code, then its record's "key value" lines but the
// band window's size (the stand-in's own layout) and the status texts
// (the lists' work, and there only once they are filled in time).
std::vector<std::string> RunStandIn(const wchar_t* quitAfter) {
    const char record[] = "standin-record.txt";
    DeleteFileA(record);
    const int code = RunProcess(L"\"" + WindowsPathFromEnv("TW_STANDIN") + L"\" --quit-after " + quitAfter +
                                L" --record standin-record.txt");
    std::vector<std::string> lines = {"exit " + std::to_string(code)};
    std::ifstream in(record);
    for (std::string line; std::getline(in, line);)
        if (line.compare(0, 17, "band-window-size ") != 0 && line.compare(0, 7, "status ") != 0)
            lines.push_back(line);
    in.close();
    DeleteFileA(record);
    return lines;
}

// The band created by class, sited, described, shown and let go: nothing
// of the browser or the site stays referenced once it goes.
TEST_F(RegistrationTest, TheStandInHostsTheRegisteredBandAndWithoutRegistrationThereIsNone) {
    ASSERT_FALSE(WindowsPathFromEnv("TW_STANDIN").empty()) << "TW_STANDIN names the stand-in browser";
    ASSERT_EQ(RunRegsvr32(false), 0);
    EXPECT_EQ(RunStandIn(L"1500"),
              (std::vector<std::string>{"exit 0", "create 0x00000000", "set-site 0x00000000", "band-info 0x00000000",
                                        "band-title Tidewell", "band-min 100 200", "band-mask 63", "show 0x00000000",
                                        "band-window-text TidewellSuperClass", "band-window-class TidewellBandWindow",
                                        "band-window-visible 1", "band-window-parent-is-site 1", "band-released 0",
                                        "browser-refs 1", "site-refs 1"}));
    ASSERT_EQ(RunRegsvr32(true), 0);
    EXPECT_EQ(RunStandIn(L"200"), (std::vector<std::string>{"exit 1", "create 0x80040154",  // REGDB_E_CLASSNOTREG
                                                            "browser-refs 1", "site-refs 1"}));
}

// The stand-in history store, copied beside pages of the test's own and
// registered in place of the browser's store, whose registration comes back
// when the guard goes: Wine's store lists no pages.
class HistoryStandIn {
public:
    explicit HistoryStandIn(const char* pages) {
        wchar_t dir[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, dir);
        dir_ = std::wstring(dir) + L"tw-history";
        CreateDirectoryW(dir_.c_str(), nullptr);
        std::ofstream(Narrow(dir_ + L"\\history.txt"), std::ios::binary) << pages;
        wchar_t saved[MAX_PATH] = L"";
        DWORD size = sizeof saved;
        if (RegGetValueW(HKEY_CLASSES_ROOT, kServerKey, nullptr, RRF_RT_REG_SZ, nullptr, saved, &size) == ERROR_SUCCESS)
            saved_ = saved;
        registered_ = CopyFileW(WindowsPathFromEnv("TW_HISTORY").c_str(), Module().c_str(), FALSE) &&
                      RunProcess(L"regsvr32.exe /s \"" + Module() + L"\"") == 0;
    }
    ~HistoryStandIn() {
        if (!saved_.empty())
            RegSetKeyValueW(HKEY_CLASSES_ROOT, kServerKey, nullptr, REG_SZ, saved_.c_str(),
                            DWORD((saved_.size() + 1) * sizeof(wchar_t)));
        DeleteFileW(Module().c_str());
        DeleteFileW((dir_ + L"\\history.txt").c_str());
        RemoveDirectoryW(dir_.c_str());
    }
    bool Registered() const { return registered_ && !saved_.empty(); }

private:
    static constexpr const wchar_t* kServerKey = L"CLSID\\{3C374A40-BAE4-11CF-BF7D-00AA006946EE}\\InprocServer32";
    std::wstring Module() const { return dir_ + L"\\tidewell-history.dll"; }
    std::wstring dir_;
    std::wstring saved_;
    bool registered_ = false;
};

// The lines of a text file, each cut to at most `keep` characters.
std::vector<std::string> LinesOf(const char* path, std::size_t keep) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.substr(0, keep));
    return lines;
}

// The band as the browser hosts it, read and worked by a screen reader in
// a process of its own: the History list reads as a list of its pages, the
// tab strip as three named tabs, and Alt, then Down opens the File menu.
TEST_F(RegistrationTest, AReaderInAnotherProcessReadsAndWorksTheBandInTheStandIn) {
    HistoryStandIn history("http://a.example/\tAlpha page\t2024-05-02\nhttp://b.example/x\t\t2024-05-03\n");
    ASSERT_TRUE(history.Registered());
    ASSERT_EQ(RunRegsvr32(false), 0);
    DeleteFileA("standin-ready.txt");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring command = L"\"" + WindowsPathFromEnv("TW_STANDIN") + L"\" --quit-after 60000 --ready standin-ready.txt";
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    const UniqueKernelHandle thread(process.hThread), standIn(process.hProcess);
    for (int tries = 0; tries < 300 && GetFileAttributesA("standin-ready.txt") == INVALID_FILE_ATTRIBUTES; ++tries)
        Sleep(100);
    // The History list fills half a second after the band opens.
    const std::wstring reader = L"\"" + WindowsPathFromEnv("TW_READER") + L"\" --out reader.txt";
    std::vector<std::string> read;
    for (int tries = 0; tries < 50 && (read.empty() || read.front() != "list \"History\" role 33, 2 children"); ++tries) {
        Sleep(100);
        RunProcess(reader);
        read = LinesOf("reader.txt", 200);
    }
    EXPECT_EQ(RunProcess(reader + L" --keys"), 0);
    std::vector<std::string> lines = LinesOf("reader.txt", 200);
    // The dates in a row's name are the list's work: the name up to its address.
    for (std::size_t row : {1, 2})
        if (lines.size() > row)
            lines[row] = lines[row].substr(0, lines[row].find(", ", lines[row].find("http")));
    EXPECT_EQ(lines, (std::vector<std::string>{"list \"History\" role 33, 2 children", "list 1: Alpha page, http://a.example/",
                                               "list 2: Untitled, http://b.example/x",
                                               "tabs \"Tabs\" role 60, 3 children: History | Cookies | Cache",
                                               "bar \"Menu bar\" role 2, 5 children: File | Clean | Edit | Settings | Help",
                                               "alt, down: File hot pressed, menu open", "esc, esc: File not hot, no menu"}));
    PostMessageA(FindWindowA("TidewellStandInFrame", nullptr), WM_CLOSE, 0, 0);
    DWORD code = DWORD(-1);
    EXPECT_EQ(WaitForSingleObject(standIn.Get(), 30000), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeProcess(standIn.Get(), &code) && code == 0);
    DeleteFileA("reader.txt");
    DeleteFileA("standin-ready.txt");
}

class ModuleTest : public ServerTest {};

TEST_F(ModuleTest, ClassObjectAndCreateInstanceRefuseBadRequests) {
    EXPECT_EQ(TheModule().getClassObject(kClsidExplorerBar, IID_IClassFactory, nullptr), E_POINTER);
    const ComPtr<IClassFactory> factory = Factory();
    ASSERT_TRUE(factory);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDeskBand, nullptr), E_POINTER);
    int notAnObject = 0;  // never called: the request is refused first
    const struct {
        const CLSID* clsid;
        const IID* iid;
        IUnknown* outer;
        HRESULT expected;
    } rows[] = {
        {&kClsidStartButton, &IID_IClassFactory, nullptr, CLASS_E_CLASSNOTAVAILABLE},  // in the type library only
        {&IID_IUnknown, &IID_IClassFactory, nullptr, CLASS_E_CLASSNOTAVAILABLE},
        {&kClsidExplorerBar, &IID_IDeskBand, nullptr, E_NOINTERFACE},
        {nullptr, &IID_IDeskBand, reinterpret_cast<IUnknown*>(&notAnObject), CLASS_E_NOAGGREGATION},
        {nullptr, &IID_IInputObject, nullptr, E_NOINTERFACE},  // the new band is destroyed again
    };
    for (const auto& row : rows) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(row.clsid ? TheModule().getClassObject(*row.clsid, *row.iid, &out)
                            : factory->CreateInstance(row.outer, *row.iid, &out),
                  row.expected);
        EXPECT_EQ(out, nullptr);
    }
}

// One factory for the module; the module stays while a factory reference,
// a band or a lock is out (and goes after, as every test checks).
TEST_F(ModuleTest, UnloadWaitsForFactoriesBandsAndLocks) {
    ComPtr<IClassFactory> factory = Factory();
    EXPECT_EQ(Factory().Get(), factory.Get());
    EXPECT_EQ(TheModule().canUnloadNow(), S_FALSE);  // a factory reference
    ComPtr<IUnknown> a, b;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, a.ReceiveVoid()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, b.ReceiveVoid()), S_OK);
    EXPECT_NE(a.Get(), b.Get());
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    a.Reset();
    EXPECT_EQ(TheModule().canUnloadNow(), S_FALSE);  // a band and a lock
    b.Reset();
    EXPECT_EQ(TheModule().canUnloadNow(), S_FALSE);  // the lock alone
    ASSERT_EQ(Factory()->LockServer(FALSE), S_OK);
}

// The registry script names the icons by resource number.
TEST_F(ModuleTest, CarriesTheButtonsIcons) {
    for (int icon : {IDI_BUTTON, IDI_BUTTON_HOT})
        EXPECT_NE(FindResourceA(TheModule().handle, MAKEINTRESOURCEA(icon), RT_GROUP_ICON), nullptr) << icon;
}

}  // namespace
}  // namespace test
}  // namespace tw
