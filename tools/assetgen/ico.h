#pragma once

#include "bytes.h"
#include "indexed_image.h"

#include <cstdint>
#include <vector>

namespace assetgen {

struct IconImage {
    IndexedImage image; // palette index 0 must be black: transparent pixels store it
    std::uint16_t bitsPerPixel = 4;
};

// A Windows icon file holding the images in the given order, each with its transparency mask.
Bytes encodeIco(const std::vector<IconImage>& images);

} // namespace assetgen
