// The band window that the Explorer bar puts into the browser's band site.
#pragma once

#include <windows.h>

namespace tw {

const char kBandWindowClass[] = "TidewellBandWindow";
const char kBandWindowText[] = "TidewellSuperClass";
// Showing or hiding the band starts this one-shot timer (the page click).
const UINT_PTR kPageClickTimer = 3;
const UINT kPageClickDelayMs = 100;

// A visible child of `parent` covering `rect`, with the module's
// activation context active; null when it cannot be made.
HWND CreateBandWindow(HINSTANCE module, HWND parent, const RECT& rect);
void StartPageClick(HWND band);
// Removes the window class when the module unloads.
void UnregisterBandWindowClass(HINSTANCE module);

}  // namespace tw
