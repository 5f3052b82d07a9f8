#include "band/script_text.h"

namespace tw {

bool QuoteForScript(const wchar_t* path, wchar_t* out, std::size_t outCount) {
    if (outCount == 0) return false;
    std::size_t n = 0;
    for (const wchar_t* p = path; *p; ++p) {
        const std::size_t need = *p == L'\'' ? 2 : 1;
        if (n + need >= outCount) {
            out[0] = L'\0';
            return false;
        }
        out[n++] = *p;
        if (need == 2) out[n++] = L'\'';
    }
    out[n] = L'\0';
    return true;
}

}  // namespace tw
