// The DPI the band's windows are drawn at, and the messages that change it.
#pragma once

#include <windows.h>

namespace tw {

// The window's DPI where the system can tell it per window (Windows 10
// 1607 and later), else the screen's; 96 when neither answers.
int WindowDpi(HWND window);
// The DPI the system's fonts and metrics were made for.
int SystemDpi();
// A font of the system's (made at the system DPI) for a window at dpi.
void FitFontToDpi(LOGFONTA& font, int dpi);
// The system's message or menu font for a window at dpi; the GUI font
// where the system metrics do not answer.
enum class SystemFont { Message, Menu };
LOGFONTA SystemFontAtDpi(SystemFont which, int dpi);

// WM_DPICHANGED reaches top-level windows only; a child such as the band
// hears of the change through the two messages a Per Monitor v2 parent
// sends down its tree (Windows 10 1703 and later). Wine has one DPI for all
// its screens, read when a program starts, and sends none of them.
constexpr UINT kWmDpiChanged = 0x02E0;
constexpr UINT kWmDpiChangedBeforeParent = 0x02E2;
constexpr UINT kWmDpiChangedAfterParent = 0x02E3;

}  // namespace tw
