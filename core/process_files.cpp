#include "core/process_files.h"

namespace tw {

bool IsStoreFolder(int csidl) {
    return csidl == kFolderInternetCache || csidl == kFolderCookies || csidl == kFolderHistory;
}

bool ProcessFileSystem::SpecialFolder(int csidl, std::string* path) {
    // The normal folder of a store is not the low process's to purge or to
    // read its index from: that is the broker's work.
    if (rights_.IsProtectedMode() && IsStoreFolder(csidl))
        return files_.WriteableStoreFolder(csidl, path);
    return files_.SpecialFolder(csidl, path);
}

}  // namespace tw
