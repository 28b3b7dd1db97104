#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace quibly::platform {

// One image of an .ico file: what its directory entry and bitmap header say about it, and its
// bytes (a device-independent bitmap: header, palette, colour bits and transparency mask).
struct IconImage {
    int width = 0;
    int height = 0;
    int colourCount = 0; // as the directory entry gives it: 0 stands for 256 colours or more
    int planes = 0;
    int bitCount = 0;
    QByteArray bytes;
};

// Reads every image of the .ico file at `path`, in file order.
// Throws std::runtime_error naming the file and the fault.
std::vector<IconImage> readIconFile(const QString& path);

} // namespace quibly::platform
