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
    unsigned number;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The window-system colour numbers and the palette roles that stand for them here.
constexpr std::array systemColorRoles{
    SystemColorRole{0, QPalette::Active, QPalette::Button},           // scroll bar
    SystemColorRole{1, QPalette::Active, QPalette::Dark},             // desktop
    SystemColorRole{2, QPalette::Active, QPalette::Highlight},        // active caption
    SystemColorRole{3, QPalette::Inactive, QPalette::Highlight},      // inactive caption
    SystemColorRole{4, QPalette::Active, QPalette::Window},           // menu
    SystemColorRole{5, QPalette::Active, QPalette::Base},             // window background
    SystemColorRole{6, QPalette::Active, QPalette::Shadow},           // window frame
    SystemColorRole{7, QPalette::Active, QPalette::WindowText},       // menu text
    SystemColorRole{8, QPalette::Active, QPalette::Text},             // window text
    SystemColorRole{9, QPalette::Active, QPalette::HighlightedText},  // caption text
    SystemColorRole{10, QPalette::Active, QPalette::Mid},             // active border
    SystemColorRole{11, QPalette::Inactive, QPalette::Mid},           // inactive border
    SystemColorRole{12, QPalette::Active, QPalette::Mid},             // application workspace
    SystemColorRole{13, QPalette::Active, QPalette::Highlight},       // highlight
    SystemColorRole{14, QPalette::Active, QPalette::HighlightedText}, // highlighted text
    SystemColorRole{15, QPalette::Active, QPalette::Button},          // button face
    SystemColorRole{16, QPalette::Active, QPalette::Dark},            // button shadow
    SystemColorRole{17, QPalette::Disabled, QPalette::Text},          // grey text
    SystemColorRole{18, QPalette::Active, QPalette::ButtonText},      // button text
    SystemColorRole{19, QPalette::Inactive, QPalette::WindowText},    // inactive caption text
    SystemColorRole{20, QPalette::Active, QPalette::Light},           // 3-D highlight
    SystemColorRole{21, QPalette::Active, QPalette::Shadow},          // 3-D dark shadow
    SystemColorRole{22, QPalette::Active, QPalette::Midlight},        // 3-D light
    SystemColorRole{23, QPalette::Active, QPalette::ToolTipText},     // tool tip text
    SystemColorRole{24, QPalette::Active, QPalette::ToolTipBase},     // tool tip background
};

} // namespace

QColor ResolveColor(Color color, const std::string& object) {
    if (color < SystemColor::Base)
        return QColor(static_cast<int>(color & 0xff), static_cast<int>((color >> 8) & 0xff),
                      static_cast<int>((color >> 16) & 0xff));
    const unsigned number = color - SystemColor::Base;
    for (const auto& entry : systemColorRoles)
        if (entry.number == number)
            return QGuiApplication::palette().color(entry.group, entry.role);
    throw RuntimeError(object, "resolve colour",
                       "0x" + QString::number(color, 16).toUpper().toStdString() +
                           " is not a window-system colour");
}

QFont ResolveFont(const FontSpec& spec) {
    QFont font;
    font.setFamilies({ToQString(spec.face)});
    font.setPixelSize(FontPixelHeight(spec));
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
