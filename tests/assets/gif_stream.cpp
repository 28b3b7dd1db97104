#include "gif_stream.h"

#include <QVector>

namespace {

class BlockReader {
public:
    explicit BlockReader(const QByteArray& bytes) : bytes_(bytes) {}

    bool has(qsizetype count) const { return position_ + count <= bytes_.size(); }
    qsizetype position() const { return position_; }
    int byte() { return static_cast<unsigned char>(bytes_[position_++]); }
    int word() {
        const int low = byte();
        return low | (byte() << 8);
    }
    QByteArray take(qsizetype count) {
        const QByteArray part = bytes_.mid(position_, count);
        position_ += count;
        return part;
    }
    // Joined data of a sub-block chain, or an error when it runs past the end.
    bool subBlocks(QByteArray& data) {
        while (has(1)) {
            const int length = byte();
            if (length == 0)
                return true;
            if (!has(length))
                return false;
            data += take(length);
        }
        return false;
    }

private:
    const QByteArray& bytes_;
    qsizetype position_ = 0;
};

class CodeReader {
public:
    explicit CodeReader(const QByteArray& codes) : codes_(codes) {}

    bool read(int width, int& code) {
        while (bits_ < width) {
            if (next_ >= codes_.size())
                return false;
            pending_ |= static_cast<quint32>(static_cast<unsigned char>(codes_[next_++])) << bits_;
            bits_ += 8;
        }
        code = static_cast<int>(pending_ & ((1u << width) - 1));
        pending_ >>= width;
        bits_ -= width;
        return true;
    }
    bool exhausted() const { return next_ == codes_.size() && pending_ == 0; }

private:
    const QByteArray& codes_;
    qsizetype next_ = 0;
    quint32 pending_ = 0;
    int bits_ = 0;
};

} // namespace

GifStream parseGif(const QByteArray& file) {
    GifStream gif;
    BlockReader in(file);
    if (!in.has(13)) {
        gif.error = "shorter than a GIF header";
        return gif;
    }
    gif.signature = in.take(6);
    gif.width = in.word();
    gif.height = in.word();
    const int flags = in.byte();
    in.take(2); // background colour, aspect ratio
    if (flags & 0x80) {
        gif.globalTableEntries = 2 << (flags & 7);
        if (!in.has(3 * gif.globalTableEntries)) {
            gif.error = "global colour table runs past the end";
            return gif;
        }
        in.take(3 * gif.globalTableEntries);
    }
    while (in.has(1)) {
        const qsizetype blockStart = in.position();
        const int introducer = in.byte();
        if (introducer == 0x3B) {
            if (in.position() != file.size())
                gif.error = QString("trailer at %1 is not the last byte").arg(blockStart);
            return gif;
        }
        if (introducer == 0x21 && in.has(1)) {
            const int label = in.byte();
            QByteArray data;
            if (!in.subBlocks(data))
                break;
            if (label == 0xF9) {
                ++gif.graphicControls;
                const bool wellFormed = data.size() == 4;
                gif.transparent = wellFormed && (data[0] & 1);
                gif.transparentIndex = wellFormed ? static_cast<unsigned char>(data[3]) : -1;
            } else if (label == 0xFE) {
                gif.comments.append(data);
            }
            continue;
        }
        if (introducer == 0x2C && in.has(10)) {
            GifImageBlock image;
            in.word(); // left
            in.word(); // top
            image.width = in.word();
            image.height = in.word();
            const int imageFlags = in.byte();
            image.interlaced = imageFlags & 0x40;
            image.localTable = imageFlags & 0x80;
            image.minCodeSize = in.byte();
            if (image.localTable || !in.subBlocks(image.codes))
                break;
            gif.images.append(image);
            continue;
        }
        gif.error = QString("unexpected block 0x%1 at %2").arg(introducer, 2, 16).arg(blockStart);
        return gif;
    }
    if (gif.error.isEmpty())
        gif.error = "no trailer: the blocks run past the end";
    return gif;
}

LzwDecoding decodeLzw(const QByteArray& codes, int minCodeSize) {
    LzwDecoding result;
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    QVector<QByteArray> table;
    int width = minCodeSize + 1;
    int previous = -1;
    CodeReader reader(codes);
    bool cleared = false;
    for (;;) {
        int code = 0;
        if (!reader.read(width, code)) {
            result.error = "the data ends without an end code";
            return result;
        }
        if (code == clearCode) {
            table.clear();
            for (int symbol = 0; symbol < clearCode; ++symbol)
                table.append(QByteArray(1, static_cast<char>(symbol)));
            table.append(QByteArray()); // clear
            table.append(QByteArray()); // end
            width = minCodeSize + 1;
            previous = -1;
            cleared = true;
            continue;
        }
        if (!cleared) {
            result.error = "the data does not start with a clear code";
            return result;
        }
        if (code == endCode) {
            if (!reader.exhausted())
                result.error = "bytes or set bits follow the end code";
            return result;
        }
        QByteArray entry;
        if (code < table.size() && code != clearCode && code != endCode) {
            entry = table[code];
        } else if (code == table.size() && previous >= 0) {
            entry = table[previous] + table[previous].left(1);
        } else {
            result.error = QString("code %1 is not in the table of %2").arg(code).arg(table.size());
            return result;
        }
        if (previous >= 0 && table.size() < 4096)
            table.append(table[previous] + entry.left(1));
        if (table.size() == (1 << width) && width < 12)
            ++width;
        result.symbols += entry;
        previous = code;
    }
}
