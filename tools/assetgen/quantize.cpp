#include "quantize.h"

#include "palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <span>
#include <stdexcept>
#include <string>

namespace assetgen {

namespace {
constexpr int refinementRounds = 4;

struct FlatPixels {
    std::vector<Rgb8> colours;
    std::vector<bool> transparent;
};

struct ColourCount {
    Rgb8 colour;
    std::uint64_t count = 0;
};

std::uint8_t toChannel(double value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 255.0)));
}

std::uint32_t key(Rgb8 colour) {
    return (std::uint32_t{colour.r} << 16) | (std::uint32_t{colour.g} << 8) | colour.b;
}

int channel(Rgb8 colour, int which) {
    const std::array<int, 3> channels{colour.r, colour.g, colour.b};
    return channels[static_cast<std::size_t>(which)];
}

FlatPixels flatten(const Canvas& canvas) {
    FlatPixels flat;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgba pixel = canvas.pixel(x, y);
            const Rgb onWhite = mix(white, pixel.colour, pixel.alpha);
            flat.colours.push_back(
                {toChannel(onWhite.r), toChannel(onWhite.g), toChannel(onWhite.b)});
            flat.transparent.push_back(pixel.alpha < 0.5);
        }
    }
    return flat;
}

IndexedImage imageOf(const Canvas& canvas, FlatPixels flat, Palette palette,
                     std::size_t firstOpaqueIndex) {
    IndexedImage image{canvas.width(), canvas.height(), std::move(palette), {}, {}};
    std::map<std::uint32_t, std::uint8_t> nearest;
    for (std::size_t i = 0; i < flat.colours.size(); ++i) {
        if (flat.transparent[i]) {
            image.indices.push_back(0);
            continue;
        }
        const Rgb8 colour = flat.colours[i];
        auto [found, inserted] = nearest.try_emplace(key(colour), std::uint8_t{0});
        if (inserted)
            found->second =
                static_cast<std::uint8_t>(nearestIndex(image.palette, colour, firstOpaqueIndex));
        image.indices.push_back(found->second);
    }
    image.transparent = std::move(flat.transparent);
    return image;
}

std::vector<ColourCount> histogram(const FlatPixels& flat) {
    std::map<std::uint32_t, ColourCount> counts;
    for (std::size_t i = 0; i < flat.colours.size(); ++i) {
        if (flat.transparent[i])
            continue;
        ColourCount& entry = counts[key(flat.colours[i])];
        entry.colour = flat.colours[i];
        ++entry.count;
    }
    std::vector<ColourCount> result;
    result.reserve(counts.size());
    for (const auto& [colourKey, entry] : counts)
        result.push_back(entry);
    return result;
}

std::uint64_t pixelCount(std::span<const ColourCount> colours) {
    std::uint64_t total = 0;
    for (const ColourCount& entry : colours)
        total += entry.count;
    return total;
}

Rgb8 weightedMean(std::span<const ColourCount> colours) {
    std::array<std::uint64_t, 3> sums{};
    for (const ColourCount& entry : colours)
        for (int c = 0; c < 3; ++c)
            sums[static_cast<std::size_t>(c)] +=
                static_cast<std::uint64_t>(channel(entry.colour, c)) * entry.count;
    // A box always holds at least one pixel; guard anyway so an empty one averages to black.
    const std::uint64_t total = std::max<std::uint64_t>(pixelCount(colours), 1);
    const auto average = [&](std::size_t c) {
        return static_cast<std::uint8_t>((sums[c] + total / 2) / total);
    };
    return {average(0), average(1), average(2)};
}

