// The committed pictures: that the generator reproduces them, that their headers have the
// sizes and layouts the windows rely on, and that a real decoder reads them as drawn.

#include "gif_stream.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPoint>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString generator = QStringLiteral(ASSETGEN);
const QString committedDir = QStringLiteral(ASSETS_DIR);

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s for reading: %s", qPrintable(path), qPrintable(file.errorString()));
    return file.readAll();
}

QByteArray committed(const QString& name) {
    return readAll(committedDir + '/' + name);
}

quint32 littleEndian(const QByteArray& bytes, qsizetype offset, int width) {
    quint32 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes.at(offset + i));
    return value;
}

qsizetype dibRowBytes(int width, int bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

struct Run {
    int exitCode = -1;
    QString errors;
};

Run runGenerator(const QStringList& arguments) {
    QProcess process;
    process.start(generator, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

QImage decodeWithQt(const QString& name, int imageNumber) {
    QImageReader reader(committedDir + '/' + name);
    if (imageNumber > 0 && !reader.jumpToImage(imageNumber))
        return {};
    return reader.read();
}

} // namespace

class TestAssets : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void generatorReproducesCommittedFile_data();
    void generatorReproducesCommittedFile();
    void generatorNamesTheFileItCannotWrite();
    void generatorWithoutOutputDirectoryShowsUsage();

    void fileSize_data();
    void fileSize();
    void headerField_data();
    void headerField();
    void iconImagesMatchTheirDirectory_data();
    void iconImagesMatchTheirDirectory();
    void splashIsOneInterlacedImageWithCleanLzw();

    void qtDecodesEveryImage_data();
    void qtDecodesEveryImage();
    void splashTransparencyFollowsIndexZero();
    void pixelProbe_data();
    void pixelProbe();

private:
    QTemporaryDir generated_;
};

void TestAssets::initTestCase() {
    QVERIFY2(generated_.isValid(), qPrintable(generated_.errorString()));
    const Run run = runGenerator({generated_.path()});
    QVERIFY2(run.exitCode == 0, qPrintable("quibly_assetgen failed: " + run.errors));
    QVERIFY2(run.errors.isEmpty(), qPrintable(run.errors));
}

void TestAssets::generatorReproducesCommittedFile_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"backdrop.bmp", "frmMain.ico", "Quibly.ico", "splash.gif"})
        QTest::newRow(name) << QString(name);
}

void TestAssets::generatorReproducesCommittedFile() {
    QFETCH(QString, name);
    const QByteArray fresh = readAll(generated_.filePath(name));
    const QByteArray kept = committed(name);
    QCOMPARE(fresh.size(), kept.size());
    for (qsizetype i = 0; i < kept.size(); ++i)
        if (fresh[i] != kept[i])
            QFAIL(qPrintable(QString("first difference at byte %1: regenerate assets/ with "
                                     "quibly_assetgen")
                                 .arg(i)));
}

void TestAssets::generatorNamesTheFileItCannotWrite() {
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString notADirectory = scratch.filePath("plain-file");
    QFile file(notADirectory);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    const Run run = runGenerator({notADirectory});
    QVERIFY(run.exitCode > 0);
    QVERIFY2(run.errors.contains("backdrop.bmp") && run.errors.contains("cannot open"),
             qPrintable(run.errors));
}

void TestAssets::generatorWithoutOutputDirectoryShowsUsage() {
    const Run run = runGenerator({});
    QVERIFY(run.exitCode > 0);
    QVERIFY2(run.errors.contains("usage: quibly_assetgen <output-dir>"), qPrintable(run.errors));
}

void TestAssets::fileSize_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<qsizetype>("size");
    // 14 + 40 + 1024 bytes of headers and colour table, then 500 rows of 424 bytes.
    QTest::newRow("backdrop") << "backdrop.bmp" << qsizetype{213078};
    // 6 + 16 directory, 40 header, 64 palette, 512 colour bits, 128 mask bits.
    QTest::newRow("window icon") << "frmMain.ico" << qsizetype{766};
    // 6 + 3 * 16 directory, then images of 304, 744 and 296 bytes.
    QTest::newRow("program icon") << "Quibly.ico" << qsizetype{1398};
    QTest::newRow("splash") << "splash.gif" << qsizetype{1903};
}

