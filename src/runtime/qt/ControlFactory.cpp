#include "runtime/qt/ControlFactory.h"

#include "runtime/qt/Appearance.h"
#include "runtime/qt/ControlWidgets.h"
#include "runtime/qt/Convert.h"

#include <QLineEdit>
#include <QPushButton>
#include <limits>

namespace FormsRuntime {
namespace {

// What every control shares: its box, colours and font, resolved for Qt.
struct Look {
    QRect box;
    QColor back;
    QColor fore;
    QFont font;
};

Look ResolveLook(const SettledControl& control) {
    const PixelBox& box = control.box;
    return {QRect(box.x, box.y, box.width, box.height), ResolveColor(control.back),
            ResolveColor(control.fore), ResolveFont(control.font)};
}

// Font, box and colours go on before any caption, since an AutoSize label measures its
// caption in its own font.
template <class Widget>
Widget* Place(Widget* widget, const Look& look, QPalette::ColorRole backRole,
              QPalette::ColorRole foreRole) {
    widget->setFont(look.font);
    widget->setGeometry(look.box);
    QPalette palette = widget->palette();
    palette.setColor(backRole, look.back);
    palette.setColor(foreRole, look.fore);
    widget->setPalette(palette);
    return widget;
}

Qt::Alignment HorizontalAlignment(Alignment alignment) {
    switch (alignment) {
    case Alignment::Right:
        return Qt::AlignRight;
    case Alignment::Center:
        return Qt::AlignHCenter;
    case Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

QWidget* CreateFrame(const SettledControl& control, QWidget& container, const Look& look) {
    auto* frame = new FrameWidget(ToQString(control.caption), look.back, &container);
    return Place(frame, look, QPalette::Window, QPalette::WindowText);
}

QWidget* CreateLabel(const SettledControl& control, QWidget& container, const Look& look) {
    auto* label = Place(new LabelWidget(control.autoSize, &container), look, QPalette::Window,
                        QPalette::WindowText);
    label->setAutoFillBackground(true);
    label->setAlignment(Qt::AlignTop | HorizontalAlignment(control.alignment));
    label->SetCaption(ToQString(control.caption));
    return label;
}

QWidget* CreateImage(const SettledControl& control, QWidget& container, const Look& look,
                     const std::string& object) {
    auto* image = new PictureWidget(&container);
    image->setGeometry(look.box);
    if (!control.picture.empty())
        image->setPixmap(LoadPicture(control.picture, object));
    return image;
}

QWidget* CreateLine(const SettledControl& control, QWidget& container, const Look& look) {
    const QRect& box = look.box;
    return control.falling
               ? new LineWidget(box.topLeft(), box.bottomRight(), look.fore, &container)
               : new LineWidget(box.bottomLeft(), box.topRight(), look.fore, &container);
}

QWidget* CreateTextBox(const SettledControl& control, QWidget& container, const Look& look) {
    auto* textBox = Place(new QLineEdit(&container), look, QPalette::Base, QPalette::Text);
    textBox->setMaxLength(std::numeric_limits<int>::max()); // no length limit
    textBox->setAlignment(HorizontalAlignment(control.alignment) | Qt::AlignVCenter);
    textBox->setText(ToQString(control.caption));
    return textBox;
}

QWidget* CreateCommandButton(const SettledControl& control, QWidget& container, const Look& look,
                             bool isDefault) {
    auto* button = Place(new QPushButton(LiteralCaption(control.caption), &container), look,
                         QPalette::Button, QPalette::ButtonText);
    button->setAutoDefault(false);
    button->setDefault(isDefault);
    return button;
}

} // namespace

QWidget* CreateControl(const SettledWindow& window, std::size_t index, QWidget& container,
                       const std::string& object) {
    const SettledControl& control = window.controls[index];
    const Look look = ResolveLook(control);
    QWidget* widget = nullptr;
    switch (control.kind) {
    case ControlKind::Frame:
        widget = CreateFrame(control, container, look);
        break;
    case ControlKind::Label:
        widget = CreateLabel(control, container, look);
        break;
    case ControlKind::Image:
        widget = CreateImage(control, container, look, object);
        break;
    case ControlKind::Line:
        widget = CreateLine(control, container, look);
        break;
    case ControlKind::TextBox:
        widget = CreateTextBox(control, container, look);
        break;
    case ControlKind::CommandButton:
        widget = CreateCommandButton(control, container, look, window.defaultButton == index);
        break;
    }
    widget->setObjectName(ToQString(control.name));
    if (!control.accessibleName.empty())
        widget->setAccessibleName(ToQString(control.accessibleName));
    return widget;
}

} // namespace FormsRuntime
