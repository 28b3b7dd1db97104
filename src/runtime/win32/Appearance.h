#pragma once

// How a settled window becomes what the window system draws at a window's dots per inch: boxes
// in device pixels, fonts, the title bar and border, the window's size and place on the screen.
// Colours are in Win32.h, pictures and icons in Pictures.h.

#include "runtime/win32/Win32.h"

namespace FormsRuntime::win32 {

Font ResolveFont(const SettledFont& font, UINT dpi);

// A control's box in device pixels in its container's client area.
RECT ScaledBox(const SettledControl& control, UINT dpi);

struct WindowStyle {
    DWORD style;
    DWORD extended;
};

WindowStyle StyleOf(const SettledFrame& frame);

// Sizes the window around its client area at `dpi` (with its menu bar, if it has one) and
// places it as the settled window says; where the system places windows, it stays where it is.
void PlaceOnScreen(HWND window, const SettledWindow& settled, UINT dpi, bool menuBar);

} // namespace FormsRuntime::win32