void TestAssets::fileSize() {
    QFETCH(QString, name);
    QFETCH(qsizetype, size);
    QCOMPARE(committed(name).size(), size);
}

void TestAssets::headerField_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("width");
    QTest::addColumn<quint32>("expected");

    const auto field = [](const char* row, const char* name, int offset, int width,
                          quint32 expected) {
        QTest::newRow(row) << QString(name) << offset << width << expected;
    };
    field("bmp signature BM", "backdrop.bmp", 0, 2, 0x4D42);
    field("bmp file size", "backdrop.bmp", 2, 4, 213078);
    field("bmp pixel offset", "backdrop.bmp", 10, 4, 1078);
    field("bmp info header size", "backdrop.bmp", 14, 4, 40);
    field("bmp width", "backdrop.bmp", 18, 4, 423);
    field("bmp height positive: bottom-up", "backdrop.bmp", 22, 4, 500);
    field("bmp planes", "backdrop.bmp", 26, 2, 1);
    field("bmp bits per pixel", "backdrop.bmp", 28, 2, 8);
    field("bmp uncompressed", "backdrop.bmp", 30, 4, 0);
    field("bmp pixel bytes", "backdrop.bmp", 34, 4, 212000);
    field("bmp colours used", "backdrop.bmp", 46, 4, 256);

    field("window icon reserved", "frmMain.ico", 0, 2, 0);
    field("window icon type", "frmMain.ico", 2, 2, 1);
    field("window icon image count", "frmMain.ico", 4, 2, 1);
    field("window icon width", "frmMain.ico", 6, 1, 32);
    field("window icon height", "frmMain.ico", 7, 1, 32);
    field("window icon colour count", "frmMain.ico", 8, 1, 16);
    field("window icon bits per pixel", "frmMain.ico", 12, 2, 4);
    field("window icon image bytes", "frmMain.ico", 14, 4, 744);
    field("window icon image offset", "frmMain.ico", 18, 4, 22);
    field("window icon header height doubled", "frmMain.ico", 30, 4, 64);
    field("window icon palette starts black", "frmMain.ico", 62, 4, 0);

    field("program icon image count", "Quibly.ico", 4, 2, 3);
    field("program icon 1st: 32 wide", "Quibly.ico", 6, 1, 32);
    field("program icon 1st: 2 colours", "Quibly.ico", 8, 1, 2);
    field("program icon 1st: 1 bit", "Quibly.ico", 12, 2, 1);
    field("program icon 1st: offset", "Quibly.ico", 18, 4, 54);
    field("program icon 1st: palette black", "Quibly.ico", 94, 4, 0x000000);
    field("program icon 1st: palette white", "Quibly.ico", 98, 4, 0xFFFFFF);
    field("program icon 2nd: 32 wide", "Quibly.ico", 22, 1, 32);
    field("program icon 2nd: 16 colours", "Quibly.ico", 24, 1, 16);
    field("program icon 2nd: 4 bits", "Quibly.ico", 28, 2, 4);
    field("program icon 3rd: 16 wide", "Quibly.ico", 38, 1, 16);
    field("program icon 3rd: 16 high", "Quibly.ico", 39, 1, 16);
    field("program icon 3rd: 16 colours", "Quibly.ico", 40, 1, 16);
    field("program icon 3rd: 4 bits", "Quibly.ico", 44, 2, 4);

    field("gif signature GIF8", "splash.gif", 0, 4, 0x38464947);
    field("gif version 9a", "splash.gif", 4, 2, 0x6139);
    field("gif screen width", "splash.gif", 6, 2, 99);
    field("gif screen height", "splash.gif", 8, 2, 63);
    field("gif global table of 256", "splash.gif", 10, 1, 0xF7);
    field("gif graphic control after table", "splash.gif", 13 + 768, 2, 0xF921);
    field("gif transparent flag", "splash.gif", 13 + 768 + 3, 1, 1);
    field("gif transparent index 0", "splash.gif", 13 + 768 + 6, 1, 0);
    field("gif image separator", "splash.gif", 13 + 768 + 8, 1, 0x2C);
    field("gif image width", "splash.gif", 13 + 768 + 8 + 5, 2, 99);
    field("gif image height", "splash.gif", 13 + 768 + 8 + 7, 2, 63);
    field("gif interlaced, no local table", "splash.gif", 13 + 768 + 8 + 9, 1, 0x40);
    field("gif trailer last", "splash.gif", 1902, 1, 0x3B);
}

