// The icon of a bar's extension button is read from its files only when first used, and is then
// the style's own icon: the same sizes, pixmaps and painted pixels, at every pixel ratio.

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

TEST(DeferredIcons, AnExtensionIconIsReadOnFirstUseAndIsTheStylesOwn) {
    const std::unique_ptr<QStyle> style =
        std::make_unique<FormsRuntime::DeferredIconStyle>(QStyleFactory::create("fusion"));
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create("fusion"));
    const QStyle::StandardPixmap extensions[] = {QStyle::SP_ToolBarHorizontalExtensionButton,
                                                 QStyle::SP_ToolBarVerticalExtensionButton};
    std::vector<QIcon> deferred;
    for (const QStyle::StandardPixmap which : extensions)
        deferred.push_back(style->standardIcon(which));
    ASSERT_FALSE(ImageFormatPluginLoaded()) << "asking for the icons read their files";

    for (std::size_t i = 0; i < deferred.size(); ++i) {
        const QIcon& icon = deferred[i];
        const QIcon expected = fusion->standardIcon(extensions[i]);
        const std::string which = "extension icon " + std::to_string(i);
        ASSERT_FALSE(expected.isNull()) << which;
        EXPECT_FALSE(icon.isNull()) << which;
        EXPECT_EQ(icon.availableSizes(), expected.availableSizes()) << which;
        for (const int extent : {6, 8, 12, 16, 24, 32, 40}) {
            const QSize size(extent, extent);
            SCOPED_TRACE(which + ", " + std::to_string(extent) + " pixels");
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

// Every other icon is the style's, asked as ever.
TEST(DeferredIcons, OtherIconsAreTheStylesOwn) {
    const std::unique_ptr<QStyle> style =
        std::make_unique<FormsRuntime::DeferredIconStyle>(QStyleFactory::create("fusion"));
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create("fusion"));
    for (const QStyle::StandardPixmap which :
         {QStyle::SP_MessageBoxQuestion, QStyle::SP_MessageBoxCritical,
          QStyle::SP_TitleBarMenuButton})
        EXPECT_EQ(style->standardIcon(which).pixmap(32).toImage(),
                  fusion->standardIcon(which).pixmap(32).toImage())
            << "standard pixmap " << which;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
