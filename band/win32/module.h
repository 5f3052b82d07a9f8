// State of the loaded module that the COM objects share.
#pragma once

#include <windows.h>

namespace tw {

// The module's own handle, from which its resources are loaded.
HINSTANCE ModuleInstance();
// The module's full path; false when it does not fit.
bool ModulePath(wchar_t (&path)[MAX_PATH]);

}  // namespace tw
