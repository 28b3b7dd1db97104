#include "ico.h"

#include "dib.h"

#include <stdexcept>
#include <string>

namespace assetgen {

namespace {
constexpr std::uint16_t iconResourceType = 1;
constexpr std::size_t directoryBytes = 6;
constexpr std::size_t entryBytes = 16;

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

std::uint8_t directorySize(int pixels) {
    if (pixels < 1 || pixels > 256)
        throw std::out_of_range("icon directory: size " + std::to_string(pixels) +
                                " is outside 1..256");
    return static_cast<std::uint8_t>(pixels % 256); // 256 is stored as 0
}
} // namespace

Bytes encodeIco(const std::vector<IconImage>& images) {
    Bytes out;
    appendU16(out, 0); // reserved
    appendU16(out, iconResourceType);
    appendU16(out, static_cast<std::uint16_t>(images.size()));

    std::vector<Bytes> bodies;
    bodies.reserve(images.size());
    for (const IconImage& icon : images)
        bodies.push_back(encodeIconImage(icon));

    std::size_t offset = directoryBytes + entryBytes * images.size();
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconImage& icon = images[i];
        appendU8(out, directorySize(icon.image.width));
        appendU8(out, directorySize(icon.image.height));
        appendU8(out, icon.bitsPerPixel < 8 ? static_cast<std::uint8_t>(1u << icon.bitsPerPixel)
                                            : std::uint8_t{0});
        appendU8(out, 0);  // reserved
        appendU16(out, 1); // colour planes
        appendU16(out, icon.bitsPerPixel);
        appendU32(out, static_cast<std::uint32_t>(bodies[i].size()));
        appendU32(out, static_cast<std::uint32_t>(offset));
        offset += bodies[i].size();
    }
    for (const Bytes& body : bodies)
        out.insert(out.end(), body.begin(), body.end());
    return out;
}

} // namespace assetgen
