// The icon of a bar's extension button is read from its files only when first used, and is then
// the style's own icon, as every other icon is: the same sizes, pixmaps and painted pixels, at
// every pixel ratio.

#include "runtime/qt/DeferredIcons.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <gtest/gtest.h>
#include <link.h>
#include <memory>
#include <string>
#include <string_view>

namespace {

// Whether Qt has loaded any of its image format plugins into this process.
bool ImageFormatPluginLoaded() {
    bool loaded = false;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* found) {
            if (std::string_view(info->dlpi_name).find("/imageformats/") != std::string_view::npos)
                *static_cast<bool*>(found) = true;
            return 0;
        },
        &loaded);
    return loaded;
}

// The icon painted centred in a square of `extent` on a transparent image of `ratio`.
QImage Painted(const QIcon& icon, int extent, qreal ratio) {
    QImage image(QSize(extent, extent) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    icon.paint(&painter, QRect(0, 0, extent, extent));
    return image;
}

// An extension button's icon is read from its files only when first used; it and every other
// icon are the style's own.
TEST(DeferredIcons, ExtensionIconsAreReadOnFirstUseAndEveryIconIsTheStylesOwn) {
    const std::unique_ptr<QStyle> style =
        std::make_unique<FormsRuntime::DeferredIconStyle>(QStyleFactory::create("fusion"));
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create("fusion"));
    const QStyle::StandardPixmap asked[] = {
        QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton,
        QStyle::SP_MessageBoxQuestion, QStyle::SP_MessageBoxCritical,
        QStyle::SP_TitleBarMenuButton};
    std::vector<QIcon> icons;
    for (const QStyle::StandardPixmap which : asked) {
        if (icons.size() == 2) {
            ASSERT_FALSE(ImageFormatPluginLoaded()) << "asking for the extension icons read files";
        }
        icons.push_back(style->standardIcon(which));
    }
    for (std::size_t i = 0; i < icons.size(); ++i) {
        const QIcon& icon = icons[i];
        const QIcon expected = fusion->standardIcon(asked[i]);
        SCOPED_TRACE("standard pixmap " + std::to_string(asked[i]));
        ASSERT_FALSE(expected.isNull());
        EXPECT_EQ(icon.availableSizes(), expected.availableSizes());
        for (const int extent : {6, 8, 12, 16, 24, 32, 40}) {
            const QSize size(extent, extent);
            SCOPED_TRACE(std::to_string(extent) + " pixels");
            EXPECT_EQ(icon.actualSize(size), expected.actualSize(size));
            for (const qreal ratio : {1.0, 1.5, 2.0}) {
                SCOPED_TRACE("pixel ratio " + std::to_string(ratio));
                const QPixmap pixmap = icon.pixmap(size, ratio);
                const QPixmap expectedPixmap = expected.pixmap(size, ratio);
                EXPECT_EQ(pixmap.devicePixelRatio(), expectedPixmap.devicePixelRatio());
                EXPECT_EQ(pixmap.toImage(), expectedPixmap.toImage());
                EXPECT_EQ(Painted(icon, extent, ratio), Painted(expected, extent, ratio));
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
