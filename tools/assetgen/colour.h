#pragma once

#include <cstdint>

namespace assetgen {

// A colour while drawing: channels 0..255, kept fractional so blends stay exact until the end.
struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

// 0xRRGGBB, the way the pictures name their colours.
constexpr Rgb hex(std::uint32_t rrggbb) {
    return {static_cast<double>((rrggbb >> 16) & 0xFFu), static_cast<double>((rrggbb >> 8) & 0xFFu),
            static_cast<double>(rrggbb & 0xFFu)};
}

constexpr Rgb mix(Rgb from, Rgb to, double amount) {
    return {from.r + (to.r - from.r) * amount, from.g + (to.g - from.g) * amount,
            from.b + (to.b - from.b) * amount};
}

constexpr Rgb white = hex(0xFFFFFF);

} // namespace assetgen
