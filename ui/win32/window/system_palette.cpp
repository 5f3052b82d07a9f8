#include "ui/win32/window/system_palette.h"

namespace tw {

bool HighContrastOn() {
    // Wine keeps no high contrast setting of its own: it answers with the
    // feature off (or not at all), and the normal scheme is painted.
    HIGHCONTRASTA info{};
    info.cbSize = sizeof info;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof info, &info, 0) && (info.dwFlags & HCF_HIGHCONTRASTON);
}

SystemColours CurrentSystemColours() {
    const auto sys = [](int index) { return FromColourRef(GetSysColor(index)); };
    SystemColours s;
    s.window = sys(COLOR_WINDOW);
    s.windowText = sys(COLOR_WINDOWTEXT);
    s.highlight = sys(COLOR_HIGHLIGHT);
    s.highlightText = sys(COLOR_HIGHLIGHTTEXT);
    s.hotLight = sys(COLOR_HOTLIGHT);
    s.menu = sys(COLOR_MENU);
    s.menuText = sys(COLOR_MENUTEXT);
    s.face = sys(COLOR_BTNFACE);
    s.buttonText = sys(COLOR_BTNTEXT);
    s.shadow = sys(COLOR_3DSHADOW);
    s.grayText = sys(COLOR_GRAYTEXT);
    return s;
}

Palette CurrentPalette() { return ChoosePalette(CurrentSystemColours(), HighContrastOn()); }

}  // namespace tw
