#pragma once

#include "indexed_image.h"

#include <cstddef>
#include <cstdint>

namespace assetgen {

// The standard 16-colour Windows palette, as 0xRRGGBB, in its usual index order.
namespace win16 {
constexpr std::uint32_t black = 0x000000;
constexpr std::uint32_t maroon = 0x800000;
constexpr std::uint32_t green = 0x008000;
constexpr std::uint32_t olive = 0x808000;
constexpr std::uint32_t navy = 0x000080;
constexpr std::uint32_t purple = 0x800080;
constexpr std::uint32_t teal = 0x008080;
constexpr std::uint32_t silver = 0xC0C0C0;
constexpr std::uint32_t gray = 0x808080;
constexpr std::uint32_t red = 0xFF0000;
constexpr std::uint32_t lime = 0x00FF00;
constexpr std::uint32_t yellow = 0xFFFF00;
constexpr std::uint32_t blue = 0x0000FF;
constexpr std::uint32_t fuchsia = 0xFF00FF;
constexpr std::uint32_t aqua = 0x00FFFF;
constexpr std::uint32_t white = 0xFFFFFF;
} // namespace win16

Rgb8 rgb8(std::uint32_t rrggbb);
Palette windowsPalette16();
Palette blackAndWhitePalette();

// The closest entry at or after `first` by squared distance weighted for the eye (greens count
// most, blues least); the earliest one wins a tie.
std::size_t nearestIndex(const Palette& palette, Rgb8 colour, std::size_t first = 0);

} // namespace assetgen
