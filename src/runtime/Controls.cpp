#include "runtime/Controls.h"

#include "runtime/Form.h"
#include "runtime/RuntimeError.h"
#include "runtime/qt/ControlWidgets.h"
#include "runtime/qt/Convert.h"
#include "runtime/qt/FormWindow.h"

#include <QLineEdit>

namespace FormsRuntime {
namespace {

std::size_t FindControl(const Form& form, std::string_view name, ControlKind kind) {
    const auto& controls = form.Layout().controls;
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (controls[i].name == name && controls[i].kind == kind)
            return i;
    throw RuntimeError(std::string(form.Name()) + "." + std::string(name), "find control",
                       "the window has no control of that name and kind");
}

template <class Widget> Widget& As(QWidget& widget) {
    return static_cast<Widget&>(widget);
}

} // namespace

ControlHandle::ControlHandle(Form& form, std::string_view name, ControlKind kind)
    : form_(form), index_(FindControl(form, name, kind)) {}

FormWindow& ControlHandle::Window(std::string_view operation) const {
    return form_.Window(operation, form_.Layout().controls[index_].name);
}

Text Label::Caption() const {
    return ToText(As<LabelWidget>(Window("read Caption").Control(Index())).text());
}

void Label::SetCaption(TextView caption) {
    As<LabelWidget>(Window("set Caption").Control(Index())).SetCaption(ToQString(caption));
}

FormsRuntime::Text TextBox::Text() const {
    return ToText(As<QLineEdit>(Window("read Text").Control(Index())).text());
}

} // namespace FormsRuntime
