#include "tools/dump/code_page.h"

#include <cctype>
#include <cerrno>
#include <cstdio>

#if defined(__has_include)
#if __has_include(<iconv.h>) && !defined(_WIN32)
#define TW_HAVE_ICONV 1
#include <iconv.h>
#endif
#endif

namespace tw {

const char kDefaultCodePage[] = "windows-1252";

namespace {

void AppendCodePoint(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

const char32_t kReplacement = 0xFFFD;

// 0x80 to 0x9F of windows-1252; 0 where the code page defines no character.
// Above them it agrees with Latin-1.
const char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

class Windows1252 : public CodePage {
public:
    void AppendUtf8(const char* text, std::size_t length, std::string& out) const override {
        for (std::size_t i = 0; i < length; ++i) {
            const unsigned char b = static_cast<unsigned char>(text[i]);
            if (b < 0x80)
                out += char(b);
            else if (b < 0xA0)
                AppendCodePoint(kWindows1252High[b - 0x80] ? kWindows1252High[b - 0x80] : kReplacement, out);
            else
                AppendCodePoint(b, out);
        }
    }
};

std::string Lower(const std::string& s) {
    std::string out;
    for (char c : s)
        out += char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsWindows1252(const std::string& name) {
    const std::string n = Lower(name);
    return n == "windows-1252" || n == "cp1252" || n == "1252";
}

#ifdef TW_HAVE_ICONV
class IconvCodePage : public CodePage {
public:
    explicit IconvCodePage(iconv_t cd) : cd_(cd) {}
    ~IconvCodePage() override { iconv_close(cd_); }

    void AppendUtf8(const char* text, std::size_t length, std::string& out) const override {
        // Most texts are ASCII, which every ANSI code page keeps as it is.
        std::size_t ascii = 0;
        while (ascii < length && static_cast<unsigned char>(text[ascii]) < 0x80)
            ++ascii;
        out.append(text, ascii);
        if (ascii < length)
            Convert(text + ascii, length - ascii, out);
    }

    void Convert(const char* text, std::size_t length, std::string& out) const {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(text);
        std::size_t inLeft = length;
        char buffer[1024];
        while (inLeft > 0) {
            char* o = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t r = iconv(cd_, &in, &inLeft, &o, &outLeft);
            out.append(buffer, std::size_t(o - buffer));
            if (r != std::size_t(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // A byte the code page does not define, or a character cut off at
            // the end of the text: one replacement, and on after it.
            AppendCodePoint(kReplacement, out);
            ++in;
            --inLeft;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        char* o = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &o, &outLeft);
        out.append(buffer, std::size_t(o - buffer));
    }

private:
    iconv_t cd_;
};

// ASCII must come through as itself, or the fast path above would be wrong.
bool KeepsAscii(const IconvCodePage& page) {
    char ascii[127];
    for (int i = 0; i < 127; ++i)
        ascii[i] = char(i + 1);
    // Through the converter itself: the fast path would pass them by.
    std::string out;
    page.Convert(ascii, sizeof ascii, out);
    return out == std::string(ascii, sizeof ascii);
}
#endif

}  // namespace

std::unique_ptr<CodePage> BuiltInWindows1252() { return std::unique_ptr<CodePage>(new Windows1252); }

std::unique_ptr<CodePage> OpenCodePage(const std::string& name, std::string* error) {
#ifdef TW_HAVE_ICONV
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd != iconv_t(-1)) {
        std::unique_ptr<IconvCodePage> page(new IconvCodePage(cd));
        if (KeepsAscii(*page))
            return std::unique_ptr<CodePage>(page.release());
        *error = "code page '" + name + "' is not an ANSI code page (it does not keep ASCII)";
        return nullptr;
    }
#endif
    if (IsWindows1252(name))
        return BuiltInWindows1252();
    *error = "unknown code page '" + name + "'";
    return nullptr;
}

void AppendUtf16AsUtf8(const char16_t* units, std::size_t count, std::string& out) {
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            AppendCodePoint(0x10000 + ((u - 0xD800) << 10) + (char32_t(units[i + 1]) - 0xDC00), out);
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendCodePoint(kReplacement, out);
        } else {
            AppendCodePoint(u, out);
        }
    }
}

void AppendJsonUtf8(std::string& out, const std::string& utf8) {
    out += '"';
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                out += esc;
            } else {
                out += char(c);
            }
        }
    }
    out += '"';
}

}  // namespace tw
