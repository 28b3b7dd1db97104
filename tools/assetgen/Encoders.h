#pragma once

// The picture files the program carries, written from drawings on Qt images. Each function
// throws std::runtime_error naming the file format and what failed.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <vector>

namespace AssetGen {

// A drawing (ARGB) and the colours it is stored in; pixels less than half covered are
// see-through.
struct Artwork {
    QImage drawing;
    QList<QRgb> colours;
};

// Each pixel of `art` as its nearest colour, the colours in the order given, in `format`
// (Indexed8 or Mono). See-through pixels take index 0, which covered pixels avoid when
// `reserveIndex0` is set.
QImage ToIndexed(const Artwork& art, QImage::Format format, bool reserveIndex0);

// A Windows bitmap file: uncompressed, rows bottom-up, with the image's colour table.
QByteArray EncodeBmp(const QImage& indexed);

// An icon file, one image per artwork: 1 bit per pixel for two colours, 4 for sixteen.
QByteArray EncodeIcon(const std::vector<Artwork>& images);

// A GIF89a file of exactly `fileSize` bytes: one interlaced image with a 256-entry global
// colour table, index 0 transparent, and a comment that fills the bytes the picture leaves.
QByteArray EncodeGif(const Artwork& art, qsizetype fileSize);

} // namespace AssetGen
