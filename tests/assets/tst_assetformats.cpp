// The picture encoders on their own: odd sizes, every depth and LZW streams of every length,
// read back by Qt's decoders and by a strict GIF reader that forgives nothing.

#include "bmp.h"
#include "gif.h"
#include "gif_stream.h"
#include "ico.h"
#include "lzw.h"
#include "palette.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTest>
#include <random>
#include <stdexcept>

using assetgen::Bytes;
using assetgen::IndexedImage;
using assetgen::Palette;

namespace {

QByteArray toQByteArray(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

struct Noise {
    int transparentPercent = 0;
    // Opaque pixels use palette entries firstOpaque..palette size - 1.
    int firstOpaque = 0;
};

IndexedImage randomImage(int width, int height, Palette palette, Noise noise, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> entry(noise.firstOpaque, int(palette.size()) - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    IndexedImage image{width, height, std::move(palette), {}, {}};
    for (int i = 0; i < width * height; ++i) {
        const bool clear = percent(random) < noise.transparentPercent;
        image.transparent.push_back(clear);
        image.indices.push_back(clear ? 0 : std::uint8_t(entry(random)));
    }
    return image;
}

Palette randomPalette(int entries, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> channel(0, 255);
    Palette palette;
    for (int i = 0; i < entries; ++i)
        palette.push_back({std::uint8_t(channel(random)), std::uint8_t(channel(random)),
                           std::uint8_t(channel(random))});
    return palette;
}

QList<QImage> decodeAll(const QByteArray& file, const QByteArray& format) {
    QBuffer buffer;
    buffer.setData(file);
    QImageReader reader(&buffer, format);
    QList<QImage> images;
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        images.append(reader.read());
    }
    return images;
}

// Empty when every pixel shows its palette colour, or is clear where the picture is transparent.
QString differences(const IndexedImage& expected, const QImage& decoded) {
    if (decoded.size() != QSize(expected.width, expected.height))
        return QString("decoded as %1 x %2").arg(decoded.width()).arg(decoded.height());
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            const QRgb pixel = decoded.pixel(x, y);
            const auto colour = expected.palette[expected.indexAt(x, y)];
            const bool matches = expected.isTransparent(x, y)
                                     ? qAlpha(pixel) == 0
                                     : qAlpha(pixel) == 255 && qRed(pixel) == colour.r &&
                                           qGreen(pixel) == colour.g && qBlue(pixel) == colour.b;
            if (!matches)
                return QString("pixel %1,%2 decoded as #%3")
                    .arg(x)
                    .arg(y)
                    .arg(pixel, 8, 16, QChar('0'));
        }
    }
    return {};
}

} // namespace

class TestAssetFormats : public QObject {
    Q_OBJECT

private slots:
    void lzwRoundTrip_data();
    void lzwRoundTrip();
    void gifRoundTrip_data();
    void gifRoundTrip();
    void gifStoresRowsInInterlaceOrder_data();
    void gifStoresRowsInInterlaceOrder();
    void gifPaddingReachesExactSize_data();
    void gifPaddingReachesExactSize();
    void gifRejectsPaddingTooSmall();
    void bmpRoundTrip_data();
    void bmpRoundTrip();
    void icoRoundTrip_data();
    void icoRoundTrip();
    void icoKeepsImageOrder();
};

void TestAssetFormats::lzwRoundTrip_data() {
    QTest::addColumn<int>("minCodeSize");
    QTest::addColumn<int>("symbolsUsed");
    QTest::addColumn<int>("repeatPercent"); // chance a symbol repeats the one before
    QTest::addColumn<int>("fromLength");
    QTest::addColumn<int>("toLength");
    // Every length up to 700 passes each point where the code width grows, with the end code
    // landing on both sides of it.
    QTest::newRow("2-bit noise, lengths 0..700") << 2 << 4 << 0 << 0 << 700;
    QTest::newRow("4-bit noise, lengths 0..700") << 4 << 16 << 0 << 0 << 700;
    QTest::newRow("4-bit runs, lengths 0..700") << 4 << 16 << 90 << 0 << 700;
    QTest::newRow("8-bit noise, lengths 0..700") << 8 << 256 << 0 << 0 << 700;
    QTest::newRow("8-bit, few symbols, lengths 0..700") << 8 << 3 << 50 << 0 << 700;
    // Long enough to fill the 4096-entry table several times over.
    QTest::newRow("8-bit noise, table cleared") << 8 << 256 << 0 << 40000 << 40003;
    QTest::newRow("2-bit runs, table cleared") << 2 << 4 << 95 << 200000 << 200001;
}

