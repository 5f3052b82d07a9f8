#include "core/ansi_text.h"

namespace tw {

std::size_t Latin1CodePage::FromUtf16(const char16_t* text, std::size_t units, char* out,
                                      std::size_t outSize) const {
    std::size_t n = 0;
    for (std::size_t i = 0; i < units && text[i] != 0 && n + 1 < outSize; ++i)
        out[n++] = text[i] < 0x100 ? char(text[i]) : '?';
    out[n] = '\0';
    return n;
}

bool Latin1CodePage::FromUtf16Exactly(const std::u16string& text, std::string* out) const {
    out->clear();
    for (char16_t unit : text) {
        if (unit >= 0x100)
            return false;
        out->push_back(char(unit));
    }
    return true;
}

std::u16string Latin1CodePage::ToUtf16(const std::string& text) const {
    std::u16string wide;
    for (char c : text)
        wide.push_back(char16_t(static_cast<unsigned char>(c)));
    return wide;
}

void Latin1CodePage::Lower(char* text) const {
    for (unsigned char* p = reinterpret_cast<unsigned char*>(text); *p; ++p) {
        const unsigned char c = *p;
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
            *p = static_cast<unsigned char>(c + 0x20);
    }
}

}  // namespace tw
