// What DllRegisterServer and DllUnregisterServer write and remove.
#pragma once

#include <windows.h>

namespace tw {

HRESULT RegisterServer();
HRESULT UnregisterServer();

// The registrar's text for %MODULE%: the path with each single quote
// doubled, as the script language quotes it. False when it does not fit.
bool QuoteForScript(const wchar_t* path, wchar_t* out, size_t outCount);

}  // namespace tw
