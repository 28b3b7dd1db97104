#pragma once

// How layout values become what the window system draws at a window's dots per inch: boxes in
// device pixels, fonts, the title bar and border, the window's size and place on the screen.
// Colours are in Win32.h, pictures and icons in Pictures.h.

#include "runtime/win32/Win32.h"

namespace FormsRuntime::win32 {

Font ResolveFont(const FontSpec& spec, UINT dpi);

// A control's box in device pixels in its container's client area; a line's box holds the
// pixels it covers, both ends included.
RECT ScaledBox(const ControlLayout& control, UINT dpi);

struct WindowStyle {
    DWORD style;
    DWORD extended;
};

// The title bar and border the layout asks for. A window with neither caption nor title-bar
// buttons has no title bar at all.
WindowStyle StyleOf(const WindowLayout& layout);

// Sizes the window around its client area at `dpi` (with its menu bar, if it has one) and
// places it where the layout's start-up position says; where the system places windows, it
// stays where it is.
void PlaceOnScreen(HWND window, const WindowLayout& layout, UINT dpi, bool menuBar);

} // namespace FormsRuntime::win32
