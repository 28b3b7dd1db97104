#pragma once

#include "bytes.h"
#include "indexed_image.h"

namespace assetgen {

// An uncompressed 8-bit Windows bitmap with a full 256-entry colour table, rows bottom-up.
Bytes encodeBmp8(const IndexedImage& image);

} // namespace assetgen