struct Box {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The channel along which a box of colours is widest, and how wide.
std::pair<int, int> widestChannel(std::span<const ColourCount> colours) {
    int bestChannel = 0;
    int bestRange = -1;
    for (int c = 0; c < 3; ++c) {
        const auto [low, high] = std::minmax_element(
            colours.begin(), colours.end(), [c](const ColourCount& a, const ColourCount& b) {
                return channel(a.colour, c) < channel(b.colour, c);
            });
        const int range = channel(high->colour, c) - channel(low->colour, c);
        if (range > bestRange) {
            bestChannel = c;
            bestRange = range;
        }
    }
    return {bestChannel, bestRange};
}

// Splits the box whose colours spread widest, weighted by how many pixels it holds, at the
// pixel median of its widest channel, until there are `wanted` boxes or nothing left to split.
Palette medianCut(std::vector<ColourCount> colours, std::size_t wanted) {
    std::vector<Box> boxes{{0, colours.size()}};
    const auto coloursIn = [&](Box box) {
        return std::span<const ColourCount>(colours).subspan(box.begin, box.end - box.begin);
    };
    while (boxes.size() < wanted) {
        std::size_t chosen = boxes.size();
        std::uint64_t bestScore = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].end - boxes[i].begin < 2)
                continue;
            const auto score =
                pixelCount(coloursIn(boxes[i])) *
                static_cast<std::uint64_t>(widestChannel(coloursIn(boxes[i])).second);
            if (score > bestScore) {
                bestScore = score;
                chosen = i;
            }
        }
        if (chosen == boxes.size())
            break;
        const Box box = boxes[chosen];
        const int along = widestChannel(coloursIn(box)).first;
        const auto first = colours.begin() + static_cast<std::ptrdiff_t>(box.begin);
        const auto last = colours.begin() + static_cast<std::ptrdiff_t>(box.end);
        std::sort(first, last, [along](const ColourCount& a, const ColourCount& b) {
            const int ca = channel(a.colour, along);
            const int cb = channel(b.colour, along);
            return ca != cb ? ca < cb : key(a.colour) < key(b.colour);
        });
        const std::uint64_t total = pixelCount(coloursIn(box));
        std::uint64_t seen = 0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
            seen += colours[i].count;
            split = i + 1;
            if (seen * 2 >= total)
                break;
        }
        boxes[chosen] = {box.begin, split};
        boxes.push_back({split, box.end});
    }
    Palette palette;
    for (const Box box : boxes)
        palette.push_back(weightedMean(coloursIn(box)));
    return palette;
}

// Moves each entry to the mean of the colours nearest to it.
void refine(Palette& palette, const std::vector<ColourCount>& colours) {
    for (int round = 0; round < refinementRounds; ++round) {
        std::vector<std::vector<ColourCount>> members(palette.size());
        for (const ColourCount& entry : colours)
            members[nearestIndex(palette, entry.colour)].push_back(entry);
        for (std::size_t i = 0; i < palette.size(); ++i)
            if (!members[i].empty())
                palette[i] = weightedMean(members[i]);
    }
}

int luma(Rgb8 colour) {
    return 299 * colour.r + 587 * colour.g + 114 * colour.b;
}
} // namespace

IndexedImage mapToPalette(const Canvas& canvas, const Palette& palette) {
    return imageOf(canvas, flatten(canvas), palette, 0);
}

IndexedImage quantizeAdaptive(const Canvas& canvas, AdaptivePalette options) {
    if (options.colours > 256 || options.colours < (options.transparentIndex0 ? 2u : 1u))
        throw std::out_of_range("adaptive palette: " + std::to_string(options.colours) +
                                " colours is not a usable table size");
    FlatPixels flat = flatten(canvas);
    const std::vector<ColourCount> colours = histogram(flat);
    if (colours.empty())
        throw std::invalid_argument("adaptive palette: the picture has no opaque pixel");
    const std::size_t reserved = options.transparentIndex0 ? 1 : 0;

    Palette chosen = medianCut(colours, options.colours - reserved);
    refine(chosen, colours);
    std::sort(chosen.begin(), chosen.end(), [](Rgb8 a, Rgb8 b) {
        return luma(a) != luma(b) ? luma(a) < luma(b) : key(a) < key(b);
    });

    Palette palette;
    if (options.transparentIndex0)
        palette.push_back({255, 255, 255});
    palette.insert(palette.end(), chosen.begin(), chosen.end());
    return imageOf(canvas, std::move(flat), std::move(palette), reserved);
}

} // namespace assetgen
