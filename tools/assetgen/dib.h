#pragma once

#include "bytes.h"
#include "indexed_image.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace assetgen {

// The device-independent bitmap pieces that BMP files and icon images share.

struct DibHeader {
    std::int32_t width = 0;
    std::int32_t height = 0; // positive: rows stored bottom-up
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t imageBytes = 0;
    std::uint32_t coloursUsed = 0; // 0 means all 2^bitsPerPixel
    std::int32_t pixelsPerMetre = 0;
};

constexpr std::size_t dibHeaderBytes = 40;

// Bytes per stored row: rows are padded to a multiple of four bytes.
std::size_t dibRowBytes(int width, int bitsPerPixel);

void appendDibHeader(Bytes& out, const DibHeader& header);

// Blue, green, red, zero per entry; entries past the palette's end are black.
void appendColourTable(Bytes& out, const Palette& palette, std::size_t entries);

// Packs valueAt(x, y) into bitsPerPixel-wide fields, most significant bits first, last row first.
void appendRowsBottomUp(Bytes& out, int width, int height, int bitsPerPixel,
                        const std::function<unsigned(int x, int y)>& valueAt);

} // namespace assetgen
