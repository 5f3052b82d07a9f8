// The band's size wishes, title and mode as the browser asks for them. The
// record type is a template parameter so that the browser's own DESKBANDINFO
// and a test's look-alike run through the same code.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tw {

const std::uint32_t kBandMinSize = 0x0001;
const std::uint32_t kBandMaxSize = 0x0002;
const std::uint32_t kBandIntegral = 0x0004;
const std::uint32_t kBandActual = 0x0008;
const std::uint32_t kBandTitle = 0x0010;
const std::uint32_t kBandModeFlags = 0x0020;
const std::uint32_t kBandBackColor = 0x0040;
const std::uint32_t kBandVariableHeight = 0x0008;  // DBIMF_VARIABLEHEIGHT

const char16_t kBandTitleText[] = u"Tidewell";

// Fills the fields that info.dwMask asks for and leaves the others alone.
// The background bit is taken out of the mask so that the browser paints
// its own default background behind the band.
template <class Info>
void FillBandInfo(Info& info) {
    const std::uint32_t mask = std::uint32_t(info.dwMask);
    if (mask & kBandMinSize) {
        info.ptMinSize.x = 100;
        info.ptMinSize.y = 200;
    }
    if (mask & kBandMaxSize) {
        info.ptMaxSize.x = -1;
        info.ptMaxSize.y = -1;
    }
    if (mask & kBandIntegral) {
        info.ptIntegral.x = 1;
        info.ptIntegral.y = 1;
    }
    if (mask & kBandActual) {
        info.ptActual.x = 0;
        info.ptActual.y = 0;
    }
    if (mask & kBandTitle) {
        const std::size_t room = sizeof info.wszTitle / sizeof info.wszTitle[0];
        std::size_t i = 0;
        for (; i + 1 < room && kBandTitleText[i] != u'\0'; ++i) info.wszTitle[i] = kBandTitleText[i];
        info.wszTitle[i] = 0;
    }
    if (mask & kBandModeFlags) info.dwModeFlags = kBandVariableHeight;
    info.dwMask = decltype(info.dwMask)(mask & ~kBandBackColor);
}

}  // namespace tw
