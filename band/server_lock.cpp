#include "band/server_lock.h"

namespace tw {

ServerLock& ModuleLock() {
    static ServerLock lock;
    return lock;
}

}  // namespace tw
