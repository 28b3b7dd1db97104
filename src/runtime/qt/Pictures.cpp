#include "runtime/qt/Pictures.h"

#include "fileformats/LittleEndian.h"

#include <array>
#include <cstdint>

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

// One row of pixels looked up in the palette, the bitmap's rows being stored bottom-up.
template <int bitsPerPixel>
void ConvertRows(const std::uint8_t* rows, qsizetype rowBytes, const std::array<QRgb, 256>& palette,
                 QImage& image) {
    const int width = image.width();
    const int height = image.height();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = rows + rowBytes * (height - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(image.bits() + image.bytesPerLine() * y);
        for (int x = 0; x < width; ++x)
            out[x] = palette[IndexAt<bitsPerPixel>(row, x)];
    }
}

// Clears the pixels that an icon's 1-bit mask marks as transparent.
void ApplyMask(const std::uint8_t* rows, qsizetype rowBytes, QImage& image) {
    const int width = image.width();
    const int height = image.height();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = rows + rowBytes * (height - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(image.bits() + image.bytesPerLine() * y);
        for (int x = 0; x < width; ++x)
            if (IndexAt<1>(row, x) != 0)
                out[x] = 0;
    }
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
    QImage image(width, height,
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

} // namespace

std::optional<QImage> DecodeIndexedBitmap(const QByteArray& file) {
    constexpr qsizetype fileHeaderBytes = 14;
    if (file.size() < fileHeaderBytes || !file.startsWith("BM"))
        return std::nullopt;
    const qsizetype header = fileHeaderBytes;
    if (header + infoHeaderBytes > file.size())
        return std::nullopt;
    // A negative height would mean rows stored top-down, which these files never use.
    const auto height = static_cast<std::int32_t>(dwordAt(file, header + 8));
    return DecodeDib(file, header, height, false, dwordAt(file, 10));
}

std::vector<QImage> DecodeIndexedIcon(const QByteArray& file) {
    constexpr qsizetype directoryBytes = 6, entryBytes = 16;
    if (file.size() < directoryBytes || wordAt(file, 0) != 0 || wordAt(file, 2) != 1)
        return {};
    const int count = wordAt(file, 4);
    if (count == 0 || directoryBytes + count * entryBytes > file.size())
        return {};
    std::vector<QImage> images;
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = directoryBytes + i * entryBytes;
        const qsizetype header = dwordAt(file, entry + 12);
        if (header + infoHeaderBytes > file.size())
            return {};
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
