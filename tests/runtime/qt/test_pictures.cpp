// The backdrop, the icons and the splash picture, decoded by the runtime straight into the
// formats they are painted in, show exactly the pixels Qt's own readers give; what the runtime
// does not decode itself is left to those readers.

#include "runtime/qt/Pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <sys/mman.h>

namespace {

using FormsRuntime::DecodeGif;
using FormsRuntime::DecodeIndexedBitmap;
using FormsRuntime::DecodeIndexedIcon;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// Every image Qt's reader finds in the file, in the file's order.
std::vector<QImage> ReadWithQt(const QString& path, QImage::Format format) {
    QImageReader reader(path);
    std::vector<QImage> images;
    do
        images.push_back(reader.read().convertToFormat(format));
    while (reader.jumpToNextImage());
    return images;
}

// Each picture the runtime decodes itself, in the format it is painted in, with Qt's pixels.
TEST(Pictures, DecodedAsQtReadsThem) {
    const auto one = [](std::optional<QImage> image) {
        return image ? std::vector{*image} : std::vector<QImage>{};
    };
    const struct {
        const char* name;
        QImage::Format format;
        std::function<std::vector<QImage>(const QByteArray&)> decode;
    } pictures[] = {
        {"backdrop.bmp", QImage::Format_RGB32,
         [&](auto& file) { return one(DecodeIndexedBitmap(file)); }},
        {"splash.gif", QImage::Format_ARGB32_Premultiplied,
         [&](auto& file) { return one(DecodeGif(file)); }},
        {"Quibly.ico", QImage::Format_ARGB32_Premultiplied, DecodeIndexedIcon},
        {"frmMain.ico", QImage::Format_ARGB32_Premultiplied, DecodeIndexedIcon},
    };
    for (const auto& [name, format, decode] : pictures) {
        const QString path = QStringLiteral(":/assets/") + QLatin1String(name);
        const std::vector<QImage> decoded = decode(ReadAll(path));
        const std::vector<QImage> expected = ReadWithQt(path, format);
        ASSERT_EQ(decoded.size(), expected.size()) << name;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(decoded[i].format(), format) << name;
            EXPECT_TRUE(decoded[i] == expected[i]) << name << " image " << i;
        }
    }
}

// Whether the page holding `address` belongs to the program's memory.
bool IsMapped(const uchar* address) {
    const auto page = reinterpret_cast<std::uintptr_t>(address) & ~std::uintptr_t{4095};
    unsigned char resident = 0;
    return mincore(reinterpret_cast<void*>(page), 1, &resident) == 0;
}

// The backdrop is large enough to have memory of its own: a copy keeps its pixels after the
// decoded picture is gone, and the memory goes back to the system with the last copy.
TEST(Pictures, ALargePictureKeepsItsPixelsUntilItsLastCopyGoes) {
    const QString path = QStringLiteral(":/assets/backdrop.bmp");
    std::optional<QImage> decoded = DecodeIndexedBitmap(ReadAll(path));
    ASSERT_TRUE(decoded.has_value());
    const uchar* pixels = decoded->constBits();
    std::optional<QImage> copy = *decoded;
    decoded.reset();
    ASSERT_TRUE(IsMapped(pixels)) << "the backdrop's memory went with the first of two copies";
    EXPECT_TRUE(*copy == ReadWithQt(path, QImage::Format_RGB32).front()) << "backdrop.bmp copy";
    copy.reset();
    EXPECT_FALSE(IsMapped(pixels)) << "the backdrop's memory stays taken after its last copy";
}

TEST(Pictures, WhatItDoesNotDecodeIsLeftToQt) {
    const QByteArray bitmap = ReadAll(QStringLiteral(":/assets/backdrop.bmp"));
    const QByteArray icon = ReadAll(QStringLiteral(":/assets/frmMain.ico"));
    const QByteArray gif = ReadAll(QStringLiteral(":/assets/splash.gif"));
    QByteArray smallFrame = gif;
    smallFrame[13 + 3 * 256 + 8 + 5] = 98; // the frame is a column narrower than the picture
    QByteArray badCode = gif;
    badCode[13 + 3 * 256 + 8 + 10 + 2] = char(0xFF); // the first code is beyond the table
    QByteArray compressed = bitmap;
    compressed[14 + 16] = 1; // run-length encoded
    QByteArray trueColour = icon;
    trueColour[22 + 14] = 24; // 24 bits per pixel
    const struct {
        const char* what;
        QByteArray bitmap;
        QByteArray icon;
        QByteArray gif;
    } cases[] = {
        {"empty", {}, {}, {}},
        {"cut short in the pixels", bitmap.left(bitmap.size() - 1), icon.left(icon.size() - 1),
         gif.left(gif.size() - 300)},
        {"cut short in the header", bitmap.left(30), icon.left(30), gif.left(500)},
        {"another kind of picture", gif, bitmap, bitmap},
        {"not a colour table's", compressed, trueColour, smallFrame},
        {"not a picture of this kind", icon, gif, badCode},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(DecodeIndexedBitmap(c.bitmap).has_value()) << c.what;
        EXPECT_TRUE(DecodeIndexedIcon(c.icon).empty()) << c.what;
        EXPECT_FALSE(DecodeGif(c.gif).has_value()) << c.what;
    }
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
