// The module's lock count: live band objects, LockServer calls and outside
// references to the class factory. The module may be unloaded at zero.
#pragma once

#include <atomic>

namespace tw {

class ServerLock {
public:
    long Lock() { return ++count_; }
    long Unlock() { return --count_; }
    long Count() const { return count_.load(); }
    // DllCanUnloadNow's answer: S_OK (0) at zero, else S_FALSE (1).
    long CanUnloadResult() const { return count_.load() == 0 ? 0 : 1; }

private:
    std::atomic<long> count_{0};
};

// The one lock count of this module.
ServerLock& ModuleLock();

// Holds the module's lock for as long as it lives.
class ModuleHold {
public:
    ModuleHold() { ModuleLock().Lock(); }
    ~ModuleHold() { ModuleLock().Unlock(); }
    ModuleHold(const ModuleHold&) = delete;
    ModuleHold& operator=(const ModuleHold&) = delete;
};

}  // namespace tw
