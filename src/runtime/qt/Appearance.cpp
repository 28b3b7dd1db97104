#include "runtime/qt/Appearance.h"

#include "runtime/RuntimeError.h"
#include "runtime/qt/Convert.h"
#include "runtime/qt/Pictures.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QPalette>
#include <QResource>
#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace FormsRuntime {
namespace {

struct SystemColorRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The palette roles that stand here for the window system's colours, by number.
constexpr std::array<SystemColorRole, SystemColorCount> systemColorRoles{{
    {QPalette::Active, QPalette::Button},          // 0 scroll bar
    {QPalette::Active, QPalette::Dark},            // 1 desktop
    {QPalette::Active, QPalette::Highlight},       // 2 active caption
    {QPalette::Inactive, QPalette::Highlight},     // 3 inactive caption
    {QPalette::Active, QPalette::Window},          // 4 menu
    {QPalette::Active, QPalette::Base},            // 5 window background
    {QPalette::Active, QPalette::Shadow},          // 6 window frame
    {QPalette::Active, QPalette::WindowText},      // 7 menu text
    {QPalette::Active, QPalette::Text},            // 8 window text
    {QPalette::Active, QPalette::HighlightedText}, // 9 caption text
    {QPalette::Active, QPalette::Mid},             // 10 active border
    {QPalette::Inactive, QPalette::Mid},           // 11 inactive border
    {QPalette::Active, QPalette::Mid},             // 12 application workspace
    {QPalette::Active, QPalette::Highlight},       // 13 highlight
    {QPalette::Active, QPalette::HighlightedText}, // 14 highlighted text
    {QPalette::Active, QPalette::Button},          // 15 button face
    {QPalette::Active, QPalette::Dark},            // 16 button shadow
    {QPalette::Disabled, QPalette::Text},          // 17 grey text
    {QPalette::Active, QPalette::ButtonText},      // 18 button text
    {QPalette::Inactive, QPalette::WindowText},    // 19 inactive caption text
    {QPalette::Active, QPalette::Light},           // 20 3-D highlight
    {QPalette::Active, QPalette::Shadow},          // 21 3-D dark shadow
    {QPalette::Active, QPalette::Midlight},        // 22 3-D light
    {QPalette::Active, QPalette::ToolTipText},     // 23 tool tip text
    {QPalette::Active, QPalette::ToolTipBase},     // 24 tool tip background
}};

} // namespace

QColor ResolveColor(const SettledColor& color) {
    if (!color.system)
        return QColor(color.red, color.green, color.blue);
    const SystemColorRole& entry = systemColorRoles.at(color.number);
    return QGuiApplication::palette().color(entry.group, entry.role);
}

QFont ResolveFont(const SettledFont& spec) {
    QFont font;
    font.setFamilies({ToQString(spec.family)});
    font.setPixelSize(spec.pixels);
    font.setWeight(static_cast<QFont::Weight>(spec.weight));
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikethrough);
    // Text is drawn as plain runs of glyphs, without kerning or ligatures, as on the desktop the
    // layouts were designed for; it also keeps a long text box cheap to paint.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

namespace {

QImage ReadImage(QImageReader& reader, std::string_view resource, const std::string& object,
                 const char* operation) {
    QImage image = reader.read();
    if (image.isNull())
        throw RuntimeError(object, operation,
                           "\"" + std::string(resource) +
                               "\" cannot be decoded: " + reader.errorString().toStdString());
    return image;
}

// The resource's bytes, or none if there is no such resource (Qt's reader then says so).
QByteArray ResourceBytes(std::string_view resource) {
    const QResource file(ToQString(resource));
    return file.isValid() ? file.uncompressedData() : QByteArray();
}

} // namespace

QPixmap LoadPicture(std::string_view resource, const std::string& object) {
    const QByteArray file = ResourceBytes(resource);
    std::optional<QImage> image = DecodeIndexedBitmap(file);
    if (!image)
        image = DecodeGif(file);
    if (image)
        return QPixmap::fromImage(std::move(*image));
    QImageReader reader(ToQString(resource));
    return QPixmap::fromImage(ReadImage(reader, resource, object, "load picture"));
}

QIcon LoadIcon(std::string_view resource, const std::string& object) {
    QIcon icon;
    std::vector<QImage> images = DecodeIndexedIcon(ResourceBytes(resource));
    if (!images.empty()) {
        for (QImage& image : images)
            icon.addPixmap(QPixmap::fromImage(std::move(image)));
        return icon;
    }
    QImageReader reader(ToQString(resource));
    do
        icon.addPixmap(QPixmap::fromImage(ReadImage(reader, resource, object, "load icon")));
    while (reader.jumpToNextImage());
    return icon;
}

} // namespace FormsRuntime
