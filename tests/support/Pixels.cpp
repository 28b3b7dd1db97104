#include "Pixels.h"

#include <QWidget>
#include <cmath>

namespace TestSupport {

QImage Render(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QColor PixelAt(const QImage& image, QPoint point) {
    const double ratio = image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(std::lround(point.x() * ratio)),
                            static_cast<int>(std::lround(point.y() * ratio)));
}

bool Filled(const QImage& image, const QRect& rect, const QColor& color) {
    const double ratio = image.devicePixelRatio();
    const QRect device(static_cast<int>(std::lround(rect.x() * ratio)),
                       static_cast<int>(std::lround(rect.y() * ratio)),
                       static_cast<int>(std::lround(rect.width() * ratio)),
                       static_cast<int>(std::lround(rect.height() * ratio)));
    for (int y = device.top(); y <= device.bottom(); ++y)
        for (int x = device.left(); x <= device.right(); ++x)
            if (image.pixelColor(x, y) != color)
                return false;
    return true;
}

} // namespace TestSupport