void TestAssetFormats::lzwRoundTrip() {
    QFETCH(int, minCodeSize);
    QFETCH(int, symbolsUsed);
    QFETCH(int, repeatPercent);
    QFETCH(int, fromLength);
    QFETCH(int, toLength);
    for (int length = fromLength; length <= toLength; ++length) {
        std::mt19937 random{static_cast<unsigned>(length)};
        std::uniform_int_distribution<int> symbol(0, symbolsUsed - 1);
        std::uniform_int_distribution<int> percent(0, 99);
        std::vector<std::uint8_t> symbols;
        for (int i = 0; i < length; ++i)
            symbols.push_back(i > 0 && percent(random) < repeatPercent
                                  ? symbols.back()
                                  : std::uint8_t(symbol(random)));
        const LzwDecoding decoded =
            decodeLzw(toQByteArray(assetgen::lzwEncode(symbols, minCodeSize)), minCodeSize);
        const QString where = QString("length %1: ").arg(length);
        QVERIFY2(decoded.error.isEmpty(), qPrintable(where + decoded.error));
        QVERIFY2(decoded.symbols == toQByteArray(Bytes(symbols.begin(), symbols.end())),
                 qPrintable(where + "decodes to other symbols"));
    }
}

void TestAssetFormats::gifRoundTrip_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("colours");
    QTest::addColumn<int>("transparentPercent");
    // Qt 6.4 misplaces the rows of interlaced pictures under five rows high, so those are left
    // to gifStoresRowsInInterlaceOrder.
    QTest::newRow("one pixel") << 1 << 1 << 2 << 0;
    QTest::newRow("one row of each pass") << 7 << 5 << 4 << 30;
    QTest::newRow("each pass a different length") << 13 << 11 << 8 << 20;
    QTest::newRow("splash-sized, 16 colours") << 99 << 63 << 16 << 40;
    QTest::newRow("17 colours: five-bit codes") << 40 << 33 << 17 << 10;
    QTest::newRow("256 colours, table cleared") << 160 << 120 << 256 << 5;
    QTest::newRow("all transparent") << 30 << 20 << 2 << 100;
}

void TestAssetFormats::gifRoundTrip() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, colours);
    QFETCH(int, transparentPercent);
    const IndexedImage image =
        randomImage(width, height, randomPalette(colours, 7), {transparentPercent, 1}, 11);
    const QByteArray file = toQByteArray(assetgen::encodeGif(image));

    const GifStream gif = parseGif(file);
    QVERIFY2(gif.error.isEmpty(), qPrintable(gif.error));
    QCOMPARE(gif.globalTableEntries, 256);
    QVERIFY(gif.transparent);
    QCOMPARE(gif.transparentIndex, 0);
    QCOMPARE(gif.images.size(), 1);
    QVERIFY(gif.images.front().interlaced);
    const LzwDecoding stored = decodeLzw(gif.images.front().codes, gif.images.front().minCodeSize);
    QVERIFY2(stored.error.isEmpty(), qPrintable(stored.error));
    QCOMPARE(stored.symbols.size(), qsizetype(width) * height);

    const QList<QImage> decoded = decodeAll(file, "gif");
    QCOMPARE(decoded.size(), 1);
    const QString problem = differences(image, decoded.front());
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void TestAssetFormats::gifStoresRowsInInterlaceOrder_data() {
    QTest::addColumn<int>("height");
    for (int height = 1; height <= 17; ++height)
        QTest::addRow("%d rows", height) << height;
}

void TestAssetFormats::gifStoresRowsInInterlaceOrder() {
    QFETCH(int, height);
    // Each row holds its own number, so the stored order can be read off directly.
    IndexedImage image{3, height, randomPalette(32, 1), {}, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            image.indices.push_back(std::uint8_t(y + 1));
            image.transparent.push_back(false);
        }
    }
    const GifStream gif = parseGif(toQByteArray(assetgen::encodeGif(image)));
    QVERIFY2(gif.error.isEmpty() && gif.images.size() == 1, qPrintable(gif.error));
    const LzwDecoding stored = decodeLzw(gif.images.front().codes, gif.images.front().minCodeSize);
    QVERIFY2(stored.error.isEmpty(), qPrintable(stored.error));

    // Every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
    QByteArray expected;
    for (const auto& [first, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = first; y < height; y += step)
            expected += QByteArray(image.width, char(y + 1));
    QCOMPARE(stored.symbols, expected);
}

