// Painting steps shared by the flat controls.
#pragma once

#include <windows.h>

#include "ui/colour_math.h"

namespace tw {

// Vertical shading in bands 2 pixels high, dark at the bottom, light at the
// top, over rc.
void ShadeVertically(HDC dc, const RECT& rc, Rgb dark, Rgb light);

// A two-colour horizontal gradient over rc (GradientFill).
void GradientHorizontal(HDC dc, const RECT& rc, COLORREF from, COLORREF to);

// Writes the pixels of a window's client, as painted through
// WM_PRINTCLIENT, to a 24-bit BMP file. False on any failure.
bool SaveClientBitmap(HWND hwnd, const char* path);

}  // namespace tw
