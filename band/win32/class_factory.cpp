#include "band/win32/class_factory.h"

#include <atomic>
#include <new>

#include "band/server_lock.h"
#include "band/win32/explorer_bar.h"
#include "platform/win32/com_ptr.h"

namespace tw {
namespace {

CRITICAL_SECTION g_moduleLock;
std::atomic<ClassFactory*> g_factory{nullptr};

}  // namespace

void InitializeModuleLock() { InitializeCriticalSection(&g_moduleLock); }
void DeleteModuleLock() { DeleteCriticalSection(&g_moduleLock); }
ModuleLockScope::ModuleLockScope() { EnterCriticalSection(&g_moduleLock); }
ModuleLockScope::~ModuleLockScope() { LeaveCriticalSection(&g_moduleLock); }

ClassFactory* ModuleClassFactory() {
    ClassFactory* factory = g_factory.load();
    if (factory) return factory;
    EnterCriticalSection(&g_moduleLock);
    factory = g_factory.load();
    if (!factory) {
        factory = new (std::nothrow) ClassFactory();
        g_factory.store(factory);
    }
    LeaveCriticalSection(&g_moduleLock);
    return factory;
}

void ReleaseModuleClassFactory() {
    // The object table's own reference goes with the slot.
    const ComPtr<ClassFactory> factory(g_factory.exchange(nullptr));
}

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() {
    const LONG refs = InterlockedIncrement(&refs_);
    if (refs == 2) ModuleLock().Lock();
    return ULONG(refs);
}

STDMETHODIMP_(ULONG) ClassFactory::Release() {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 1) ModuleLock().Unlock();
    if (refs == 0) delete this;
    return ULONG(refs);
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    return ExplorerBar::Create(outer, iid, out);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock)
        ModuleLock().Lock();
    else
        ModuleLock().Unlock();
    return S_OK;
}

}  // namespace tw
