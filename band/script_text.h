// Texts handed to the system registrar's script language.
#pragma once

#include <cstddef>
#include <initializer_list>

namespace tw {

// The replacement text for %MODULE%: `path` with each single quote doubled,
// as the script quotes its strings. False, with `out` empty, when the result
// and its terminator do not fit in outCount characters.
bool QuoteForScript(const wchar_t* path, wchar_t* out, std::size_t outCount);

// DllRegisterServer's answer from its three steps' HRESULTs (the script's
// keys, the type library, the category): the first failure, else S_OK.
// Each step runs whatever the others did; a half-registered band must not
// be reported as registered.
inline long RegistrationResult(long script, long typeLibrary, long category) {
    for (long hr : {script, typeLibrary, category})
        if (hr < 0)
            return hr;
    return 0;
}

}  // namespace tw
