#pragma once

#include "bytes.h"
#include "indexed_image.h"

#include <cstddef>
#include <optional>

namespace assetgen {

struct GifOptions {
    // When set, a comment block fills the file up to exactly this many bytes.
    std::optional<std::size_t> paddedSize;
};

// A one-frame, interlaced GIF89a with a 256-entry global colour table in which index 0 is the
// transparent colour. Padding is a comment repeating "Quibly ".
Bytes encodeGif(const IndexedImage& image, const GifOptions& options = {});

} // namespace assetgen
