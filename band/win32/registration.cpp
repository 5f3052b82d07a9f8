#include "band/win32/registration.h"

#include <comcat.h>
#include <oleauto.h>
#include <shlwapi.h>

#include "band/script_text.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/handles.h"
#include "platform/win32/thread_apartment.h"
#include "band/win32/guids_win32.h"
#include "band/win32/module.h"
#include "band/win32/registrar.h"
#include "res/resource.h"

// A narrow literal of band/guids.h as a wide one.
#define TW_WIDE_TEXT(text) L##text
#define TW_WIDE(text) TW_WIDE_TEXT(text)

namespace tw {
namespace {

HRESULT RunRegistrationScript(bool install) {
    wchar_t path[MAX_PATH];
    if (!ModulePath(path)) return E_FAIL;
    wchar_t quoted[2 * MAX_PATH];
    if (!QuoteForScript(path, quoted, sizeof quoted / sizeof quoted[0])) return E_FAIL;
    ComPtr<IRegistrarSystem> registrar;
    HRESULT hr = CoCreateInstance(kClsidRegistrar, nullptr, CLSCTX_INPROC_SERVER, kIidIRegistrar,
                                  registrar.ReceiveVoid());
    if (FAILED(hr)) return hr;
    hr = registrar->AddReplacement(L"Module", quoted);
    if (FAILED(hr)) return hr;
    // The broker's elevation policy names the folder it lies in, the
    // module's own, without a closing backslash.
    wchar_t folder[MAX_PATH];
    lstrcpynW(folder, path, MAX_PATH);
    PathRemoveFileSpecW(folder);
    wchar_t quotedFolder[2 * MAX_PATH];
    if (!QuoteForScript(folder, quotedFolder, sizeof quotedFolder / sizeof quotedFolder[0])) return E_FAIL;
    hr = registrar->AddReplacement(L"ModuleFolder", quotedFolder);
    if (FAILED(hr)) return hr;
    return install ? registrar->ResourceRegister(path, IDR_TIDEWELL_REGISTRY, L"REGISTRY")
                   : registrar->ResourceUnregister(path, IDR_TIDEWELL_REGISTRY, L"REGISTRY");
}

HRESULT RegisterTypeLibrary() {
    wchar_t path[MAX_PATH];
    if (!ModulePath(path)) return E_FAIL;
    wchar_t folder[MAX_PATH];
    lstrcpynW(folder, path, MAX_PATH);
    PathRemoveFileSpecW(folder);
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLib(path, library.Receive());
    if (FAILED(hr)) return hr;
    return RegisterTypeLib(library.Get(), path, folder);
}

// Looked up by name so that a system without it keeps the library
// registered rather than failing to load the module.
HRESULT UnregisterTypeLibrary() {
    wchar_t path[MAX_PATH];
    if (!ModulePath(path)) return E_FAIL;
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLib(path, library.Receive());
    if (FAILED(hr)) return hr;
    TLIBATTR* attr = nullptr;
    hr = library->GetLibAttr(&attr);
    if (FAILED(hr) || !attr) return FAILED(hr) ? hr : E_FAIL;
    const TLIBATTR copy = *attr;
    library->ReleaseTLibAttr(attr);

    using UnregisterFn = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
    const UniqueLibrary oleaut(LoadLibraryA("oleaut32.dll"));
    if (!oleaut) return HRESULT_FROM_WIN32(GetLastError());
    auto unregister = reinterpret_cast<UnregisterFn>(
        reinterpret_cast<void*>(GetProcAddress(oleaut.Get(), "UnRegisterTypeLib")));
    return unregister ? unregister(copy.guid, copy.wMajorVerNum, copy.wMinorVerNum, copy.lcid, copy.syskind)
                      : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
}

// The browser caches which classes implement its band categories; without
// these enumerations it reads them again and finds the new band.
void DeleteCategoryCaches() {
    static const char kPostSetup[] =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\Component Categories\\";
    char key[512];
    wsprintfA(key, "%s%s\\Enum", kPostSetup, TW_CATID_InfoBand);
    SHDeleteKeyA(HKEY_CURRENT_USER, key);
    wsprintfA(key, "%s%s\\Enum", kPostSetup, TW_CATID_CommBand);
    SHDeleteKeyA(HKEY_CURRENT_USER, key);
    wsprintfA(key, "Component Categories\\%s\\Enum", TW_CATID_DeskBand);
    SHDeleteKeyA(HKEY_CLASSES_ROOT, key);
}

// Whether the class key still names the category that unregistration
// removes. Wine's category manager fails on a class key that is absent,
// where there is simply nothing to remove.
bool CategoryRegistered() {
    static const char kKey[] = "CLSID\\" TW_CLSID_ExplorerBar "\\Implemented Categories\\" TW_CATID_CommBand;
    UniqueKey key;
    return RegOpenKeyExA(HKEY_CLASSES_ROOT, kKey, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

HRESULT ChangeCategory(bool add) {
    if (!add && !CategoryRegistered()) return S_OK;
    ThreadApartment com;
    ComPtr<ICatRegister> categories;
    HRESULT hr = CoCreateInstance(kClsidStdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                  kIidICatRegister, categories.ReceiveVoid());
    if (FAILED(hr)) return hr;
    CATID ids[1] = {kCatidCommBand};
    if (add) return categories->RegisterClassImplCategories(kClsidExplorerBar, 1, ids);
    hr = categories->UnRegisterClassImplCategories(kClsidExplorerBar, 1, ids);
    // Wine's manager leaves the emptied parent behind, and its registrar
    // removes no class key that still has a subkey the script did not write.
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "CLSID\\" TW_CLSID_ExplorerBar "\\Implemented Categories");
    return hr;
}

// The browser reads the elevation policies once, when its first process
// starts; this makes the ones already running read them again at their next
// use. Looked up by name: ieframe.dll comes with Internet Explorer 7, and
// Wine's has no such export (its browser has no Protected Mode), so there
// nothing is refreshed.
void RefreshElevationPolicy() {
    const UniqueLibrary ieframe(LoadLibraryA("ieframe.dll"));
    if (!ieframe) return;
    using RefreshFn = HRESULT(WINAPI*)();
    auto refresh = reinterpret_cast<RefreshFn>(
        reinterpret_cast<void*>(GetProcAddress(ieframe.Get(), "IERefreshElevationPolicy")));
    if (refresh) refresh();
}

// The registry gives a 32-bit process on 64-bit Windows, and the registrar
// in it, the 32-bit view of HKLM\Software, which is where the script's
// policy goes; the browser's 64-bit processes read the 64-bit view, so the
// policy is written there too (as Microsoft's own add-ons write both).
// RegDeleteKeyExW is looked up by name: 32-bit Windows XP has none, and
// there is only the one view there.
void ChangePolicyOf64BitView(bool add) {
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) return;
    static const wchar_t kKey[] = L"Software\\Microsoft\\Internet Explorer\\Low Rights\\ElevationPolicy\\" TW_WIDE(
        TW_GUID_BrokerPolicy);
    if (!add) {
        using DeleteKeyExFn = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
        HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
        auto deleteKey = advapi ? reinterpret_cast<DeleteKeyExFn>(
                                      reinterpret_cast<void*>(GetProcAddress(advapi, "RegDeleteKeyExW")))
                                : nullptr;
        if (deleteKey) deleteKey(HKEY_LOCAL_MACHINE, kKey, KEY_WOW64_64KEY, 0);
        return;
    }
    wchar_t folder[MAX_PATH];
    if (!ModulePath(folder)) return;
    PathRemoveFileSpecW(folder);
    UniqueKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS)
        return;
    static const wchar_t kBroker[] = TW_WIDE(TW_BROKER_FILE);
    const DWORD policy = 3;
    RegSetValueExW(key.Get(), L"AppName", 0, REG_SZ, reinterpret_cast<const BYTE*>(kBroker), sizeof kBroker);
    RegSetValueExW(key.Get(), L"AppPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder),
                   DWORD((lstrlenW(folder) + 1) * sizeof(wchar_t)));
    RegSetValueExW(key.Get(), L"Policy", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&policy), sizeof policy);
}

