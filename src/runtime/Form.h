#pragma once

#include "runtime/Layout.h"
#include "runtime/SettledWindow.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace FormsRuntime {

class BackendWindow;

// An instance of a window class: a stored layout plus the handlers of the events it handles.
// It is unloaded (no controls exist) or loaded (controls built; visible or hidden).
class Form {
public:
    explicit Form(const WindowLayout& layout);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Builds the controls and raises Load, without showing the window.
    void Load();
    // Loads the window if it is unloaded, then makes it visible, modeless; returns at once.
    void Show();
    // Paints the window and its controls on the screen before returning.
    void Refresh();
    // Destroys the window and its controls.
    void Unload();

    bool IsLoaded() const noexcept { return window_ != nullptr; }
    // Loaded and made visible: from Show until Unload.
    bool IsShown() const noexcept { return IsLoaded() && shown_; }
    std::string_view Name() const noexcept { return layout_.name; }
    const WindowLayout& Layout() const noexcept { return layout_; }
    // "frmMain.Label1" for a control, "frmMain" for the window: how errors name them.
    std::string ObjectName(std::string_view control = {}) const;

protected:
    using Handler = std::function<void()>;
    void OnLoad(Handler handler);
    void OnClick(std::string_view control, Handler handler);

private:
    friend class ControlHandle;
    friend class FormEvents;
    friend void UnloadEveryForm();
    friend bool AnyFormLoaded();

    // The loaded window; when unloaded, a run-time error naming the window (or its control)
    // and the operation.
    BackendWindow& Window(std::string_view operation, std::string_view control = {}) const;
    // A Click that the window system delivered for one of this window's controls.
    void DeliverClick(std::string_view control);
    // The user closed the window by means of the window system.
    void DeliverClose();

    struct ClickBinding {
        std::string_view control;
        Handler handler;
    };

    const WindowLayout& layout_;
    SettledWindow settled_;
    std::unique_ptr<BackendWindow> window_;
    bool shown_ = false;
    Handler loadHandler_;
    std::vector<ClickBinding> clickBindings_;

    // Every live form, so that End and the end of a run can unload them all.
    Form* previous_ = nullptr;
    Form* next_ = nullptr;
};

// Unloads every loaded window of the program.
void UnloadEveryForm();
bool AnyFormLoaded();

} // namespace FormsRuntime
