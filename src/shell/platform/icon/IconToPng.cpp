// Writes one image of an .ico file as a PNG, for the desktop's icon theme. Of the images of the
// requested size it takes the one with the most colours.
//
// Usage: quibly_icon_to_png <icon.ico> <size> <output.png>

#include "fileformats/IconDirectory.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <cstdio>
#include <stdexcept>

using quibly::fileformats::IconImageInFile;

namespace {

[[noreturn]] void fail(const QString& operation, const QString& fault) {
    throw std::runtime_error(QStringLiteral("%1: %2").arg(operation, fault).toStdString());
}

std::vector<IconImageInFile> readIconFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("reading icon file %1").arg(path), file.errorString());
    const QByteArray data = file.readAll();
    try {
        return quibly::fileformats::readIconFileDirectory(
            std::span(reinterpret_cast<const std::uint8_t*>(data.constData()),
                      static_cast<std::size_t>(data.size())));
    } catch (const std::runtime_error& error) {
        fail(QStringLiteral("reading icon file %1").arg(path), QString::fromUtf8(error.what()));
    }
}

int richestImageOfSize(const QString& iconPath, int size) {
    const auto images = readIconFile(iconPath);
    int chosen = -1;
    for (int index = 0; index < static_cast<int>(images.size()); ++index) {
        const auto& image = images[static_cast<std::size_t>(index)].entry;
        if (image.width == size && image.height == size &&
            (chosen < 0 ||
             image.bitCount > images[static_cast<std::size_t>(chosen)].entry.bitCount))
            chosen = index;
    }
    if (chosen < 0)
        fail(QStringLiteral("reading icon file %1").arg(iconPath),
             QStringLiteral("no %1x%1 image").arg(size));
    return chosen;
}

QImage decodeImage(const QString& iconPath, int index) {
    const QString operation = QStringLiteral("decoding image %1 of %2").arg(index).arg(iconPath);
    QImageReader reader(iconPath, "ico");
    if (!reader.jumpToImage(index))
        fail(operation, reader.errorString());
    QImage image = reader.read();
    if (image.isNull())
        fail(operation, reader.errorString());
    return image;
}

void convert(const QString& iconPath, int size, const QString& pngPath) {
    const QImage image = decodeImage(iconPath, richestImageOfSize(iconPath, size));
    if (image.width() != size || image.height() != size)
        fail(QStringLiteral("decoding %1").arg(iconPath),
             QStringLiteral("expected %1x%1 pixels, got %2x%3")
                 .arg(size)
                 .arg(image.width())
                 .arg(image.height()));
    if (!image.save(pngPath, "PNG"))
        fail(QStringLiteral("writing %1").arg(pngPath), QStringLiteral("PNG encoding failed"));
}

int iconSize(const QString& argument) {
    bool ok = false;
    const int size = argument.toInt(&ok);
    if (!ok || size < 1 || size > 256)
        fail(QStringLiteral("reading icon size \"%1\"").arg(argument),
             QStringLiteral("not a number from 1 to 256"));
    return size;
}

} // namespace

int main(int argc, char* argv[]) {
    const QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4) {
        std::fputs("usage: quibly_icon_to_png <icon.ico> <size> <output.png>\n", stderr);
        return 2;
    }
    try {
        convert(arguments[1], iconSize(arguments[2]), arguments[3]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quibly_icon_to_png: %s\n", error.what());
        return 1;
    }
    return 0;
}
