#include "clean/refusal.h"

#include "platform/win_errors.h"

namespace tw {

// The history store answers in HRESULTs, the rest in Win32 codes.
bool IsRefusal(long error) {
    return error == kErrorAccessDenied || error == kErrorPrivilegeNotHeld || error == kE_ACCESSDENIED ||
           error == kE_PRIVILEGE_NOT_HELD;
}

std::string RefusalText(const std::string& what) {
    return "Tidewell could not " + what + ": that needs rights that the browser does not give it.";
}

void TellRefusal(Shell& shell, const std::string& what) {
    shell.ShowMessage(RefusalText(what).c_str(), MessageIcon::Exclamation);
}

}  // namespace tw
