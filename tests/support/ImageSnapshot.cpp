#include "ImageSnapshot.h"

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

} // namespace TestDriver
