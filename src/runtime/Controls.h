#pragma once

#include "runtime/Layout.h"
#include "runtime/Text.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace FormsRuntime {

class Form;
class BackendWindow;

// A named control of a window class, checked against the layout when the form is created.
// Operations on it reach the control of the loaded window.
class ControlHandle {
public:
    ControlHandle(Form& form, std::string_view name, ControlKind kind);

protected:
    BackendWindow& Window(std::string_view operation) const;
    std::size_t Index() const noexcept { return index_; }
    const Form& Owner() const noexcept { return form_; }

private:
    Form& form_;
    std::size_t index_;
};

class Label : public ControlHandle {
public:
    Label(Form& form, std::string_view name) : ControlHandle(form, name, ControlKind::Label) {}
    Text Caption() const;
    // The label repaints with the new caption; an AutoSize label takes the size of its text.
    void SetCaption(TextView caption);
};

class TextBox : public ControlHandle {
public:
    TextBox(Form& form, std::string_view name) : ControlHandle(form, name, ControlKind::TextBox) {}
    FormsRuntime::Text Text() const;
};

} // namespace FormsRuntime
