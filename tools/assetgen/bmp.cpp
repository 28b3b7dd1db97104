#include "bmp.h"

#include "dib.h"

namespace assetgen {

namespace {
constexpr std::size_t fileHeaderBytes = 14;
constexpr std::size_t tableEntries = 256;
constexpr std::size_t tableBytes = tableEntries * 4;
constexpr std::int32_t pixelsPerMetreAt96Dpi = 3780;
} // namespace

Bytes encodeBmp8(const IndexedImage& image) {
    const std::size_t pixelBytes =
        dibRowBytes(image.width, 8) * static_cast<std::size_t>(image.height);
    const std::size_t pixelOffset = fileHeaderBytes + dibHeaderBytes + tableBytes;

    Bytes out;
    appendAscii(out, "BM");
    appendDword(out, static_cast<std::uint32_t>(pixelOffset + pixelBytes));
    appendDword(out, 0); // two reserved words
    appendDword(out, static_cast<std::uint32_t>(pixelOffset));
    appendDibHeader(out, {.width = image.width,
                          .height = image.height,
                          .bitsPerPixel = 8,
                          .imageBytes = static_cast<std::uint32_t>(pixelBytes),
                          .coloursUsed = static_cast<std::uint32_t>(tableEntries),
                          .pixelsPerMetre = pixelsPerMetreAt96Dpi});
    appendColourTable(out, image.palette, tableEntries);
    appendRowsBottomUp(out, image.width, image.height, 8,
                       [&](int x, int y) { return unsigned{image.indexAt(x, y)}; });
    return out;
}

} // namespace assetgen
