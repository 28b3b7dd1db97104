#pragma once

// Pictures that Qt holds (a grabbed widget, a decoded screenshot, a picture file) as the drivers
// report them.

#include "Driver.h"

#include <QImage>

namespace TestDriver {

// `scale` device pixels make one device-independent pixel.
Snapshot SnapshotOf(const QImage& picture, double scale);
// A pixel of a picture file, and its alpha.
std::pair<Rgb, int> SampleOf(const QString& file, Point point);

} // namespace TestDriver
