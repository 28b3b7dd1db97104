#include "ImageSnapshot.h"

#include <stdexcept>

namespace TestDriver {

Snapshot SnapshotOf(const QImage& picture, double scale) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    Snapshot snapshot{image.width(), image.height(), scale, {}};
    snapshot.pixels.reserve(std::size_t(image.width()) * std::size_t(image.height()));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            snapshot.pixels.push_back({qRed(pixel), qGreen(pixel), qBlue(pixel)});
        }
    return snapshot;
}

std::pair<Rgb, int> SampleOf(const QString& file, Point point) {
    const QImage image(file);
    if (image.isNull())
        throw std::runtime_error("no picture " + file.toStdString());
    const QColor colour = image.pixelColor(point.x, point.y);
    return {{colour.red(), colour.green(), colour.blue()}, colour.alpha()};
}

} // namespace TestDriver
