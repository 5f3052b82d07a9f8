// The module's entry points: the loader's and the four of a COM server.
#include "band/win32/module.h"

#include <commctrl.h>

#include "band/server_lock.h"
#include "band/win32/class_factory.h"
#include "band/win32/guids_win32.h"
#include "band/win32/registration.h"
#include "ui/win32/window/activation.h"
#include "ui/win32/window/window_base.h"

namespace tw {
namespace {

HINSTANCE g_instance = nullptr;

void Attach(HINSTANCE instance) {
    g_instance = instance;
    InitializeModuleLock();
    DisableThreadLibraryCalls(instance);
    CreateModuleActivationContext(instance);
    ActivationScope scope;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
}

void Detach() {
    ReleaseModuleClassFactory();
    UnregisterWindowClasses();
    ReleaseModuleActivationContext();
    DeleteModuleLock();
}

}  // namespace

HINSTANCE ModuleInstance() { return g_instance; }

bool ModulePath(wchar_t (&path)[MAX_PATH]) {
    const DWORD n = GetModuleFileNameW(g_instance, path, MAX_PATH);
    return n != 0 && n < MAX_PATH;
}

}  // namespace tw

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        tw::Attach(instance);
    else if (reason == DLL_PROCESS_DETACH)
        tw::Detach();
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, tw::kClsidExplorerBar)) return CLASS_E_CLASSNOTAVAILABLE;
    tw::ClassFactory* factory = tw::ModuleClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    return factory->QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return HRESULT(tw::ModuleLock().CanUnloadResult()); }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return tw::RegisterServer(); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return tw::UnregisterServer(); }
