#include "ico.h"

#include "dib.h"
#include "fileformats/IconDirectory.h"

#include <stdexcept>

namespace assetgen {

namespace {
Bytes encodeIconImage(const IconImage& icon) {
    const IndexedImage& image = icon.image;
    if (image.palette.empty() || !(image.palette.front() == Rgb8{}))
        throw std::invalid_argument("icon image: palette index 0 is not black");
    const auto height = static_cast<std::size_t>(image.height);
    const std::size_t colourBytes = dibRowBytes(image.width, icon.bitsPerPixel) * height;
    const std::size_t maskBytes = dibRowBytes(image.width, 1) * height;

    Bytes out;
    // An icon's header counts the colour rows and the mask rows together, hence twice the height.
    appendDibHeader(out, {.width = image.width,
                          .height = 2 * image.height,
                          .bitsPerPixel = icon.bitsPerPixel,
                          .imageBytes = static_cast<std::uint32_t>(colourBytes + maskBytes)});
    appendColourTable(out, image.palette, std::size_t{1} << icon.bitsPerPixel);
    // Transparent pixels are black with the mask bit set, so the screen shows through unchanged.
    appendRowsBottomUp(out, image.width, image.height, icon.bitsPerPixel, [&](int x, int y) {
        return image.isTransparent(x, y) ? 0u : unsigned{image.indexAt(x, y)};
    });
    appendRowsBottomUp(out, image.width, image.height, 1,
                       [&](int x, int y) { return image.isTransparent(x, y) ? 1u : 0u; });
    return out;
}

} // namespace

Bytes encodeIco(const std::vector<IconImage>& images) {
    std::vector<Bytes> bodies;
    std::vector<quibly::fileformats::IconEntry> entries;
    for (const IconImage& icon : images) {
        bodies.push_back(encodeIconImage(icon));
        entries.push_back({.width = icon.image.width,
                           .height = icon.image.height,
                           .colourCount = icon.bitsPerPixel < 8 ? 1 << icon.bitsPerPixel : 0,
                           .planes = 1,
                           .bitCount = icon.bitsPerPixel,
                           .imageBytes = static_cast<std::uint32_t>(bodies.back().size())});
    }
    Bytes out = quibly::fileformats::iconFileDirectory(entries);
    for (const Bytes& body : bodies)
        out.insert(out.end(), body.begin(), body.end());
    return out;
}

} // namespace assetgen
