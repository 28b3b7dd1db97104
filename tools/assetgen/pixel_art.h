#pragma once

#include "indexed_image.h"

#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

namespace assetgen {

// A picture set pixel by pixel: one string per row, one character per pixel. `legend` maps each
// character to a colour (0xRRGGBB) that the palette holds; '.' is transparent.
IndexedImage fromPixelArt(const std::vector<std::string_view>& rows,
                          const std::map<char, std::uint32_t>& legend, Palette palette);

} // namespace assetgen
