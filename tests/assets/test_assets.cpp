// The committed pictures are what the generator draws, byte for byte, and they have the sizes,
// colours and layouts the windows rely on. (The program icon's directory is read back from the
// Windows executable, where it ends up.)

#include "fileformats/LittleEndian.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>

namespace {

const QDir assetsDir(ASSETS_DIR);

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
    for (const char* name : {"backdrop.bmp", "frmMain.ico", "Quibly.ico", "splash.gif"}) {
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

TEST(Assets, QtDecodesWhatTheWindowsShow) {
    const struct {
        const char* file;
        int images;
        int image;
        QSize size;
        int fewestColours;
        int mostColours;
        bool seeThrough;
    } pictures[] = {
        // The backdrop fills the window; the splash picture lets the panel show through.
        {"backdrop.bmp", 1, 0, {423, 500}, 100, 256, false},
        {"splash.gif", 1, 0, {99, 63}, 8, 255, true},
        {"frmMain.ico", 1, 0, {32, 32}, 4, 16, true},
        {"Quibly.ico", 3, 0, {32, 32}, 2, 2, true},
        {"Quibly.ico", 3, 1, {32, 32}, 4, 16, true},
        {"Quibly.ico", 3, 2, {16, 16}, 4, 16, true},
    };
    for (const auto& [file, images, index, size, fewest, most, seeThrough] : pictures) {
        SCOPED_TRACE(std::string(file) + ", image " + std::to_string(index));
        QImageReader reader(assetsDir.filePath(file));
        EXPECT_EQ(reader.imageCount(), images);
        if (index > 0) {
            ASSERT_TRUE(reader.jumpToImage(index)) << reader.errorString().toStdString();
        }
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(image.size(), size) << reader.errorString().toStdString();
        QSet<QRgb> colours;
        int clear = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) == 0)
                    ++clear;
                else
                    colours.insert(image.pixel(x, y));
        EXPECT_GE(colours.size(), fewest);
        EXPECT_LE(colours.size(), most);
        EXPECT_EQ(clear > 0, seeThrough);
    }
    const QImage backdrop(assetsDir.filePath("backdrop.bmp"));
    EXPECT_EQ(backdrop.format(), QImage::Format_Indexed8);
    EXPECT_EQ(backdrop.colorCount(), 256);
}

// The splash's layout: a 13-byte screen descriptor, a 256-entry global table, the graphic
// control extension, then the image descriptor.
constexpr int gifControl = 13 + 3 * 256, gifImage = gifControl + 8;

// What decoding does not show: how the files are laid out.
TEST(Assets, HeadersHaveTheLayoutsTheWindowsRelyOn) {
    const struct {
        const char* file;
        const char* what;
        std::size_t offset;
        int width;
        std::uint32_t expected;
    } fields[] = {
        {"backdrop.bmp", "pixels after a 256-entry table", 10, 4, 14 + 40 + 4 * 256},
        {"backdrop.bmp", "height, positive: bottom-up", 22, 4, 500},
        {"backdrop.bmp", "bits per pixel", 28, 2, 8},
        {"backdrop.bmp", "uncompressed", 30, 4, 0},
        {"frmMain.ico", "16 colours", 6 + 2, 1, 16},
        {"frmMain.ico", "4 bits per pixel", 6 + 6, 2, 4},
        {"splash.gif", "version 89a", 4, 2, 0x6139},
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
        ASSERT_LE(offset + std::size_t(width), std::size_t(file.size())) << name;
        const std::uint32_t value = width == 1   ? quibly::fileformats::byteAt(file, offset)
                                    : width == 2 ? quibly::fileformats::wordAt(file, offset)
                                                 : quibly::fileformats::dwordAt(file, offset);
        EXPECT_EQ(value, expected) << name << ": " << what;
    }
}

} // namespace
