#include "core/entry.h"

namespace tw {

void CopyField(char* field, std::size_t fieldSize, const char* text, std::size_t length) {
    if (fieldSize == 0)
        return;
    std::size_t n = 0;
    if (text) {
        // memchr finds the terminator far faster than a byte loop, and never
        // looks past the limit.
        const std::size_t limit = length < fieldSize - 1 ? length : fieldSize - 1;
        const void* zero = std::memchr(text, 0, limit);
        n = zero ? std::size_t(static_cast<const char*>(zero) - text) : limit;
        std::memcpy(field, text, n);
    }
    field[n] = '\0';
}

void CopyField(char* field, std::size_t fieldSize, const char* text) {
    CopyField(field, fieldSize, text, SIZE_MAX);
}

}  // namespace tw