void TestAssets::headerField() {
    QFETCH(QString, name);
    QFETCH(int, offset);
    QFETCH(int, width);
    QFETCH(quint32, expected);
    const QByteArray file = committed(name);
    QVERIFY(offset + width <= file.size());
    QCOMPARE(littleEndian(file, offset, width), expected);
}

void TestAssets::iconImagesMatchTheirDirectory_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<QPoint>>("sizeAndBits"); // per image: x = pixels square, y = bits
    QTest::newRow("window icon") << "frmMain.ico" << QList<QPoint>{{32, 4}};
    QTest::newRow("program icon") << "Quibly.ico" << QList<QPoint>{{32, 1}, {32, 4}, {16, 4}};
}

void TestAssets::iconImagesMatchTheirDirectory() {
    QFETCH(QString, name);
    QFETCH(QList<QPoint>, sizeAndBits);
    const QByteArray file = committed(name);
    QCOMPARE(int(littleEndian(file, 4, 2)), sizeAndBits.size());

    qsizetype expectedOffset = 6 + 16 * sizeAndBits.size();
    for (int i = 0; i < sizeAndBits.size(); ++i) {
        const int pixels = sizeAndBits[i].x();
        const int bits = sizeAndBits[i].y();
        const qsizetype entry = 6 + 16 * i;
        const qsizetype imageBytes = 40 + 4 * (1 << bits) + dibRowBytes(pixels, bits) * pixels +
                                     dibRowBytes(pixels, 1) * pixels;
        QCOMPARE(int(littleEndian(file, entry, 1)), pixels);
        QCOMPARE(int(littleEndian(file, entry + 1, 1)), pixels);
        QCOMPARE(int(littleEndian(file, entry + 6, 2)), bits);
        QCOMPARE(qsizetype(littleEndian(file, entry + 8, 4)), imageBytes);
        QCOMPARE(qsizetype(littleEndian(file, entry + 12, 4)), expectedOffset);

        const qsizetype header = expectedOffset;
        QCOMPARE(int(littleEndian(file, header, 4)), 40);
        QCOMPARE(int(littleEndian(file, header + 4, 4)), pixels);
        QCOMPARE(int(littleEndian(file, header + 8, 4)), 2 * pixels);
        QCOMPARE(int(littleEndian(file, header + 14, 2)), bits);
        QCOMPARE(int(littleEndian(file, header + 16, 4)), 0); // uncompressed
        expectedOffset += imageBytes;
    }
    QCOMPARE(expectedOffset, file.size());
}

void TestAssets::splashIsOneInterlacedImageWithCleanLzw() {
    const GifStream gif = parseGif(committed("splash.gif"));
    QVERIFY2(gif.error.isEmpty(), qPrintable(gif.error));
    QCOMPARE(gif.signature, QByteArray("GIF89a"));
    QCOMPARE(gif.globalTableEntries, 256);
    QCOMPARE(gif.graphicControls, 1);
    QVERIFY(gif.transparent);
    QCOMPARE(gif.transparentIndex, 0);
    QCOMPARE(gif.images.size(), 1);
    const GifImageBlock& image = gif.images.front();
    QCOMPARE(image.width, 99);
    QCOMPARE(image.height, 63);
    QVERIFY(image.interlaced);
    QVERIFY(!image.localTable);
    QVERIFY(!gif.comments.isEmpty());

    const LzwDecoding pixels = decodeLzw(image.codes, image.minCodeSize);
    QVERIFY2(pixels.error.isEmpty(), qPrintable(pixels.error));
    QCOMPARE(pixels.symbols.size(), 99 * 63);
    QVERIFY(pixels.symbols.contains('\0'));
}

