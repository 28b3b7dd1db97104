#include "IconFile.h"

#include "LittleEndian.h"

#include <QFile>
#include <QtEndian>
#include <stdexcept>

namespace quibly::platform {

namespace {

constexpr qsizetype iconDirSize = 6;
constexpr qsizetype iconDirEntrySize = 16;
constexpr quint32 bitmapInfoHeaderSize = 40;
constexpr quint16 iconResourceType = 1;

int byteAt(const QByteArray& data, qsizetype offset) {
    return static_cast<unsigned char>(data.at(offset));
}

void appendWord(QByteArray& data, quint16 value) {
    const auto littleEndian = qToLittleEndian(value);
    data.append(reinterpret_cast<const char*>(&littleEndian), sizeof littleEndian);
}

void appendDword(QByteArray& data, quint32 value) {
    const auto littleEndian = qToLittleEndian(value);
    data.append(reinterpret_cast<const char*>(&littleEndian), sizeof littleEndian);
}

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

QByteArray groupIconDirectory(const std::vector<IconImage>& images, quint16 firstImageId) {
    QByteArray directory;
    appendWord(directory, 0);
    appendWord(directory, iconResourceType);
    appendWord(directory, static_cast<quint16>(images.size()));
    quint16 id = firstImageId;
    for (const IconImage& image : images) {
        directory.append(static_cast<char>(image.width % 256));
        directory.append(static_cast<char>(image.height % 256));
        directory.append(static_cast<char>(image.colourCount));
        directory.append('\0');
        appendWord(directory, static_cast<quint16>(image.planes));
        appendWord(directory, static_cast<quint16>(image.bitCount));
        appendDword(directory, static_cast<quint32>(image.bytes.size()));
        appendWord(directory, id++);
    }
    return directory;
}

} // namespace quibly::platform
