// The backdrop and the icons, decoded by the runtime straight into the formats they are painted
// in, show exactly the pixels Qt's own readers give; what the runtime does not decode itself is
// left to those readers.

#include "runtime/qt/Pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <gtest/gtest.h>

namespace {

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

void ExpectSamePixels(const QImage& decoded, const QImage& expected, const std::string& what) {
    ASSERT_EQ(decoded.size(), expected.size()) << what;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            ASSERT_EQ(decoded.pixel(x, y), expected.pixel(x, y))
                << what << " at (" << x << ", " << y << ")";
}

TEST(Pictures, TheBackdropIsOpaqueRgbWithQtsPixels) {
    const QString path = QStringLiteral(":/assets/backdrop.bmp");
    const std::optional<QImage> decoded = DecodeIndexedBitmap(ReadAll(path));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->format(), QImage::Format_RGB32);
    ExpectSamePixels(*decoded, ReadWithQt(path, QImage::Format_RGB32).front(), "backdrop.bmp");
}

TEST(Pictures, EveryIconImageIsPremultipliedWithQtsPixelsAndMask) {
    for (const char* name : {"Quibly.ico", "frmMain.ico"}) {
        const QString path = QStringLiteral(":/assets/") + QLatin1String(name);
        const std::vector<QImage> decoded = DecodeIndexedIcon(ReadAll(path));
        const std::vector<QImage> expected = ReadWithQt(path, QImage::Format_ARGB32_Premultiplied);
        ASSERT_EQ(decoded.size(), expected.size()) << name;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(decoded[i].format(), QImage::Format_ARGB32_Premultiplied);
            ExpectSamePixels(decoded[i], expected[i],
                             name + std::string(" image ") + std::to_string(i));
        }
    }
}

TEST(Pictures, WhatItDoesNotDecodeIsLeftToQt) {
    const QByteArray bitmap = ReadAll(QStringLiteral(":/assets/backdrop.bmp"));
    const QByteArray icon = ReadAll(QStringLiteral(":/assets/frmMain.ico"));
    QByteArray compressed = bitmap;
    compressed[14 + 16] = 1; // run-length encoded
    QByteArray trueColour = icon;
    trueColour[22 + 14] = 24; // 24 bits per pixel
    const struct {
        const char* what;
        QByteArray bitmap;
        QByteArray icon;
    } cases[] = {
        {"empty", {}, {}},
        {"cut short in the pixels", bitmap.left(bitmap.size() - 1), icon.left(icon.size() - 1)},
        {"cut short in the header", bitmap.left(30), icon.left(30)},
        {"another kind of picture", ReadAll(QStringLiteral(":/assets/splash.gif")), bitmap},
        {"not a colour table's", compressed, trueColour},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(DecodeIndexedBitmap(c.bitmap).has_value()) << c.what;
        EXPECT_TRUE(DecodeIndexedIcon(c.icon).empty()) << c.what;
    }
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
