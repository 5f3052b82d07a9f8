#include "clean/shell_history.h"

#include <string>

#include "platform/win_errors.h"

namespace tw {

const char kTypedUrlsKey[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
const char kRunMruKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

namespace {

bool Confirmed(Shell& shell, bool confirm, const char* question) {
    return !confirm || shell.AskYesNo(question);
}

}  // namespace

void ClearTypedUrls(Registry& registry, Shell& shell, bool confirm) {
    if (!Confirmed(shell, confirm, "Are you sure you want to delete Typed URL List?"))
        return;
    RegKey key(registry);
    if (key.Open(RegRoot::CurrentUser, kTypedUrlsKey, true) != kErrorSuccess)
        return;
    // The browser numbers its list without gaps, so the first missing
    // number ends it.
    for (unsigned long n = 1; n != 0; ++n) {
        const std::string name = "url" + std::to_string(n);
        if (registry.DeleteValue(key.Get(), name.c_str()) != kErrorSuccess)
            break;
    }
}

void ClearRecentDocuments(Shell& shell, bool confirm) {
    if (Confirmed(shell, confirm, "Are you sure you want to delete Desktop Recent Documents History?"))
        shell.ClearRecentDocuments();
}

void ClearRunHistory(Registry& registry, Shell& shell, bool confirm) {
    if (!Confirmed(shell, confirm, "Are you sure you want to delete Desktop Run History?"))
        return;
    RegKey key(registry);
    if (key.Open(RegRoot::CurrentUser, kRunMruKey, true) != kErrorSuccess)
        return;
    char name[2] = {'a', '\0'};
    for (; name[0] <= 'z'; ++name[0])
        registry.DeleteValue(key.Get(), name);
    registry.DeleteValue(key.Get(), "MRUList");
}

}  // namespace tw
