// The committed pictures: that the generator reproduces them, that their headers have the
// sizes and layouts the windows rely on, and that Qt's decoders read them as drawn.

#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString committedDir = QStringLiteral(ASSETS_DIR);

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s for reading: %s", qPrintable(path), qPrintable(file.errorString()));
    return file.readAll();
}

quint32 littleEndian(const QByteArray& bytes, qsizetype offset, int width) {
    quint32 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes.at(offset + i));
    return value;
}

QImage decode(const QByteArray& file) {
    QImage image;
    image.loadFromData(file, "gif");
    return image;
}

// The splash's layout: a 13-byte screen descriptor, a 256-entry global table, then the graphic
// control extension (its flags 3 bytes in, the transparent index 6) and the image descriptor.
constexpr int gifGlobalTable = 13;
constexpr int gifGraphicControl = gifGlobalTable + 3 * 256;
constexpr int gifImageDescriptor = gifGraphicControl + 8;

} // namespace

class TestAssets : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void generatorReproducesCommittedFile_data();
    void generatorReproducesCommittedFile();
    void headerField_data();
    void headerField();
    void qtDecodesEveryImage_data();
    void qtDecodesEveryImage();
    void splashIsClearExactlyAtIndexZero();

private:
    QTemporaryDir generated_;
};

void TestAssets::initTestCase() {
    QVERIFY2(generated_.isValid(), qPrintable(generated_.errorString()));
    QProcess generator;
    generator.start(QStringLiteral(ASSETGEN), {generated_.path()});
    QVERIFY2(generator.waitForFinished(120000) && generator.exitStatus() == QProcess::NormalExit &&
                 generator.exitCode() == 0,
             qPrintable("quibly_assetgen failed: " + generator.readAllStandardError()));
}

void TestAssets::generatorReproducesCommittedFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<qsizetype>("size");
    QTest::newRow("backdrop") << "backdrop.bmp" << qsizetype{213078};
    QTest::newRow("window icon") << "frmMain.ico" << qsizetype{766};
    QTest::newRow("splash") << "splash.gif" << qsizetype{1903};
    QTest::newRow("program icon") << "Quibly.ico" << qsizetype{1398};
}

void TestAssets::generatorReproducesCommittedFile() {
    QFETCH(QString, name);
    QFETCH(qsizetype, size);
    const QByteArray kept = readAll(committedDir + '/' + name);
    QCOMPARE(kept.size(), size);
    const QByteArray fresh = readAll(generated_.filePath(name));
    QVERIFY2(fresh == kept, "differs from the generator's output: regenerate assets/ with "
                            "quibly_assetgen");
}

void TestAssets::headerField_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("width");
    QTest::addColumn<quint32>("expected");

    struct Field {
        const char* file;
        const char* what;
        int offset;
        int width;
        quint32 expected;
    };
    const Field fields[] = {
        {"backdrop.bmp", "signature BM", 0, 2, 0x4D42},
        {"backdrop.bmp", "pixels after a 256-entry table", 10, 4, 14 + 40 + 4 * 256},
        {"backdrop.bmp", "width", 18, 4, 423},
        {"backdrop.bmp", "height positive: bottom-up", 22, 4, 500},
        {"backdrop.bmp", "bits per pixel", 28, 2, 8},
        {"backdrop.bmp", "uncompressed", 30, 4, 0},
        {"backdrop.bmp", "colours used", 46, 4, 256},
        {"frmMain.ico", "image count", 4, 2, 1},
        {"Quibly.ico", "image count", 4, 2, 3},
        {"splash.gif", "signature GIF8", 0, 4, 0x38464947},
        {"splash.gif", "version 9a", 4, 2, 0x6139},
        {"splash.gif", "screen width", 6, 2, 99},
        {"splash.gif", "screen height", 8, 2, 63},
        {"splash.gif", "global table of 256", 10, 1, 0xF7},
        {"splash.gif", "graphic control", gifGraphicControl, 2, 0xF921},
        {"splash.gif", "transparency on", gifGraphicControl + 3, 1, 1},
        {"splash.gif", "transparent index 0", gifGraphicControl + 6, 1, 0},
        {"splash.gif", "image separator", gifImageDescriptor, 1, 0x2C},
        {"splash.gif", "image width", gifImageDescriptor + 5, 2, 99},
        {"splash.gif", "image height", gifImageDescriptor + 7, 2, 63},
        {"splash.gif", "interlaced, no local table", gifImageDescriptor + 9, 1, 0x40},
    };
    for (const Field& field : fields)
        QTest::addRow("%s %s", field.file, field.what)
            << field.file << field.offset << field.width << field.expected;

    // Each icon directory entry: width, height and bits per pixel, in file order.
    struct Icon {
        const char* file;
        int index;
        quint32 pixels;
        quint32 bits;
    };
    for (const Icon icon : {Icon{"frmMain.ico", 0, 32, 4}, Icon{"Quibly.ico", 0, 32, 1},
                            Icon{"Quibly.ico", 1, 32, 4}, Icon{"Quibly.ico", 2, 16, 4}}) {
        const int entry = 6 + 16 * icon.index;
        QTest::addRow("%s #%d width", icon.file, icon.index)
            << icon.file << entry << 1 << icon.pixels;
        QTest::addRow("%s #%d height", icon.file, icon.index)
            << icon.file << entry + 1 << 1 << icon.pixels;
        QTest::addRow("%s #%d bits", icon.file, icon.index)
            << icon.file << entry + 6 << 2 << icon.bits;
    }
}