void TestAssets::qtDecodesEveryImage_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QList<QSize>>("sizes");
    QTest::newRow("backdrop") << "backdrop.bmp" << QByteArray("bmp") << QList<QSize>{{423, 500}};
    QTest::newRow("window icon") << "frmMain.ico" << QByteArray("ico") << QList<QSize>{{32, 32}};
    QTest::newRow("program icon") << "Quibly.ico" << QByteArray("ico")
                                  << QList<QSize>{{32, 32}, {32, 32}, {16, 16}};
    QTest::newRow("splash") << "splash.gif" << QByteArray("gif") << QList<QSize>{{99, 63}};
}

void TestAssets::qtDecodesEveryImage() {
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QFETCH(QList<QSize>, sizes);
    QImageReader reader(committedDir + '/' + name);
    QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
    QCOMPARE(reader.format(), format);
    QCOMPARE(reader.imageCount(), sizes.size());
    for (int i = 0; i < sizes.size(); ++i) {
        const QImage image = decodeWithQt(name, i);
        QVERIFY2(!image.isNull(), qPrintable(QString("image %1 does not decode").arg(i)));
        QCOMPARE(image.size(), sizes[i]);
    }
}

void TestAssets::splashTransparencyFollowsIndexZero() {
    const QByteArray file = committed("splash.gif");
    const GifStream gif = parseGif(file);
    QVERIFY2(gif.error.isEmpty() && gif.images.size() == 1, qPrintable(gif.error));
    const QByteArray stored =
        decodeLzw(gif.images.front().codes, gif.images.front().minCodeSize).symbols;
    QCOMPARE(stored.size(), 99 * 63);
    const QImage picture = decodeWithQt("splash.gif", 0);
    QCOMPARE(picture.size(), QSize(99, 63));

    // Qt undoes the interlacing; count per row so a misplaced row shows up as well.
    int transparentStored = 0;
    for (const char index : stored)
        transparentStored += index == 0;
    int transparentShown = 0;
    int opaqueShown = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const int alpha = qAlpha(picture.pixel(x, y));
            QVERIFY2(alpha == 0 || alpha == 255, "GIF pixels are either clear or solid");
            (alpha == 0 ? transparentShown : opaqueShown) += 1;
        }
    }
    QCOMPARE(transparentShown, transparentStored);
    QVERIFY(opaqueShown > 99 * 63 / 3); // the emblem fills much of the picture
}

