#include "gif.h"

#include "lzw.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace assetgen {

namespace {
constexpr std::size_t tableEntries = 256;
constexpr int smallestCodeSize = 2; // the smallest GIF allows
constexpr std::size_t maxSubBlock = 255;
constexpr std::uint8_t extensionIntroducer = 0x21;
constexpr std::uint8_t graphicControlLabel = 0xF9;
constexpr std::uint8_t commentLabel = 0xFE;
constexpr std::uint8_t imageSeparator = 0x2C;
constexpr std::uint8_t trailer = 0x3B;
constexpr std::uint8_t blockTerminator = 0x00;

// Global table present, 8 bits of colour resolution, unsorted, 2^(7+1) = 256 entries.
constexpr std::uint8_t screenFlags = 0x80 | (7 << 4) | 7;
constexpr std::uint8_t transparentColourFlag = 0x01;
constexpr std::uint8_t interlacedFlag = 0x40;
// Introducer, label and terminator around a comment's sub-blocks, plus one block of one byte.
constexpr std::size_t smallestComment = 5;
constexpr std::string_view commentText = "Quibly ";

std::vector<int> interlacedRowOrder(int height) {
    struct Pass {
        int first;
        int step;
    };
    constexpr std::array passes{Pass{0, 8}, Pass{4, 8}, Pass{2, 4}, Pass{1, 2}};
    std::vector<int> rows;
    for (const Pass pass : passes)
        for (int y = pass.first; y < height; y += pass.step)
            rows.push_back(y);
    return rows;
}

void appendSubBlocks(Bytes& out, const Bytes& data) {
    for (std::size_t start = 0; start < data.size(); start += maxSubBlock) {
        const std::size_t length = std::min(maxSubBlock, data.size() - start);
        appendByte(out, static_cast<std::uint8_t>(length));
        const auto from = data.begin() + static_cast<std::ptrdiff_t>(start);
        out.insert(out.end(), from, from + static_cast<std::ptrdiff_t>(length));
    }
    appendByte(out, blockTerminator);
}

// A comment extension of exactly `size` bytes.
void appendComment(Bytes& out, std::size_t size) {
    appendByte(out, extensionIntroducer);
    appendByte(out, commentLabel);
    std::size_t blockBytes = size - 3; // length byte plus text, for every sub-block
    std::size_t written = 0;
    while (blockBytes > 0) {
        std::size_t take = std::min(blockBytes, maxSubBlock + 1);
        // A single byte left over could only be an empty block, which would end the comment.
        if (blockBytes - take == 1)
            --take;
        appendByte(out, static_cast<std::uint8_t>(take - 1));
        for (std::size_t i = 1; i < take; ++i)
            appendByte(out, static_cast<std::uint8_t>(commentText[written++ % commentText.size()]));
        blockBytes -= take;
    }
    appendByte(out, blockTerminator);
}

// Codes start just wide enough for the largest index the picture uses, however large the table.
int minCodeSizeFor(const Bytes& pixels) {
    const std::uint8_t largest =
        pixels.empty() ? 0 : *std::max_element(pixels.begin(), pixels.end());
    int bits = smallestCodeSize;
    while ((1u << bits) <= largest)
        ++bits;
    return bits;
}

Bytes interlacedPixels(const IndexedImage& image) {
    Bytes pixels;
    for (const int y : interlacedRowOrder(image.height))
        for (int x = 0; x < image.width; ++x) {
            if (image.isTransparent(x, y)) {
                pixels.push_back(0);
                continue;
            }
            if (image.indexAt(x, y) == 0)
                throw std::invalid_argument("GIF pixels: opaque pixel (" + std::to_string(x) +
                                            ", " + std::to_string(y) +
                                            ") uses index 0, the transparent colour");
            pixels.push_back(image.indexAt(x, y));
        }
    return pixels;
}
} // namespace

Bytes encodeGif(const IndexedImage& image, const GifOptions& options) {
    if (image.palette.size() > tableEntries)
        throw std::length_error("GIF colour table: " + std::to_string(image.palette.size()) +
                                " colours do not fit in 256 entries");
    const auto width = static_cast<std::uint16_t>(image.width);
    const auto height = static_cast<std::uint16_t>(image.height);

    Bytes out;
    appendAscii(out, "GIF89a");
    appendWord(out, width);
    appendWord(out, height);
    appendByte(out, screenFlags);
    appendByte(out, 0); // background colour index
    appendByte(out, 0); // no aspect ratio given
    for (std::size_t i = 0; i < tableEntries; ++i) {
        const Rgb8 colour = i < image.palette.size() ? image.palette[i] : Rgb8{};
        out.insert(out.end(), {colour.r, colour.g, colour.b});
    }

    appendByte(out, extensionIntroducer);
    appendByte(out, graphicControlLabel);
    appendByte(out, 4); // block size
    appendByte(out, transparentColourFlag);
    appendWord(out, 0); // no delay
    appendByte(out, 0); // transparent colour index
    appendByte(out, blockTerminator);

    appendByte(out, imageSeparator);
    appendWord(out, 0); // left
    appendWord(out, 0); // top
    appendWord(out, width);
    appendWord(out, height);
    appendByte(out, interlacedFlag);
    const Bytes pixels = interlacedPixels(image);
    const int minCodeSize = minCodeSizeFor(pixels);
    appendByte(out, static_cast<std::uint8_t>(minCodeSize));
    appendSubBlocks(out, lzwEncode(pixels, minCodeSize));

    if (options.paddedSize) {
        const std::size_t used = out.size() + 1; // the trailer still follows
        if (used + smallestComment > *options.paddedSize)
            throw std::length_error("GIF padding: " + std::to_string(used) +
                                    " bytes of picture leave no room for a comment within " +
                                    std::to_string(*options.paddedSize) + " bytes");
        appendComment(out, *options.paddedSize - used);
    }
    appendByte(out, trailer);
    return out;
}

} // namespace assetgen
