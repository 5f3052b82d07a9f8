// The class factory of the band's class, and the module's one cached copy
// of it.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace tw {

class ClassFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    // The module's table holds the first reference; every further one is
    // a client's and keeps the module loaded.
    LONG refs_ = 1;
};

// The cached factory, made on first use under the module lock; null only
// when it cannot be allocated. The module's reference stays with the cache.
ClassFactory* ModuleClassFactory();
// Drops the cache when the module unloads.
void ReleaseModuleClassFactory();

void InitializeModuleLock();
void DeleteModuleLock();
// Holds the module lock for as long as it lives.
class ModuleLockScope {
public:
    ModuleLockScope();
    ~ModuleLockScope();
    ModuleLockScope(const ModuleLockScope&) = delete;
    ModuleLockScope& operator=(const ModuleLockScope&) = delete;
};

}  // namespace tw
