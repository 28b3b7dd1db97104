#include "pixel_art.h"

#include "palette.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace assetgen {

IndexedImage fromPixelArt(const std::vector<std::string_view>& rows,
                          const std::map<char, std::uint32_t>& legend, Palette palette) {
    if (rows.empty())
        throw std::invalid_argument("pixel art: no rows");
    std::map<char, std::uint8_t> indexOf;
    for (const auto& [symbol, colour] : legend) {
        const auto entry = std::find(palette.begin(), palette.end(), rgb8(colour));
        if (entry == palette.end())
            throw std::invalid_argument(std::string("pixel art: the colour of '") + symbol +
                                        "' is not in the palette");
        indexOf[symbol] = static_cast<std::uint8_t>(entry - palette.begin());
    }
    IndexedImage image{static_cast<int>(rows.front().size()),
                       static_cast<int>(rows.size()),
                       std::move(palette),
                       {},
                       {}};
    for (std::size_t y = 0; y < rows.size(); ++y) {
        if (rows[y].size() != rows.front().size())
            throw std::invalid_argument("pixel art: row " + std::to_string(y) + " is " +
                                        std::to_string(rows[y].size()) + " pixels wide, not " +
                                        std::to_string(rows.front().size()));
        for (const char pixel : rows[y]) {
            const bool clear = pixel == '.';
            const auto entry = indexOf.find(pixel);
            if (!clear && entry == indexOf.end())
                throw std::invalid_argument(std::string("pixel art: row ") + std::to_string(y) +
                                            " uses '" + pixel + "', which the legend lacks");
            image.indices.push_back(clear ? std::uint8_t{0} : entry->second);
            image.transparent.push_back(clear);
        }
    }
    return image;
}

} // namespace assetgen
