#include "runtime/qt/ControlFactory.h"

#include "runtime/RuntimeError.h"
#include "runtime/qt/Appearance.h"
#include "runtime/qt/ControlWidgets.h"
#include "runtime/qt/Convert.h"

#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <cstddef>
#include <limits>

namespace FormsRuntime {
namespace {

QRect Box(const SettledControl& control) {
    return {control.box.x, control.box.y, control.box.width, control.box.height};
}

// Font, box and colours go on before any caption, since an AutoSize label measures its
// caption in its own font.
template <class Widget>
Widget* Place(Widget* widget, const SettledControl& control, QPalette::ColorRole backRole,
              QPalette::ColorRole foreRole) {
    widget->setFont(ResolveFont(control.font));
    widget->setGeometry(Box(control));
    QPalette palette = widget->palette();
    palette.setColor(backRole, ResolveColor(control.back));
    palette.setColor(foreRole, ResolveColor(control.fore));
    widget->setPalette(palette);
    return widget;
}

// By Alignment: Left, Right, Center.
constexpr std::array horizontalAlignments{Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};

Qt::Alignment HorizontalAlignment(Alignment alignment) {
    return horizontalAlignments.at(static_cast<std::size_t>(alignment));
}

QWidget* CreateLabel(const SettledControl& control, QWidget& container) {
    auto* label = Place(new LabelWidget(control.autoSize, &container), control, QPalette::Window,
                        QPalette::WindowText);
    label->setAutoFillBackground(true);
    label->setAlignment(Qt::AlignTop | HorizontalAlignment(control.alignment));
    label->SetCaption(ToQString(control.caption));
    return label;
}

QWidget* CreateImage(const SettledControl& control, QWidget& container, const std::string& object) {
    auto* image = new PictureWidget(&container);
    image->setGeometry(Box(control));
    if (!control.picture.empty())
        image->setPixmap(LoadPicture(control.picture, object));
    return image;
}

QWidget* CreateTextBox(const SettledControl& control, QWidget& container) {
    auto* textBox = Place(new QLineEdit(&container), control, QPalette::Base, QPalette::Text);
    textBox->setMaxLength(std::numeric_limits<int>::max()); // no length limit
    textBox->setAlignment(HorizontalAlignment(control.alignment) | Qt::AlignVCenter);
    textBox->setText(ToQString(control.caption));
    return textBox;
}

QWidget* CreateCommandButton(const SettledControl& control, QWidget& container, bool isDefault) {
    auto* button = Place(new QPushButton(LiteralCaption(control.caption), &container), control,
                         QPalette::Button, QPalette::ButtonText);
    button->setAutoDefault(false);
    button->setDefault(isDefault);
    return button;
}

QWidget* CreateWidget(const SettledWindow& window, std::size_t index, QWidget& container,
                      const std::string& object) {
    const SettledControl& control = window.controls[index];
    switch (control.kind) {
    case ControlKind::Frame:
        return Place(new FrameWidget(ToQString(control.caption), &container), control,
                     QPalette::Window, QPalette::WindowText);
    case ControlKind::Label:
        return CreateLabel(control, container);
    case ControlKind::Image:
        return CreateImage(control, container, object);
    case ControlKind::Line:
        return new LineWidget(Box(control), control.falling, ResolveColor(control.fore),
                              &container);
    case ControlKind::TextBox:
        return CreateTextBox(control, container);
    case ControlKind::CommandButton:
        return CreateCommandButton(control, container, window.defaultButton == index);
    }
    throw RuntimeError(object, "create control", "its kind of control is unknown");
}

} // namespace

QWidget* CreateControl(const SettledWindow& window, std::size_t index, QWidget& container,
                       const std::string& object) {
    QWidget* widget = CreateWidget(window, index, container, object);
    const SettledControl& control = window.controls[index];
    widget->setObjectName(ToQString(control.name));
    if (!control.accessibleName.empty())
        widget->setAccessibleName(ToQString(control.accessibleName));
    return widget;
}

} // namespace FormsRuntime
