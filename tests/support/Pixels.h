#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

class QWidget;

namespace TestSupport {

// What the widget and its children look like, in device pixels (twice as many at a scale
// factor of 2).
QImage Render(QWidget& widget);

// The colour at a point given in device-independent pixels.
QColor PixelAt(const QImage& image, QPoint point);

// True when every device pixel inside the rectangle (device-independent pixels) has `color`.
bool Filled(const QImage& image, const QRect& rect, const QColor& color);

} // namespace TestSupport
