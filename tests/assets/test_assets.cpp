// The committed pictures are what the generator draws, byte for byte, and they have the sizes,
// depths and layouts the windows and the executable rely on.

#include "fileformats/LittleEndian.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>

namespace {

using quibly::fileformats::byteAt;
using quibly::fileformats::dwordAt;
using quibly::fileformats::wordAt;

const QDir assetsDir(ASSETS_DIR);
const char* const assetNames[] = {"backdrop.bmp", "frmMain.ico", "Quibly.ico", "splash.gif"};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

TEST(Assets, TheGeneratorDrawsThemByteForByte) {
    const QDir outputDir(REGENERATED_DIR);
    ASSERT_TRUE(outputDir.mkpath("."));
    QProcess generator;
    generator.start(ASSETGEN, {outputDir.path()});
    ASSERT_TRUE(generator.waitForFinished(-1));
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();
    for (const char* name : assetNames) {
        const QByteArray committed = ReadAll(assetsDir.filePath(name));
        const QByteArray drawn = ReadAll(outputDir.filePath(name));
        qsizetype first = 0;
        while (first < committed.size() && first < drawn.size() && committed[first] == drawn[first])
            ++first;
        EXPECT_TRUE(committed == drawn)
            << name << ": " << drawn.size() << " bytes drawn, " << committed.size()
            << " committed, first difference at byte " << first
            << "; regenerate assets/ with quibly_assetgen";
    }
}

// The colours a decoded image shows, and how many of its pixels are see-through.
struct Seen {
    QSize size;
    int colours = 0;
    int seeThrough = 0;
};

Seen Decode(QImageReader& reader) {
    const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
    EXPECT_FALSE(image.isNull()) << reader.fileName().toStdString() << ": "
                                 << reader.errorString().toStdString();
    Seen seen{image.size()};
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) == 0)
                ++seen.seeThrough;
            else
                colours.insert(image.pixel(x, y));
        }
    seen.colours = int(colours.size());
    return seen;
}

TEST(Assets, QtDecodesWhatTheWindowsShow) {
    const struct {
        const char* file;
        int image;
        QSize size;
        int mostColours;
        int fewestColours;
        bool seeThrough;
    } pictures[] = {
        // The backdrop fills the window: a picture of many colours, nothing see-through.
        {"backdrop.bmp", 0, {423, 500}, 256, 100, false},
        // The splash picture lets the panel show through around it.
        {"splash.gif", 0, {99, 63}, 255, 8, true},
        {"frmMain.ico", 0, {32, 32}, 16, 4, true},
        {"Quibly.ico", 0, {32, 32}, 2, 2, true},
        {"Quibly.ico", 1, {32, 32}, 16, 4, true},
        {"Quibly.ico", 2, {16, 16}, 16, 4, true},
    };
    for (const auto& [file, index, size, mostColours, fewestColours, seeThrough] : pictures) {
        SCOPED_TRACE(std::string(file) + ", image " + std::to_string(index));
        QImageReader reader(assetsDir.filePath(file));
        if (index > 0) {
            ASSERT_TRUE(reader.jumpToImage(index)) << reader.errorString().toStdString();
        }
        const Seen seen = Decode(reader);
        EXPECT_EQ(seen.size, size);
        EXPECT_LE(seen.colours, mostColours);
        EXPECT_GE(seen.colours, fewestColours);
        EXPECT_EQ(seen.seeThrough > 0, seeThrough);
    }
    EXPECT_EQ(QImageReader(assetsDir.filePath("splash.gif")).imageCount(), 1);
    EXPECT_EQ(QImageReader(assetsDir.filePath("frmMain.ico")).imageCount(), 1);
    EXPECT_EQ(QImageReader(assetsDir.filePath("Quibly.ico")).imageCount(), 3);
    QImageReader backdrop(assetsDir.filePath("backdrop.bmp"));
    const QImage indexed = backdrop.read();
    EXPECT_EQ(indexed.format(), QImage::Format_Indexed8);
    EXPECT_EQ(indexed.colorCount(), 256);
}

std::uint32_t Field(const QByteArray& file, qsizetype offset, int width) {
    return width == 1   ? byteAt(file, std::size_t(offset))
           : width == 2 ? wordAt(file, std::size_t(offset))
                        : dwordAt(file, std::size_t(offset));
}

// The splash's layout: a 13-byte screen descriptor, a 256-entry global table, the graphic
// control extension, then the image descriptor.
constexpr int gifControl = 13 + 3 * 256, gifImage = gifControl + 8;

// What decoding does not show: how the files are laid out.
TEST(Assets, HeadersHaveTheLayoutsTheWindowsRelyOn) {
    const struct {
        const char* file;
        const char* what;
        qsizetype offset;
        int width;
        std::uint32_t expected;
    } fields[] = {
        {"backdrop.bmp", "signature BM", 0, 2, 0x4D42},
        {"backdrop.bmp", "pixels after a 256-entry table", 10, 4, 14 + 40 + 4 * 256},
        {"backdrop.bmp", "height, positive: bottom-up", 22, 4, 500},
        {"backdrop.bmp", "bits per pixel", 28, 2, 8},
        {"backdrop.bmp", "uncompressed", 30, 4, 0},
        {"backdrop.bmp", "colours used", 46, 4, 256},
        {"frmMain.ico", "16 colours", 6 + 2, 1, 16},
        {"frmMain.ico", "4 bits per pixel", 6 + 6, 2, 4},
        {"Quibly.ico", "2 colours", 6 + 2, 1, 2},
        {"Quibly.ico", "1 bit per pixel", 6 + 6, 2, 1},
        {"Quibly.ico", "16 colours", 6 + 16 + 2, 1, 16},
        {"Quibly.ico", "4 bits per pixel", 6 + 16 + 6, 2, 4},
        {"Quibly.ico", "16 colours", 6 + 32 + 2, 1, 16},
        {"Quibly.ico", "4 bits per pixel", 6 + 32 + 6, 2, 4},
        {"splash.gif", "signature GIF8", 0, 4, 0x38464947},
        {"splash.gif", "version 9a", 4, 2, 0x6139},
        {"splash.gif", "global table of 256", 10, 1, 0xF7},
        {"splash.gif", "graphic control", gifControl, 2, 0xF921},
        {"splash.gif", "transparency on", gifControl + 3, 1, 1},
        {"splash.gif", "transparent index 0", gifControl + 6, 1, 0},
        {"splash.gif", "one image", gifImage, 1, 0x2C},
        {"splash.gif", "interlaced, no local table", gifImage + 9, 1, 0x40},
    };
    for (const auto& [name, size] :
         {std::pair{"backdrop.bmp", 213078}, {"frmMain.ico", 766}, {"splash.gif", 1903}})
        EXPECT_EQ(ReadAll(assetsDir.filePath(name)).size(), size) << name;
    for (const auto& [name, what, offset, width, expected] : fields) {
        const QByteArray file = ReadAll(assetsDir.filePath(name));
        ASSERT_LE(offset + width, file.size()) << name;
        EXPECT_EQ(Field(file, offset, width), expected) << name << ": " << what;
    }
}

} // namespace
