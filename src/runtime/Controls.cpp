#include "runtime/Controls.h"

#include "runtime/Backend.h"
#include "runtime/Form.h"
#include "runtime/RuntimeError.h"

namespace FormsRuntime {
namespace {

std::size_t FindControl(const Form& form, std::string_view name, ControlKind kind) {
    const auto& controls = form.Layout().controls;
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (controls[i].name == name && controls[i].kind == kind)
            return i;
    throw RuntimeError(form.ObjectName(name), "find control",
                       "the window has no control of that name and kind");
}

} // namespace

ControlHandle::ControlHandle(Form& form, std::string_view name, ControlKind kind)
    : form_(form), index_(FindControl(form, name, kind)) {}

BackendWindow& ControlHandle::Window(std::string_view operation) const {
    return form_.Window(operation, form_.Layout().controls[index_].name);
}

Text Label::Caption() const {
    return Window("read Caption").ControlText(Index());
}

void Label::SetCaption(TextView caption) {
    BackendWindow& window = Window("set Caption");
    window.SetControlText(Index(), caption);
    // A caption the program changes while the user can see the window is news to a screen
    // reader's user; captions filled in before the window first shows are simply what it shows.
    if (Owner().IsShown())
        window.AnnounceCaption(Index(), caption);
}

FormsRuntime::Text TextBox::Text() const {
    return Window("read Text").ControlText(Index());
}

} // namespace FormsRuntime
