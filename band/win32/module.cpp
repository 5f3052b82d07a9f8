// The module's entry points: the loader's and the four of a COM server.
#include "band/win32/module.h"

#include <commctrl.h>

#include "band/module_startup.h"
#include "band/server_lock.h"
#include "band/win32/class_factory.h"
#include "band/win32/guids_win32.h"
#include "band/win32/registration.h"
#include "ui/win32/window/activation.h"
#include "ui/win32/window/window_base.h"

namespace tw {
namespace {

HINSTANCE g_instance = nullptr;

// The work that DllMain leaves to the first use of the server.
class Win32ModuleWork : public ModuleWork {
public:
    void PrepareControls() override {
        CreateModuleActivationContext(g_instance);
        ActivationScope scope;
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void ReleaseControls() override {
        // At FreeLibrary the browser goes on: a class left registered would
        // send its windows' messages into the freed code.
        UnregisterWindowClasses();
        ReleaseModuleActivationContext();
    }
    void ReleaseObjects() override { ReleaseModuleClassFactory(); }
};

Win32ModuleWork g_work;
ModuleStartup g_startup;

// Only what needs no other library and no window: Microsoft's rules for
// DllMain forbid loading libraries and calling user32 while the loader
// holds its lock. Wine is lenient there; Windows may deadlock.
void Attach(HINSTANCE instance) {
    g_instance = instance;
    InitializeModuleLock();
    DisableThreadLibraryCalls(instance);
}

// Every server entry point that may go on to make windows calls this first.
void UseModule() {
    const ModuleLockScope lock;
    g_startup.Use(g_work);
}

void Detach(bool processEnding) {
    g_startup.Detach(g_work, processEnding);
    if (!processEnding)
        DeleteModuleLock();
}

}  // namespace

HINSTANCE ModuleInstance() { return g_instance; }

bool ModulePath(wchar_t (&path)[MAX_PATH]) {
    const DWORD n = GetModuleFileNameW(g_instance, path, MAX_PATH);
    return n != 0 && n < MAX_PATH;
}

}  // namespace tw

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH)
        tw::Attach(instance);
    else if (reason == DLL_PROCESS_DETACH)
        tw::Detach(reserved != nullptr);
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, tw::kClsidExplorerBar)) return CLASS_E_CLASSNOTAVAILABLE;
    tw::UseModule();
    tw::ClassFactory* factory = tw::ModuleClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    return factory->QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return HRESULT(tw::ModuleLock().CanUnloadResult()); }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    tw::UseModule();
    return tw::RegisterServer();
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    tw::UseModule();
    return tw::UnregisterServer();
}
