// When the module does its setting up and its tearing down. The loader
// holds its lock while it calls DllMain, so the module loads no library,
// makes no activation context and touches no window class there: that work
// waits for the first call of a server entry point. When the process ends,
// DllMain does nothing at all: other threads are gone, possibly mid-way
// through what the release would touch, and the system frees everything.
#pragma once

namespace tw {

class ModuleWork {
public:
    virtual ~ModuleWork() = default;
    // The activation context of the module's manifest, and the common
    // controls registered within it.
    virtual void PrepareControls() = 0;
    // The module's window classes and its activation context.
    virtual void ReleaseControls() = 0;
    // The cached class factory.
    virtual void ReleaseObjects() = 0;
};

class ModuleStartup {
public:
    // The first use of the server (a class object asked for, registration or
    // unregistration) prepares; later ones do nothing. The callers
    // serialise their calls.
    void Use(ModuleWork& work) {
        if (prepared_)
            return;
        prepared_ = true;
        work.PrepareControls();
    }
    bool Prepared() const { return prepared_; }
    // DLL_PROCESS_DETACH: processEnding when the loader's lpReserved is not
    // null (the process is ending), rather than FreeLibrary.
    void Detach(ModuleWork& work, bool processEnding) {
        if (processEnding)
            return;
        work.ReleaseObjects();
        if (prepared_)
            work.ReleaseControls();
        prepared_ = false;
    }

private:
    bool prepared_ = false;
};

}  // namespace tw
