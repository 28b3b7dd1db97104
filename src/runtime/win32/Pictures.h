#pragma once

#include "runtime/win32/Win32.h"

#include <string>
#include <string_view>

namespace FormsRuntime::win32 {

// A picture ready to paint: a 32-bit top-down bitmap with premultiplied alpha (transparent
// pixels let what lies behind show through), in device pixels.
struct Picture {
    Bitmap bitmap;
    int width = 0;
    int height = 0;
};

// The picture of a layout's resource path (":/assets/backdrop.bmp"), taken from the resource
// of the executable named after its file ("backdrop.bmp") and decoded by the Windows Imaging
// Component. At more than 96 dpi each pixel becomes a block of pixels, so the picture keeps
// its size and its hard edges. `object` names the control for errors.
Picture LoadPicture(std::string_view resourcePath, UINT dpi, const std::string& object);

// The icon of a layout's resource path, decoded as a picture is and made `size` pixels square.
Icon LoadIconPicture(std::string_view resourcePath, int size, const std::string& object);

// The executable's own icon (its first icon group, which the desktop shows for the file) at
// `size` pixels square, as the system chooses and scales it; none if it has no icon.
Icon LoadProgramIcon(int size);

// Draws the picture with its top-left corner at (x, y), blending its transparent pixels.
void PaintPicture(HDC dc, const Picture& picture, int x, int y);

} // namespace FormsRuntime::win32
