// Texts handed to the system registrar's script language.
#pragma once

#include <cstddef>

namespace tw {

// The replacement text for %MODULE%: `path` with each single quote doubled,
// as the script quotes its strings. False, with `out` empty, when the result
// and its terminator do not fit in outCount characters.
bool QuoteForScript(const wchar_t* path, wchar_t* out, std::size_t outCount);

}  // namespace tw
