#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A strict reading of a GIF file's block structure and LZW data, independent of Qt's decoder,
// which forgives a missing or mis-sized end code.

struct GifImageBlock {
    int width = 0;
    int height = 0;
    bool interlaced = false;
    bool localTable = false;
    int minCodeSize = 0;
    QByteArray codes; // the sub-blocks joined
};

struct GifStream {
    QString error; // empty when the blocks run cleanly to the trailer, the file's last byte
    QByteArray signature;
    int width = 0;
    int height = 0;
    int globalTableEntries = 0; // 0 when there is no global table
    int graphicControls = 0;
    bool transparent = false;
    int transparentIndex = -1;
    QList<GifImageBlock> images;
    QList<QByteArray> comments;
};

GifStream parseGif(const QByteArray& file);

struct LzwDecoding {
    QString error; // empty when every code is defined and the end code closes the data exactly
    QByteArray symbols;
};

LzwDecoding decodeLzw(const QByteArray& codes, int minCodeSize);
