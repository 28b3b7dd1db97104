#include "IconFile.h"

#include "fileformats/LittleEndian.h"

#include <QFile>
#include <stdexcept>

namespace quibly::platform {

namespace {

using fileformats::byteAt;
using fileformats::dwordAt;
using fileformats::wordAt;

constexpr qsizetype iconDirSize = 6;
constexpr qsizetype iconDirEntrySize = 16;
constexpr quint32 bitmapInfoHeaderSize = 40;
constexpr quint16 iconResourceType = 1;

[[noreturn]] void fail(const QString& path, const QString& fault) {
    throw std::runtime_error(
        QStringLiteral("reading icon file %1: %2").arg(path, fault).toStdString());
}

// A directory byte of 0 means 256 pixels.
int dimension(int directoryByte) {
    return directoryByte == 0 ? 256 : directoryByte;
}

IconImage readImage(const QString& path, const QByteArray& file, int index) {
    const qsizetype entry = iconDirSize + index * iconDirEntrySize;
    const quint32 size = dwordAt(file, entry + 8);
    const quint32 offset = dwordAt(file, entry + 12);
    if (offset > file.size() || size > file.size() - offset)
        fail(path, QStringLiteral("image %1 lies outside the file").arg(index));

    IconImage image;
    image.width = dimension(byteAt(file, entry));
    image.height = dimension(byteAt(file, entry + 1));
    image.colourCount = byteAt(file, entry + 2);
    image.bytes = file.mid(offset, size);
    // The bitmap header is authoritative for planes and depth; many files leave the directory's
    // copies at zero.
    if (size < bitmapInfoHeaderSize || dwordAt(image.bytes, 0) < bitmapInfoHeaderSize)
        fail(path, QStringLiteral("image %1 is not a device-independent bitmap").arg(index));
    image.planes = wordAt(image.bytes, 12);
    image.bitCount = wordAt(image.bytes, 14);
    return image;
}

} // namespace

std::vector<IconImage> readIconFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(path, file.errorString());
    const QByteArray data = file.readAll();

    if (data.size() < iconDirSize || wordAt(data, 0) != 0 || wordAt(data, 2) != iconResourceType)
        fail(path, QStringLiteral("not an icon file"));
    const int count = wordAt(data, 4);
    if (count == 0)
        fail(path, QStringLiteral("the icon holds no images"));
    if (data.size() < iconDirSize + count * iconDirEntrySize)
        fail(path, QStringLiteral("the directory of %1 images is cut short").arg(count));

    std::vector<IconImage> images;
    images.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index)
        images.push_back(readImage(path, data, index));
    return images;
}

} // namespace quibly::platform
