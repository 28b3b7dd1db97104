#pragma once

#include "canvas.h"
#include "indexed_image.h"

#include <cstddef>

namespace assetgen {

// Pixels less than half covered become transparent; partly covered ones are flattened onto
// white, the colour of the panels the transparent pictures are shown on.

// For pictures drawn in the palette's own colours: each pixel takes its nearest entry.
IndexedImage mapToPalette(const Canvas& canvas, const Palette& palette);

struct AdaptivePalette {
    std::size_t colours = 256;      // including the transparent entry, if any
    bool transparentIndex0 = false; // reserve index 0 (white) for transparent pixels only
};

// A palette chosen for the picture (median cut, then refined by a few k-means rounds), sorted
// from dark to light after the reserved entry.
IndexedImage quantizeAdaptive(const Canvas& canvas, AdaptivePalette options);

} // namespace assetgen
