// What DllRegisterServer and DllUnregisterServer write and remove.
#pragma once

#include <windows.h>

namespace tw {

HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace tw
