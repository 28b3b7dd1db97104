#include "runtime/Form.h"

#include "runtime/Backend.h"
#include "runtime/RuntimeError.h"
#include "runtime/Session.h"

#include <algorithm>

namespace FormsRuntime {
namespace {

Form* firstForm = nullptr;

bool IsClickable(const WindowLayout& layout, std::string_view name) {
    return std::any_of(layout.controls.begin(), layout.controls.end(),
                       [&](const ControlLayout& control) {
                           return control.name == name &&
                                  control.kind == ControlKind::CommandButton;
                       }) ||
           std::any_of(layout.menus.begin(), layout.menus.end(),
                       [&](const MenuLayout& menu) { return menu.name == name; });
}

} // namespace

// A fault of a layout made elsewhere than in a checked table is reported as the first instance
// is created, before any window appears.
Form::Form(const WindowLayout& layout) : layout_(layout), settled_(SettleWindow(layout)) {
    next_ = firstForm;
    if (next_ != nullptr)
        next_->previous_ = this;
    firstForm = this;
    detail::Trace(Name(), "Create");
}

Form::~Form() {
    window_.reset();
    (previous_ != nullptr ? previous_->next_ : firstForm) = next_;
    if (next_ != nullptr)
        next_->previous_ = previous_;
}

void Form::OnLoad(Handler handler) {
    loadHandler_ = std::move(handler);
}

void Form::OnClick(std::string_view control, Handler handler) {
    if (!IsClickable(layout_, control))
        throw RuntimeError(ObjectName(control), "bind Click",
                           "no command button or menu item of this window has that name");
    clickBindings_.push_back({control, std::move(handler)});
}

void Form::Load() {
    if (IsLoaded())
        return;
    detail::Trace(Name(), "Load");
    window_ = Platform().CreateFormWindow(FormEvents(*this));
    if (loadHandler_)
        loadHandler_();
}

void Form::Show() {
    Load();
    detail::Trace(Name(), "Show");
    window_->Show();
    shown_ = true;
}

void Form::Refresh() {
    detail::Trace(Name(), "Refresh");
    Window("Refresh").Refresh();
}

void Form::Unload() {
    if (!IsLoaded())
        return;
    detail::Trace(Name(), "Unload");
    window_.reset();
    shown_ = false;
    detail::WindowUnloaded();
}

BackendWindow& Form::Window(std::string_view operation, std::string_view control) const {
    if (!IsLoaded())
        throw RuntimeError(ObjectName(control), std::string(operation),
                           "the window " + std::string(Name()) + " is not loaded");
    return *window_;
}

std::string Form::ObjectName(std::string_view control) const {
    return FormsRuntime::ObjectName(Name(), control);
}

void Form::DeliverClick(std::string_view control) {
    for (const ClickBinding& binding : clickBindings_)
        if (binding.control == control)
            detail::DeliverEvent(*this, control, "Click", binding.handler);
}

void Form::DeliverClose() {
    Unload();
}

void UnloadEveryForm() {
    for (Form* form = firstForm; form != nullptr; form = form->next_)
        form->Unload();
}

const SettledWindow& FormEvents::Window() const {
    return form_.settled_;
}

std::string FormEvents::ObjectName(std::string_view control) const {
    return form_.ObjectName(control);
}

void FormEvents::Click(std::string_view control) const {
    form_.DeliverClick(control);
}

void FormEvents::Close() const {
    form_.DeliverClose();
}

bool AnyFormLoaded() {
    for (const Form* form = firstForm; form != nullptr; form = form->next_)
        if (form->IsLoaded())
            return true;
    return false;
}

} // namespace FormsRuntime
