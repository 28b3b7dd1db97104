#include "Encoders.h"
#include "fileformats/IconDirectory.h"

#include <QBuffer>
#include <QPainter>
#include <QtEndian>
#include <algorithm>
#include <stdexcept>

namespace AssetGen {
namespace {

constexpr qsizetype fileHeaderBytes = 14;
constexpr qsizetype heightField = 8;     // in the bitmap header
constexpr qsizetype imageSizeField = 20; // in the bitmap header
constexpr int pixelsPerMetre = 3780;     // 96 dots per inch

bool SeeThrough(const QImage& drawing, int x, int y) {
    return qAlpha(drawing.pixel(x, y)) < 128;
}

// The bytes a row holds beyond its last pixel are cleared, so that the files come out the same
// on every run: Qt writes rows as they lie in memory.
void ClearRowPadding(QImage& image) {
    const auto used = static_cast<qsizetype>((image.width() * image.depth() + 7) / 8);
    for (int y = 0; y < image.height(); ++y)
        std::fill(image.scanLine(y) + used, image.scanLine(y) + image.bytesPerLine(), 0);
}

// An icon's transparency mask: one bit per pixel, set where the screen shows through, rows
// bottom-up and padded to four bytes.
QByteArray Mask(const QImage& drawing) {
    const int rowBytes = (drawing.width() + 31) / 32 * 4;
    QByteArray mask(qsizetype{rowBytes} * drawing.height(), '\0');
    for (int y = 0; y < drawing.height(); ++y)
        for (int x = 0; x < drawing.width(); ++x)
            if (SeeThrough(drawing, x, y)) {
                char& bits = mask[(drawing.height() - 1 - y) * rowBytes + x / 8];
                bits = static_cast<char>(bits | 0x80 >> (x % 8));
            }
    return mask;
}

// One image of an icon file: a bitmap header whose height counts the colour rows and the mask
// rows together, the colour table, the colour rows, then the mask.
QByteArray IconImage(const Artwork& art) {
    const bool twoColours = art.colours.size() == 2;
    QByteArray image =
        EncodeBmp(ToIndexed(art, twoColours ? QImage::Format_Mono : QImage::Format_Indexed8, false))
            .mid(fileHeaderBytes);
    const QByteArray mask = Mask(art.drawing);
    const auto header = reinterpret_cast<uchar*>(image.data());
    qToLittleEndian<quint32>(2 * art.drawing.height(), header + heightField);
    qToLittleEndian<quint32>(qFromLittleEndian<quint32>(header + imageSizeField) +
                                 static_cast<quint32>(mask.size()),
                             header + imageSizeField);
    return image + mask;
}

} // namespace

QImage ToIndexed(const Artwork& art, QImage::Format format, bool reserveIndex0) {
    QImage flat(art.drawing.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, art.drawing);
    const int first = reserveIndex0 ? 1 : 0;
    QImage indexed = flat.convertToFormat(format, art.colours.mid(first), Qt::ThresholdDither);
    indexed.setColorTable(art.colours);
    for (int y = 0; y < indexed.height(); ++y)
        for (int x = 0; x < indexed.width(); ++x)
            indexed.setPixel(x, y,
                             SeeThrough(art.drawing, x, y) ? 0 : indexed.pixelIndex(x, y) + first);
    ClearRowPadding(indexed);
    return indexed;
}

QByteArray EncodeBmp(const QImage& indexed) {
    QImage image = indexed;
    image.setDotsPerMeterX(pixelsPerMetre);
    image.setDotsPerMeterY(pixelsPerMetre);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP"))
        throw std::runtime_error("BMP: Qt cannot write a " + std::to_string(image.depth()) +
                                 "-bit image");
    return bytes;
}

QByteArray EncodeIcon(const std::vector<Artwork>& images) {
    std::vector<quibly::fileformats::IconEntry> entries;
    QByteArray bodies;
    for (const Artwork& art : images) {
        const int bits = art.colours.size() == 2 ? 1 : 4;
        if (art.colours.size() != 1 << bits)
            throw std::runtime_error("icon: " + std::to_string(art.colours.size()) +
                                     " colours are neither 2 nor 16");
        const QByteArray body = IconImage(art);
        entries.push_back({.width = art.drawing.width(),
                           .height = art.drawing.height(),
                           .colourCount = 1 << bits,
                           .planes = 1,
                           .bitCount = bits,
                           .imageBytes = static_cast<std::uint32_t>(body.size())});
        bodies += body;
    }
    const std::vector<std::uint8_t> directory = quibly::fileformats::iconFileDirectory(entries);
    return QByteArray(reinterpret_cast<const char*>(directory.data()),
                      static_cast<qsizetype>(directory.size())) +
           bodies;
}

} // namespace AssetGen
