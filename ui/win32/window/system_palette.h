// The system's colours and its high contrast setting, as the painters'
// palette needs them; read at each paint, so that a change of colours or of
// the scheme shows at the next one.
#pragma once

#include <windows.h>

#include "ui/palette.h"

namespace tw {

bool HighContrastOn();
SystemColours CurrentSystemColours();
Palette CurrentPalette();

inline COLORREF Ref(Rgb c) { return ToColourRef(c); }

}  // namespace tw
