// The module's own activation context, built from its manifest, kept active
// around every control creation so that the module gets the version 6
// common controls whatever the host process itself asked for.
#pragma once

#include <windows.h>

namespace tw {

// Made once when the module loads (resource 24/2 of `module`) and released
// when it unloads. Without it the scopes below do nothing.
bool CreateModuleActivationContext(HMODULE module);
void ReleaseModuleActivationContext();
bool HasModuleActivationContext();

// The module that holds this code (the DLL, or a test program that links
// it in): window classes belong to it, so that they go when it unloads.
HINSTANCE CodeModule();

class ActivationScope {
public:
    ActivationScope();
    ~ActivationScope();
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;
    bool Active() const { return active_; }

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

}  // namespace tw
