#include "core/entry.h"

namespace tw {

void CopyField(char* field, std::size_t fieldSize, const char* text, std::size_t length) {
    if (fieldSize == 0)
        return;
    std::size_t n = 0;
    if (text) {
        while (n < length && n + 1 < fieldSize && text[n] != '\0')
            ++n;
        std::memcpy(field, text, n);
    }
    field[n] = '\0';
}

void CopyField(char* field, std::size_t fieldSize, const char* text) {
    CopyField(field, fieldSize, text, SIZE_MAX);
}

}  // namespace tw
