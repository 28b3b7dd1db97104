#include "Pictures.h"

namespace AssetGen {

QImage NewDrawing(int width, int height) {
    QImage drawing(width, height, QImage::Format_ARGB32_Premultiplied);
    drawing.fill(Qt::transparent);
    return drawing;
}

QList<QRgb> Ramp(const QColor& from, const QColor& to, int steps) {
    QList<QRgb> colours;
    const auto mix = [&](int a, int b, int step) { return a + (b - a) * step / (steps - 1); };
    for (int step = 0; step < steps; ++step)
        colours.append(qRgb(mix(from.red(), to.red(), step), mix(from.green(), to.green(), step),
                            mix(from.blue(), to.blue(), step)));
    return colours;
}

} // namespace AssetGen
