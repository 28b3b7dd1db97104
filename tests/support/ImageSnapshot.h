#pragma once

// A picture that Qt holds (a grabbed widget, a decoded screenshot) as the drivers report it.

#include "Driver.h"

#include <QImage>

namespace TestDriver {

// `scale` device pixels make one device-independent pixel.
Snapshot SnapshotOf(const QImage& picture, double scale);

} // namespace TestDriver
