// What the user is told when the platform refused an operation that is
// otherwise silent on failure: once, naming what could not be done. A
// failure that is no refusal (nothing there to delete) stays silent.
#pragma once

#include <string>

#include "platform/shell.h"

namespace tw {

// Access denied or a privilege missing, as a Win32 error or an HRESULT:
// the process lacks the rights.
bool IsRefusal(long error);

// "Tidewell could not <what>: that needs rights that the browser does not
// give it."
std::string RefusalText(const std::string& what);
void TellRefusal(Shell& shell, const std::string& what);

}  // namespace tw
