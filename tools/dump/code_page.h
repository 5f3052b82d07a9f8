// The ANSI texts of an index file (URLs, file and folder names) as UTF-8,
// read in a code page that the user names. Titles are UTF-16 in the file
// and need no code page.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace tw {

class CodePage {
public:
    virtual ~CodePage() = default;
    // Appends text as UTF-8; a byte that the code page does not define
    // becomes U+FFFD, so that the output is always valid UTF-8.
    virtual void AppendUtf8(const char* text, std::size_t length, std::string& out) const = 0;
};

extern const char kDefaultCodePage[];  // "windows-1252"

// The code page of that name: the platform's converter (iconv) where there
// is one, else the built-in table for windows-1252 (also "cp1252", "1252").
// Null, with *error saying why, for a name that neither knows or for a code
// page that is no ANSI code page (one that does not keep ASCII as it is).
std::unique_ptr<CodePage> OpenCodePage(const std::string& name, std::string* error);

// The built-in table alone.
std::unique_ptr<CodePage> BuiltInWindows1252();

// UTF-16 units as UTF-8; a lone surrogate becomes U+FFFD.
void AppendUtf16AsUtf8(const char16_t* units, std::size_t count, std::string& out);

// Escapes UTF-8 text for a JSON string, quotes included.
void AppendJsonUtf8(std::string& out, const std::string& utf8);

// ANSI texts as JSON strings, read in a code page.
class JsonText {
public:
    explicit JsonText(const CodePage& page) : page_(page) {}
    void Append(std::string& out, const char* text, std::size_t length) {
        utf8_.clear();
        page_.AppendUtf8(text, length, utf8_);
        AppendJsonUtf8(out, utf8_);
    }
    void Append(std::string& out, const std::string& text) { Append(out, text.data(), text.size()); }

private:
    const CodePage& page_;
    std::string utf8_;
};

}  // namespace tw