void DeleteRetiredClassKey() {
    static const char kKey[] = "CLSID\\" TW_CLSID_Retired;
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kKey, 0, KEY_ALL_ACCESS, key.Receive()) == ERROR_SUCCESS) {
        // A single-key deletion: a key that has gained subkeys stays.
        RegDeleteKeyA(HKEY_CLASSES_ROOT, kKey);
    }
}

}  // namespace

HRESULT RegisterServer() {
    HRESULT script = S_OK, typeLibrary = S_OK;
    {
        // The registrar is a COM object too; the category step below opens
        // its own apartment as before.
        ThreadApartment com;
        script = RunRegistrationScript(true);
        typeLibrary = RegisterTypeLibrary();
    }
    ChangePolicyOf64BitView(true);
    RefreshElevationPolicy();
    DeleteCategoryCaches();
    return HRESULT(RegistrationResult(script, typeLibrary, ChangeCategory(true)));
}

HRESULT UnregisterServer() {
    // The category goes first: its key lies inside the class key, which the
    // script then removes whole. In the other order a registrar that only
    // removes the keys it wrote (Wine's) leaves the class key behind.
    const HRESULT hr = ChangeCategory(false);
    {
        ThreadApartment com;
        RunRegistrationScript(false);
        UnregisterTypeLibrary();
    }
    ChangePolicyOf64BitView(false);
    RefreshElevationPolicy();
    DeleteRetiredClassKey();
    return SUCCEEDED(hr) ? S_OK : hr;
}

}  // namespace tw
