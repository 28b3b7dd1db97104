#include "dib.h"

#include <stdexcept>
#include <string>

namespace assetgen {

namespace {
constexpr std::uint32_t uncompressed = 0; // BI_RGB
constexpr std::uint16_t planes = 1;
} // namespace

std::size_t dibRowBytes(int width, int bitsPerPixel) {
    const auto bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel);
    return (bits + 31) / 32 * 4;
}

void appendDibHeader(Bytes& out, const DibHeader& header) {
    appendDword(out, static_cast<std::uint32_t>(dibHeaderBytes));
    appendDword(out, static_cast<std::uint32_t>(header.width));
    appendDword(out, static_cast<std::uint32_t>(header.height));
    appendWord(out, planes);
    appendWord(out, header.bitsPerPixel);
    appendDword(out, uncompressed);
    appendDword(out, header.imageBytes);
    appendDword(out, static_cast<std::uint32_t>(header.pixelsPerMetre));
    appendDword(out, static_cast<std::uint32_t>(header.pixelsPerMetre));
    appendDword(out, header.coloursUsed);
    appendDword(out, 0); // every colour is important
}

void appendColourTable(Bytes& out, const Palette& palette, std::size_t entries) {
    if (palette.size() > entries)
        throw std::length_error("colour table: " + std::to_string(palette.size()) +
                                " colours do not fit in " + std::to_string(entries) + " entries");
    for (std::size_t i = 0; i < entries; ++i) {
        const Rgb8 colour = i < palette.size() ? palette[i] : Rgb8{};
        out.insert(out.end(), {colour.b, colour.g, colour.r, 0});
    }
}

void appendRowsBottomUp(Bytes& out, int width, int height, int bitsPerPixel,
                        const std::function<unsigned(int x, int y)>& valueAt) {
    const unsigned limit = 1u << bitsPerPixel;
    const auto fieldBits = static_cast<std::size_t>(bitsPerPixel);
    for (int y = height - 1; y >= 0; --y) {
        Bytes row(dibRowBytes(width, bitsPerPixel), 0);
        for (int x = 0; x < width; ++x) {
            const unsigned value = valueAt(x, y);
            if (value >= limit)
                throw std::out_of_range("pixel row: value " + std::to_string(value) +
                                        " does not fit in " + std::to_string(bitsPerPixel) +
                                        " bits");
            const std::size_t bit = static_cast<std::size_t>(x) * fieldBits;
            const auto shift = 8 - fieldBits - bit % 8;
            row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | (value << shift));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

} // namespace assetgen
