#include <windows.h>

#include <cstring>
#include <string>

#include "core/ansi_text.h"

namespace tw {
namespace {

class SystemCodePage : public AnsiCodePage {
public:
    std::size_t FromUtf16(const char16_t* text, std::size_t units, char* out,
                          std::size_t outSize) const override {
        std::size_t n = 0;
        while (n < units && text[n] != 0)
            ++n;
        out[0] = '\0';
        if (n == 0 || outSize < 2)
            return 0;
        const LPCWCH wide = reinterpret_cast<LPCWCH>(text);
        const int needed = WideCharToMultiByte(CP_ACP, 0, wide, int(n), nullptr, 0, nullptr, nullptr);
        if (needed <= 0)
            return 0;
        std::string converted(std::size_t(needed), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide, int(n), &converted[0], needed, nullptr, nullptr);
        // A text longer than the buffer is cut, as a field is, but never in
        // the middle of a double-byte character.
        std::size_t length = 0;
        while (length < converted.size()) {
            const std::size_t step =
                IsDBCSLeadByte(static_cast<BYTE>(converted[length])) && length + 1 < converted.size() ? 2 : 1;
            if (length + step > outSize - 1)
                break;
            length += step;
        }
        std::memcpy(out, converted.data(), length);
        out[length] = '\0';
        return length;
    }
    // WC_NO_BEST_FIT_CHARS puts the default character where a letter has
    // no equal in the code page (without it, U+FF45 becomes "e"), and the
    // used-default flag tells it apart from a "?" that was typed.
    bool FromUtf16Exactly(const std::u16string& text, std::string* out) const override {
        out->clear();
        if (text.empty())
            return true;
        if (text.size() > 0x7FFFFFFF)
            return false;
        const LPCWCH wide = reinterpret_cast<LPCWCH>(text.data());
        BOOL usedDefault = FALSE;
        const int needed =
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), nullptr, 0, nullptr, &usedDefault);
        if (needed <= 0 || usedDefault)
            return false;
        out->assign(std::size_t(needed), '\0');
        const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), &(*out)[0],
                                                needed, nullptr, &usedDefault);
        return written == needed && !usedDefault;
    }
    std::u16string ToUtf16(const std::string& text) const override {
        if (text.empty())
            return std::u16string();
        const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
        std::u16string wide(std::size_t(n > 0 ? n : 0), u'\0');
        if (n > 0)
            MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), reinterpret_cast<LPWSTR>(&wide[0]), n);
        return wide;
    }
    void Lower(char* text) const override { CharLowerA(text); }
    bool IsLeadByte(unsigned char c) const override { return IsDBCSLeadByte(c) != FALSE; }
};

}  // namespace

const AnsiCodePage& ActiveCodePage() {
    static const SystemCodePage page;
    return page;
}

}  // namespace tw
