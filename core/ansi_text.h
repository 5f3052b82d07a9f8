// 8-bit text in the active ANSI code page: how it is made from UTF-16,
// lower-cased and stepped over. The Win32 build answers with the system's
// code page; native builds use a Latin-1 model of it.
#pragma once

#include <cstddef>
#include <string>

namespace tw {

class AnsiCodePage {
public:
    virtual ~AnsiCodePage() = default;
    // Converts at most `units` code units, stopping at a zero unit, into out
    // (outSize bytes, terminator included; outSize > 0). Returns the number of
    // bytes written before the terminator.
    virtual std::size_t FromUtf16(const char16_t* text, std::size_t units, char* out,
                                  std::size_t outSize) const = 0;
    // Converts the whole of text; false when some character of it has no
    // equal in the code page, so that a best-fit letter or the default
    // character would stand for it (a text typed by the user that then
    // matched more than it says).
    virtual bool FromUtf16Exactly(const std::u16string& text, std::string* out) const = 0;
    // Every text of the code page has its one UTF-16 form.
    virtual std::u16string ToUtf16(const std::string& text) const = 0;
    // Lower-cases in place, as CharLowerA does.
    virtual void Lower(char* text) const = 0;
    // True for the first byte of a double-byte character.
    virtual bool IsLeadByte(unsigned char c) const = 0;
};

// The code page that the running build uses.
const AnsiCodePage& ActiveCodePage();

// Code page 1252 seen as Latin-1: units below 256 stand for themselves,
// others become '?'. No lead bytes.
class Latin1CodePage : public AnsiCodePage {
public:
    std::size_t FromUtf16(const char16_t* text, std::size_t units, char* out,
                          std::size_t outSize) const override;
    bool FromUtf16Exactly(const std::u16string& text, std::string* out) const override;
    std::u16string ToUtf16(const std::string& text) const override;
    void Lower(char* text) const override;
    bool IsLeadByte(unsigned char) const override { return false; }
};

}  // namespace tw