void TestAssets::headerField() {
    QFETCH(QString, name);
    QFETCH(int, offset);
    QFETCH(int, width);
    QFETCH(quint32, expected);
    const QByteArray file = readAll(committedDir + '/' + name);
    QVERIFY(offset + width <= file.size());
    QCOMPARE(littleEndian(file, offset, width), expected);
}

void TestAssets::qtDecodesEveryImage_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<QSize>>("sizes");
    QTest::newRow("backdrop") << "backdrop.bmp" << QList<QSize>{{423, 500}};
    QTest::newRow("window icon") << "frmMain.ico" << QList<QSize>{{32, 32}};
    QTest::newRow("program icon") << "Quibly.ico" << QList<QSize>{{32, 32}, {32, 32}, {16, 16}};
    QTest::newRow("splash: one frame") << "splash.gif" << QList<QSize>{{99, 63}};
}

// Icons show the window behind them at their corners.
void TestAssets::qtDecodesEveryImage() {
    QFETCH(QString, name);
    QFETCH(QList<QSize>, sizes);
    QImageReader reader(committedDir + '/' + name);
    QCOMPARE(reader.imageCount(), sizes.size());
    for (int i = 0; i < sizes.size(); ++i) {
        QVERIFY(i == 0 || reader.jumpToImage(i));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(),
                 qPrintable(QString("image %1: %2").arg(i).arg(reader.errorString())));
        QCOMPARE(image.size(), sizes[i]);
        if (name.endsWith(".ico")) {
            const QRect box = image.rect();
            for (const QPoint corner :
                 {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
                QVERIFY2(qAlpha(image.pixel(corner)) == 0,
                         qPrintable(QString("image %1 is not clear at a corner").arg(i)));
        }
    }
}

// With transparency switched off and palette entry 0 given a colour no other entry has, that
// colour marks exactly the pixels stored as index 0: they must be the clear ones, and the
// emblem (every other pixel) solid.
void TestAssets::splashIsClearExactlyAtIndexZero() {
    const QByteArray file = readAll(committedDir + "/splash.gif");
    QSet<QRgb> otherColours;
    for (int entry = 1; entry < 256; ++entry) {
        const int at = gifGlobalTable + 3 * entry;
        otherColours.insert(qRgb(quint8(file[at]), quint8(file[at + 1]), quint8(file[at + 2])));
    }
    QRgb marker = qRgb(0, 0, 0);
    while (otherColours.contains(marker))
        ++marker;
    QByteArray marked = file;
    marked[gifGlobalTable] = char(qRed(marker));
    marked[gifGlobalTable + 1] = char(qGreen(marker));
    marked[gifGlobalTable + 2] = char(qBlue(marker));
    marked[gifGraphicControl + 3] = char(marked[gifGraphicControl + 3] & ~1);

    const QImage shown = decode(file);
    const QImage indexZero = decode(marked);
    QCOMPARE(shown.size(), QSize(99, 63));
    QCOMPARE(indexZero.size(), shown.size());
    int solid = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const int alpha = qAlpha(shown.pixel(x, y));
            const bool isIndexZero = indexZero.pixel(x, y) == marker;
            QVERIFY2(alpha == (isIndexZero ? 0 : 255),
                     qPrintable(QString("pixel %1,%2 has alpha %3").arg(x).arg(y).arg(alpha)));
            solid += alpha == 255;
        }
    }
    QVERIFY2(solid > 99 * 63 / 3, "the emblem fills much of the picture");
}

QTEST_MAIN(TestAssets)
#include "tst_assets.moc"
