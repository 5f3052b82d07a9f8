// Turns a registry-form GUID text ("{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}")
// into its binary fields at compile time, so that the texts in guids.h are
// the only spelling of each identifier.
#pragma once

#include <cstdint>

namespace tw {

struct GuidFields {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};
    bool valid = false;
};

namespace guid_detail {

constexpr int HexDigit(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}

// Reads `count` hex digits at text[at]; false when one is not a digit.
constexpr bool ReadHex(const char* text, int at, int count, std::uint32_t& out) {
    std::uint32_t v = 0;
    for (int i = 0; i < count; ++i) {
        const int d = HexDigit(text[at + i]);
        if (d < 0) return false;
        v = v * 16 + std::uint32_t(d);
    }
    out = v;
    return true;
}

}  // namespace guid_detail

// Exactly 38 characters with braces and dashes in place; anything else
// gives a GuidFields with valid == false.
constexpr GuidFields ParseGuidText(const char* text) {
    GuidFields g;
    int length = 0;
    while (length < 40 && text[length] != '\0') ++length;
    if (length != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' || text[14] != '-' ||
        text[19] != '-' || text[24] != '-')
        return g;
    std::uint32_t v = 0;
    if (!guid_detail::ReadHex(text, 1, 8, v)) return g;
    g.data1 = v;
    if (!guid_detail::ReadHex(text, 10, 4, v)) return g;
    g.data2 = std::uint16_t(v);
    if (!guid_detail::ReadHex(text, 15, 4, v)) return g;
    g.data3 = std::uint16_t(v);
    const int bytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!guid_detail::ReadHex(text, bytePos[i], 2, v)) return g;
        g.data4[i] = std::uint8_t(v);
    }
    g.valid = true;
    return g;
}

}  // namespace tw