void TestAssetFormats::gifPaddingReachesExactSize_data() {
    QTest::addColumn<int>("extraBytes");
    // A comment needs 5 bytes at least; 260 and 261 straddle the first full text block.
    for (const int extra : {5, 6, 259, 260, 261, 262, 263, 516, 517, 1000})
        QTest::addRow("%d extra", extra) << extra;
}

void TestAssetFormats::gifPaddingReachesExactSize() {
    QFETCH(int, extraBytes);
    const IndexedImage image = randomImage(20, 10, randomPalette(16, 3), {25, 1}, 5);
    const std::size_t bare = assetgen::encodeGif(image).size();
    const std::size_t wanted = bare + std::size_t(extraBytes);
    const QByteArray file = toQByteArray(assetgen::encodeGif(image, {.paddedSize = wanted}));
    QCOMPARE(std::size_t(file.size()), wanted);

    const GifStream gif = parseGif(file);
    QVERIFY2(gif.error.isEmpty(), qPrintable(gif.error));
    QCOMPARE(gif.images.size(), 1);
    QCOMPARE(gif.comments.size(), 1);
    QVERIFY(!gif.comments.front().isEmpty());
    QVERIFY(QByteArray("Quibly ").repeated(200).startsWith(gif.comments.front()));
    const QList<QImage> decoded = decodeAll(file, "gif");
    QCOMPARE(decoded.size(), 1);
    const QString problem = differences(image, decoded.front());
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void TestAssetFormats::gifRejectsPaddingTooSmall() {
    const IndexedImage image = randomImage(20, 10, randomPalette(16, 3), {25, 1}, 5);
    const std::size_t bare = assetgen::encodeGif(image).size();
    for (std::size_t extra = 0; extra < 5; ++extra)
        QVERIFY_THROWS_EXCEPTION(std::length_error,
                                 assetgen::encodeGif(image, {.paddedSize = bare + extra}));
}

void TestAssetFormats::bmpRoundTrip_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    // Widths 1 to 4 need 3, 2, 1 and 0 bytes of row padding.
    for (const int width : {1, 2, 3, 4, 5, 423})
        QTest::addRow("%d wide", width) << width << 7;
    QTest::newRow("backdrop-sized") << 423 << 500;
}

void TestAssetFormats::bmpRoundTrip() {
    QFETCH(int, width);
    QFETCH(int, height);
    const IndexedImage image = randomImage(width, height, randomPalette(256, 9), {}, 13);
    const QByteArray file = toQByteArray(assetgen::encodeBmp8(image));
    QCOMPARE(file.size(), 1078 + (width + 3) / 4 * 4 * height);
    const QList<QImage> decoded = decodeAll(file, "bmp");
    QCOMPARE(decoded.size(), 1);
    const QString problem = differences(image, decoded.front());
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void TestAssetFormats::icoRoundTrip_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("bitsPerPixel");
    QTest::newRow("32, black and white") << 32 << 1;
    QTest::newRow("32, 16 colours") << 32 << 4;
    QTest::newRow("16, 16 colours") << 16 << 4;
    QTest::newRow("24, mask rows padded") << 24 << 4;
}

void TestAssetFormats::icoRoundTrip() {
    QFETCH(int, size);
    QFETCH(int, bitsPerPixel);
    const Palette palette =
        bitsPerPixel == 1 ? assetgen::blackAndWhitePalette() : assetgen::windowsPalette16();
    const IndexedImage image = randomImage(size, size, palette, {30, 0}, 17);
    const QByteArray file =
        toQByteArray(assetgen::encodeIco({{image, std::uint16_t(bitsPerPixel)}}));
    const QList<QImage> decoded = decodeAll(file, "ico");
    QCOMPARE(decoded.size(), 1);
    const QString problem = differences(image, decoded.front());
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void TestAssetFormats::icoKeepsImageOrder() {
    const std::vector<assetgen::IconImage> icons{
        {randomImage(32, 32, assetgen::blackAndWhitePalette(), {20, 0}, 1), 1},
        {randomImage(32, 32, assetgen::windowsPalette16(), {20, 0}, 2), 4},
        {randomImage(16, 16, assetgen::windowsPalette16(), {20, 0}, 3), 4}};
    const QList<QImage> decoded = decodeAll(toQByteArray(assetgen::encodeIco(icons)), "ico");
    QCOMPARE(decoded.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QString problem = differences(icons[std::size_t(i)].image, decoded[i]);
        QVERIFY2(problem.isEmpty(), qPrintable(QString("image %1: %2").arg(i).arg(problem)));
    }
}

QTEST_MAIN(TestAssetFormats)
#include "tst_assetformats.moc"
