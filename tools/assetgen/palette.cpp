#include "palette.h"

#include <limits>
#include <stdexcept>
#include <string>

namespace assetgen {

Rgb8 rgb8(std::uint32_t rrggbb) {
    return {static_cast<std::uint8_t>((rrggbb >> 16) & 0xFFu),
            static_cast<std::uint8_t>((rrggbb >> 8) & 0xFFu),
            static_cast<std::uint8_t>(rrggbb & 0xFFu)};
}

Palette windowsPalette16() {
    using namespace win16;
    Palette palette;
    for (const auto colour : {black, maroon, green, olive, navy, purple, teal, silver, gray, red,
                              lime, yellow, blue, fuchsia, aqua, white})
        palette.push_back(rgb8(colour));
    return palette;
}

Palette blackAndWhitePalette() {
    return {rgb8(win16::black), rgb8(win16::white)};
}

namespace {
std::uint32_t colourDistance(Rgb8 a, Rgb8 b) {
    const auto dr = static_cast<int>(a.r) - static_cast<int>(b.r);
    const auto dg = static_cast<int>(a.g) - static_cast<int>(b.g);
    const auto db = static_cast<int>(a.b) - static_cast<int>(b.b);
    return static_cast<std::uint32_t>(3 * dr * dr + 4 * dg * dg + 2 * db * db);
}
} // namespace

std::size_t nearestIndex(const Palette& palette, Rgb8 colour, std::size_t first) {
    if (first >= palette.size())
        throw std::out_of_range("palette lookup: no entries from index " + std::to_string(first));
    std::size_t best = first;
    std::uint32_t bestDistance = std::numeric_limits<std::uint32_t>::max();
    for (std::size_t i = first; i < palette.size(); ++i) {
        const auto distance = colourDistance(palette[i], colour);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace assetgen
