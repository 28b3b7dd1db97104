#pragma once

// Pictures with a colour table, as the program's backdrop, icons and splash picture are stored,
// decoded straight into the pixel format the raster engine paints: opaque 32-bit RGB for a
// bitmap file, premultiplied ARGB for an icon image, whose mask makes pixels transparent, and
// for a GIF, whose transparent colour does. Qt's own readers decode them into another format
// that must be converted before it is painted, and apply an icon's mask through a colour-space
// conversion built for the purpose.

#include <QByteArray>
#include <QImage>
#include <optional>
#include <vector>

namespace FormsRuntime {

// The picture of a .bmp file, or nothing if it is not an uncompressed bitmap of 1, 4 or 8 bits
// per pixel (the caller then leaves it to Qt's reader).
std::optional<QImage> DecodeIndexedBitmap(const QByteArray& file);

// Every image of a .ico file, or none unless all of them are uncompressed bitmaps of 1, 4 or 8
// bits per pixel.
std::vector<QImage> DecodeIndexedIcon(const QByteArray& file);

// The first frame of a GIF, or nothing if that frame does not cover the whole picture or the
// file cannot be decoded (the caller then leaves it to Qt's reader).
std::optional<QImage> DecodeGif(const QByteArray& file);

} // namespace FormsRuntime
