#include "runtime/qt/Pictures.h"

#include "fileformats/IconDirectory.h"
#include "fileformats/LittleEndian.h"

#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <sys/mman.h>

namespace FormsRuntime {
namespace {

using quibly::fileformats::byteAt;
using quibly::fileformats::dwordAt;
using quibly::fileformats::wordAt;

constexpr qsizetype infoHeaderBytes = 40;

// Rows of a device-independent bitmap are padded to whole 32-bit words.
qsizetype RowBytes(int width, int bitsPerPixel) {
    return (qsizetype{width} * bitsPerPixel + 31) / 32 * 4;
}

template <int bitsPerPixel> int IndexAt(const std::uint8_t* row, int x) {
    if constexpr (bitsPerPixel == 8)
        return row[x];
    constexpr int perByte = 8 / bitsPerPixel;
    const int shift = 8 - bitsPerPixel * (x % perByte + 1);
    return (row[x / perByte] >> shift) & ((1 << bitsPerPixel) - 1);
}

// Where a picture's pixels begin in the memory taken for them: after the memory's size, which
// releasing it needs, at a distance that keeps rows aligned as the raster engine wants them.
constexpr std::size_t pixelsOffset = 64;

void ReleasePixels(void* memory) {
    munmap(memory, *static_cast<const std::size_t*>(memory));
}

// A picture of `width` by `height` 32-bit pixels in `format`. The memory for a large one is
// taken from the system in one request with every page in place: written one page at a time,
// each page would cost a fault of its own, which in a virtual machine costs more than decoding
// the picture. Small pictures come from the heap as ever.
QImage NewPicture(int width, int height, QImage::Format format) {
    constexpr std::size_t pageBytes = 4096;
    const std::size_t bytesPerLine = static_cast<std::size_t>(width) * 4;
    const std::size_t bytes = pixelsOffset + bytesPerLine * static_cast<std::size_t>(height);
    if (bytes < 16 * pageBytes)
        return QImage(width, height, format);
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (memory == MAP_FAILED)
        return QImage(width, height, format);
    *static_cast<std::size_t*>(memory) = bytes;
    return QImage(static_cast<uchar*>(memory) + pixelsOffset, width, height,
                  static_cast<qsizetype>(bytesPerLine), format, ReleasePixels, memory);
}

// Visits every pixel of `image` with the bitmap row it comes from, the bitmap's rows being
// stored bottom-up.
template <class Visit>
void ForEachPixel(const std::uint8_t* rows, qsizetype rowBytes, QImage& image, Visit visit) {
    const int width = image.width();
    const int height = image.height();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = rows + rowBytes * (height - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(image.bits() + image.bytesPerLine() * y);
        for (int x = 0; x < width; ++x)
            visit(row, x, out[x]);
    }
}

// Each pixel's colour looked up in the palette.
template <int bitsPerPixel>
void ConvertRows(const std::uint8_t* rows, qsizetype rowBytes, const std::array<QRgb, 256>& palette,
                 QImage& image) {
    ForEachPixel(rows, rowBytes, image, [&](const std::uint8_t* row, int x, QRgb& pixel) {
        pixel = palette[IndexAt<bitsPerPixel>(row, x)];
    });
}

// Clears the pixels that an icon's 1-bit mask marks as transparent.
void ApplyMask(const std::uint8_t* rows, qsizetype rowBytes, QImage& image) {
    ForEachPixel(rows, rowBytes, image, [](const std::uint8_t* row, int x, QRgb& pixel) {
        if (IndexAt<1>(row, x) != 0)
            pixel = 0;
    });
}

// A bitmap whose header starts at `header` in `data`, `height` rows tall; with `masked`, the
// 1-bit mask that follows its colour rows makes pixels transparent. Nothing if the header
// describes anything else or the data ends too soon.
std::optional<QImage> DecodeDib(const QByteArray& data, qsizetype header, int height, bool masked,
                                qsizetype pixels = -1) {
    if (header < 0 || header + infoHeaderBytes > data.size() ||
        dwordAt(data, header) != infoHeaderBytes)
        return std::nullopt;
    const auto width = static_cast<std::int32_t>(dwordAt(data, header + 4));
    const int bitsPerPixel = wordAt(data, header + 14);
    const std::uint32_t used = dwordAt(data, header + 32);
    const int colours = used != 0 ? static_cast<int>(used) : 1 << bitsPerPixel;
    if (width <= 0 || width > 0x8000 || height <= 0 || height > 0x8000 ||
        wordAt(data, header + 12) != 1 || dwordAt(data, header + 16) != 0 ||
        (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8) ||
        colours > 1 << bitsPerPixel)
        return std::nullopt;

    const qsizetype table = header + infoHeaderBytes;
    const qsizetype rowBytes = RowBytes(width, bitsPerPixel);
    const qsizetype maskRowBytes = RowBytes(width, 1);
    if (pixels < 0)
        pixels = table + qsizetype{colours} * 4;
    const qsizetype mask = pixels + rowBytes * height;
    if (pixels < table + qsizetype{colours} * 4 ||
        (masked ? mask + maskRowBytes * height : mask) > data.size())
        return std::nullopt;

    std::array<QRgb, 256> palette{};
    for (int i = 0; i < colours; ++i) {
        const qsizetype entry = table + qsizetype{i} * 4; // blue, green, red, unused
        palette[i] = qRgb(byteAt(data, entry + 2), byteAt(data, entry + 1), byteAt(data, entry));
    }
    QImage image = NewPicture(width, height,
                              masked ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    switch (bitsPerPixel) {
    case 1:
        ConvertRows<1>(bytes + pixels, rowBytes, palette, image);
        break;
    case 4:
        ConvertRows<4>(bytes + pixels, rowBytes, palette, image);
        break;
    default:
        ConvertRows<8>(bytes + pixels, rowBytes, palette, image);
        break;
    }
    if (masked)
        ApplyMask(bytes + mask, maskRowBytes, image);
    return image;
}

// The image data of a GIF: its sub-blocks joined, from `offset`, which is moved past them.
std::optional<QByteArray> JoinSubBlocks(const QByteArray& file, qsizetype& offset) {
    QByteArray joined;
    while (offset < file.size()) {
        const int length = byteAt(file, offset++);
        if (length == 0)
            return joined;
        if (offset + length > file.size())
            return std::nullopt;
        joined.append(file.constData() + offset, length);
        offset += length;
    }
    return std::nullopt;
}

// Variable-length LZW codes, least significant bit first, into `pixels` colour indexes.
std::optional<std::vector<std::uint8_t>> DecompressLzw(const QByteArray& data, int minimumBits,
                                                       qsizetype pixels) {
    constexpr int maxCodes = 4096;
    const int clear = 1 << minimumBits;
    const int end = clear + 1;
    struct Entry {
        int prefix;
        std::uint8_t last;
        std::uint8_t first;
        int length;
    };
    std::vector<Entry> table(maxCodes);
    for (int code = 0; code < clear; ++code)
        table[code] = {-1, std::uint8_t(code), std::uint8_t(code), 1};
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(pixels));
    int next = end + 1;
    int bits = minimumBits + 1;
    int previous = -1;
    std::uint32_t buffer = 0;
    int buffered = 0;
    for (const char byte : data) {
        buffer |= std::uint32_t(static_cast<std::uint8_t>(byte)) << buffered;
        buffered += 8;
        while (buffered >= bits) {
            const int code = static_cast<int>(buffer & ((1u << bits) - 1));
            buffer >>= bits;
            buffered -= bits;
            if (code == clear) {
                next = end + 1;
                bits = minimumBits + 1;
                previous = -1;
                continue;
            }
            if (code == end)
                return out.size() == std::size_t(pixels) ? std::optional(out) : std::nullopt;
            if (code > next || (code == next && previous < 0))
                return std::nullopt;
            if (previous >= 0 && next < maxCodes) {
                // The new entry is the previous string and the first index of this one, which
                // for the code being defined right now is the previous string's own first index.
                const std::uint8_t first = code == next ? table[previous].first : table[code].first;
                table[next] = {previous, first, table[previous].first, table[previous].length + 1};
                ++next;
                if (next == 1 << bits && bits < 12)
                    ++bits;
            }
            const Entry& entry = table[code];
            if (out.size() + std::size_t(entry.length) > std::size_t(pixels))
                return std::nullopt;
            out.resize(out.size() + std::size_t(entry.length));
            auto at = out.end();
            for (int c = code; c >= 0; c = table[c].prefix)
                *--at = table[c].last;
            previous = code;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<QImage> DecodeGif(const QByteArray& file) {
    constexpr qsizetype screenBytes = 13;
    if (file.size() < screenBytes || !(file.startsWith("GIF89a") || file.startsWith("GIF87a")))
        return std::nullopt;
    const int width = wordAt(file, 6);
    const int height = wordAt(file, 8);
    const int screenFlags = byteAt(file, 10);
    qsizetype offset = screenBytes;
    std::array<QRgb, 256> palette{};
    const auto readPalette = [&](int flags) {
        const int colours = 2 << (flags & 7);
        if (offset + qsizetype{colours} * 3 > file.size())
            return false;
        for (int i = 0; i < colours; ++i, offset += 3)
            palette[i] =
                qRgb(byteAt(file, offset), byteAt(file, offset + 1), byteAt(file, offset + 2));
        return true;
    };
    if ((screenFlags & 0x80) != 0 && !readPalette(screenFlags))
        return std::nullopt;

    int transparent = -1;
    while (offset + 2 < file.size() && byteAt(file, offset) == 0x21) {
        // Of the extensions only the graphic control says anything about the picture.
        if (byteAt(file, offset + 1) == 0xF9 && offset + 7 < file.size() &&
            (byteAt(file, offset + 3) & 1) != 0)
            transparent = byteAt(file, offset + 6);
        offset += 2;
        if (!JoinSubBlocks(file, offset))
            return std::nullopt;
    }
    // One frame covering the whole picture, as the splash's has; anything else is Qt's to read.
    constexpr qsizetype descriptorBytes = 10;
    if (offset + descriptorBytes + 1 > file.size() || byteAt(file, offset) != 0x2C ||
        wordAt(file, offset + 1) != 0 || wordAt(file, offset + 3) != 0 ||
        wordAt(file, offset + 5) != width || wordAt(file, offset + 7) != height || width == 0 ||
        height == 0)
        return std::nullopt;
    const int imageFlags = byteAt(file, offset + 9);
    offset += descriptorBytes;
    if ((imageFlags & 0x80) != 0 && !readPalette(imageFlags))
        return std::nullopt;
    if ((imageFlags & 0x80) == 0 && (screenFlags & 0x80) == 0)
        return std::nullopt;
    const int minimumBits = byteAt(file, offset++);
    if (minimumBits < 2 || minimumBits > 8)
        return std::nullopt;
    const std::optional<QByteArray> data = JoinSubBlocks(file, offset);
    if (!data)
        return std::nullopt;
    const std::optional<std::vector<std::uint8_t>> indexes =
        DecompressLzw(*data, minimumBits, qsizetype{width} * height);
    if (!indexes)
        return std::nullopt;

    if (transparent >= 0)
        palette[static_cast<std::size_t>(transparent)] = 0;
    QImage image = NewPicture(width, height, QImage::Format_ARGB32_Premultiplied);
    // Interlaced rows come in four passes: every eighth row from 0, every eighth from 4, every
    // fourth from 2, every second from 1.
    constexpr std::array<std::array<int, 2>, 4> passes{{{0, 8}, {4, 8}, {2, 4}, {1, 2}}};
    const bool interlaced = (imageFlags & 0x40) != 0;
    int row = 0;
    for (const auto& [start, step] : interlaced ? std::span(passes) : std::span(passes).first(1))
        for (int y = start; y < height; y += interlaced ? step : 1, ++row) {
            auto* out = reinterpret_cast<QRgb*>(image.bits() + image.bytesPerLine() * y);
            const std::uint8_t* in = indexes->data() + qsizetype{row} * width;
            for (int x = 0; x < width; ++x)
                out[x] = palette[in[x]];
        }
    return image;
}

std::optional<QImage> DecodeIndexedBitmap(const QByteArray& file) {
    constexpr qsizetype header = 14; // the file header's size
    if (file.size() < header + infoHeaderBytes || !file.startsWith("BM"))
        return std::nullopt;
    // A negative height would mean rows stored top-down, which these files never use.
    const auto height = static_cast<std::int32_t>(dwordAt(file, header + 8));
    return DecodeDib(file, header, height, false, dwordAt(file, 10));
}

std::vector<QImage> DecodeIndexedIcon(const QByteArray& file) {
    std::vector<quibly::fileformats::IconImageInFile> entries;
    try {
        entries = quibly::fileformats::readIconFileDirectory(
            std::span(reinterpret_cast<const std::uint8_t*>(file.constData()),
                      static_cast<std::size_t>(file.size())));
    } catch (const std::runtime_error&) {
        return {}; // Qt's reader then says what is wrong with it
    }
    std::vector<QImage> images;
    for (const auto& [entry, offset] : entries) {
        const auto header = static_cast<qsizetype>(offset);
        // An icon image's header counts its colour rows and its mask rows together.
        const auto height = static_cast<std::int32_t>(dwordAt(file, header + 8)) / 2;
        std::optional<QImage> image = DecodeDib(file, header, height, true);
        if (!image)
            return {};
        images.push_back(std::move(*image));
    }
    return images;
}

} // namespace FormsRuntime
