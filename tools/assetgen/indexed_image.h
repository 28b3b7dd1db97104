#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace assetgen {

struct Rgb8 {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(Rgb8, Rgb8) = default;
};

using Palette = std::vector<Rgb8>;

// A finished picture as the file formats store it: one palette index per pixel, plus which
// pixels let the background show through.
struct IndexedImage {
    int width = 0;
    int height = 0;
    Palette palette;
    std::vector<std::uint8_t> indices; // row-major, top row first
    std::vector<bool> transparent;     // same layout as indices

    std::size_t offset(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }
    std::uint8_t indexAt(int x, int y) const { return indices[offset(x, y)]; }
    bool isTransparent(int x, int y) const { return transparent[offset(x, y)]; }
};

} // namespace assetgen