void TestAssets::pixelProbe_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("imageNumber");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QColor>("expected"); // alpha 0: transparent
    QTest::addColumn<int>("tolerance");   // per channel

    const QColor clear(0, 0, 0, 0);
    const auto probe = [](const QByteArray& row, const char* name, int image, QPoint at,
                          QColor colour, int tolerance) {
        QTest::newRow(row.constData()) << QString(name) << image << at << colour << tolerance;
    };
    struct Icon {
        const char* row;
        const char* name;
        int image;
        int size;
    };
    for (const Icon icon :
         {Icon{"window icon", "frmMain.ico", 0, 32}, Icon{"program icon b/w", "Quibly.ico", 0, 32},
          Icon{"program icon 32", "Quibly.ico", 1, 32},
          Icon{"program icon 16", "Quibly.ico", 2, 16}}) {
        const int last = icon.size - 1;
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)}) {
            const QString row =
                QString("%1 corner %2,%3 clear").arg(icon.row).arg(corner.x()).arg(corner.y());
            probe(row.toLatin1(), icon.name, icon.image, corner, clear, 0);
        }
    }
    // Quibly's head in the window icon: navy screen, aqua eyes, red bulb on the antenna.
    probe("window icon screen", "frmMain.ico", 0, {16, 15}, QColor(0, 0, 128), 0);
    probe("window icon left eye", "frmMain.ico", 0, {11, 18}, QColor(0, 255, 255), 0);
    probe("window icon bulb", "frmMain.ico", 0, {16, 3}, QColor(255, 0, 0), 0);
    probe("window icon head", "frmMain.ico", 0, {5, 12}, QColor(192, 192, 192), 0);
    // The emblem: a bubble-shaped screen with the face, in black and white and in colour.
    probe("program icon b/w screen", "Quibly.ico", 0, {16, 12}, QColor(0, 0, 0), 0);
    probe("program icon b/w eye", "Quibly.ico", 0, {11, 15}, QColor(255, 255, 255), 0);
    probe("program icon 32 screen", "Quibly.ico", 1, {16, 12}, QColor(0, 0, 128), 0);
    probe("program icon 32 eye", "Quibly.ico", 1, {21, 16}, QColor(0, 255, 255), 0);
    probe("program icon 16 screen", "Quibly.ico", 2, {8, 8}, QColor(0, 0, 128), 0);
    probe("program icon 16 eye", "Quibly.ico", 2, {4, 6}, QColor(0, 255, 255), 0);
    // The splash emblem: Quibly's head on the left, a "Hi!" bubble on the right.
    probe("splash top-left clear", "splash.gif", 0, {0, 0}, clear, 0);
    probe("splash bottom-right clear", "splash.gif", 0, {98, 62}, clear, 0);
    probe("splash under the bubble clear", "splash.gif", 0, {90, 50}, clear, 0);
    probe("splash bulb", "splash.gif", 0, {32, 8}, QColor(0xFF, 0x5A, 0x52), 40);
    probe("splash left eye", "splash.gif", 0, {24, 37}, QColor(0x66, 0xF0, 0xFF), 40);
    probe("splash screen", "splash.gif", 0, {32, 30}, QColor(0x22, 0x30, 0x60), 40);
    probe("splash bubble inside", "splash.gif", 0, {93, 12}, QColor(255, 255, 255), 16);
    probe("splash letter H", "splash.gif", 0, {70, 20}, QColor(0x2B, 0x3C, 0x78), 40);
    // The backdrop, where the conversation window shows it (columns 96..369, rows 0..350).
    probe("backdrop sky", "backdrop.bmp", 0, {250, 5}, QColor(0x3E, 0x8D, 0xDC), 24);
    probe("backdrop sun", "backdrop.bmp", 0, {326, 58}, QColor(0xFF, 0xF8, 0xC8), 24);
    probe("backdrop Quibly's left eye", "backdrop.bmp", 0, {215, 167}, QColor(0x66, 0xF0, 0xFF),
          40);
    probe("backdrop Quibly's screen", "backdrop.bmp", 0, {233, 148}, QColor(0x2B, 0x3C, 0x78), 40);
    probe("backdrop Quibly's heart", "backdrop.bmp", 0, {233, 253}, QColor(0xFF, 0x5A, 0x52), 40);
    probe("backdrop meadow", "backdrop.bmp", 0, {120, 345}, QColor(0x60, 0xB5, 0x4A), 40);
}

void TestAssets::pixelProbe() {
    QFETCH(QString, name);
    QFETCH(int, imageNumber);
    QFETCH(QPoint, at);
    QFETCH(QColor, expected);
    QFETCH(int, tolerance);
    const QImage image = decodeWithQt(name, imageNumber);
    QVERIFY(!image.isNull());
    const QColor actual = image.pixelColor(at);
    const QString seen = QString("saw %1 alpha %2").arg(actual.name()).arg(actual.alpha());
    if (expected.alpha() == 0) {
        QVERIFY2(actual.alpha() == 0, qPrintable(seen));
        return;
    }
    QVERIFY2(actual.alpha() == 255, qPrintable(seen));
    QVERIFY2(qAbs(actual.red() - expected.red()) <= tolerance &&
                 qAbs(actual.green() - expected.green()) <= tolerance &&
                 qAbs(actual.blue() - expected.blue()) <= tolerance,
             qPrintable(seen + ", expected " + expected.name()));
}

QTEST_MAIN(TestAssets)
#include "tst_assets.moc"
