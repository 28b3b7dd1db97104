#include "NullBackend.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <stdexcept>

namespace FormsRuntime {
Backend& Platform() {
    return NullPlatform::Instance();
}
} // namespace FormsRuntime

namespace NullPlatform {

class NullWindow final : public BackendWindow {
public:
    NullWindow(NullBackend& backend, FormEvents events)
        : backend_(backend), events_(events), window_(events.Window()) {
        for (const SettledControl& control : window_.controls)
            texts_.emplace_back(control.caption);
        backend_.loaded_.push_back(this);
    }
    ~NullWindow() override { std::erase(backend_.loaded_, this); }

    void Show() override { shown_ = true; }
    void Refresh() override {}
    FormsRuntime::Text ControlText(std::size_t control) const override {
        return texts_.at(control);
    }
    void SetControlText(std::size_t control, TextView text) override {
        texts_.at(control) = FormsRuntime::Text(text);
    }
    void AnnounceCaption(std::size_t control, TextView caption) override {
        std::string news = events_.ObjectName(window_.controls.at(control).name) + ": ";
        for (const char16_t unit : caption)
            news += static_cast<char>(unit);
        backend_.announced.push_back(news);
    }

    std::string_view Name() const { return window_.name; }
    bool IsShown() const { return shown_; }
    std::size_t Index(std::string_view control) const {
        for (std::size_t i = 0; i < window_.controls.size(); ++i)
            if (window_.controls[i].name == control)
                return i;
        throw std::invalid_argument(std::string(Name()) + " has no control " +
                                    std::string(control));
    }
    const SettledWindow& Settled() const { return window_; }
    const FormEvents& Events() const { return events_; }
    FormsRuntime::Text& TextOf(std::size_t control) { return texts_.at(control); }

private:
    NullBackend& backend_;
    FormEvents events_;
    const SettledWindow& window_;
    std::vector<FormsRuntime::Text> texts_;
    bool shown_ = false;
};

NullBackend& Instance() {
    static NullBackend backend;
    return backend;
}

NullWindow* NullBackend::Find(std::string_view window) const {
    for (NullWindow* loaded : loaded_)
        if (loaded->Name() == window)
            return loaded;
    throw std::invalid_argument(std::string(window) + " is not loaded");
}

void NullBackend::Click(std::string_view window, std::string_view control) {
    NullWindow& form = *Find(window);
    const SettledWindow& settled = form.Settled();
    const auto named = [&](const auto& entry) { return entry.name == control; };
    if (std::none_of(settled.controls.begin(), settled.controls.end(), named) &&
        std::none_of(settled.menus.begin(), settled.menus.end(), named))
        throw std::invalid_argument(std::string(window) + " has no control or menu " +
                                    std::string(control));
    form.Events().Click(control);
}

void NullBackend::Type(std::string_view window, std::string_view textBox, std::u16string text) {
    NullWindow& form = *Find(window);
    form.TextOf(form.Index(textBox)) = std::move(text);
}

void NullBackend::PressReturn(std::string_view window) {
    NullWindow& form = *Find(window);
    if (const auto button = form.Settled().defaultButton)
        form.Events().Click(form.Settled().controls[*button].name);
}

void NullBackend::PressEscape(std::string_view window) {
    NullWindow& form = *Find(window);
    if (const auto button = form.Settled().cancelButton)
        form.Events().Click(form.Settled().controls[*button].name);
}

void NullBackend::Close(std::string_view window) {
    Find(window)->Events().Close();
}

std::u16string NullBackend::Text(std::string_view window, std::string_view control) const {
    NullWindow& form = *Find(window);
    return form.ControlText(form.Index(control));
}

bool NullBackend::IsShown(std::string_view window) const {
    return std::any_of(loaded_.begin(), loaded_.end(), [&](const NullWindow* loaded) {
        return loaded->Name() == window && loaded->IsShown();
    });
}

int NullBackend::Start(const Program&, int, char**, const std::function<int()>& run) {
    return run();
}

void NullBackend::BeginRun(const Program&) {
    quit_ = false;
}

std::unique_ptr<BackendWindow> NullBackend::CreateFormWindow(FormEvents events) {
    windows.push_back(events.Window());
    return std::make_unique<NullWindow>(*this, events);
}

void NullBackend::RunLoop() {
    if (user)
        user();
    if (!quit_)
        ADD_FAILURE() << "the program was still running when the user was done";
}

void NullBackend::Quit() {
    quit_ = true;
}

void NullBackend::EndRun() {
    user = nullptr;
}

std::optional<MsgBoxResult> NullBackend::ShowMessageBox(const MessageBoxRequest& request) {
    boxes.push_back({.prompt = std::u16string(request.prompt),
                     .title = std::u16string(request.title),
                     .helpText = std::u16string(request.helpText),
                     .spoken = std::u16string(request.spoken),
                     .buttons = {request.buttons.begin(), request.buttons.end()},
                     .buttonSet = request.buttonSet,
                     .defaultButton = request.defaultButton,
                     .escape = request.escape,
                     .icon = request.icon,
                     .helpButton = request.helpButton});
    return answer;
}

void NullBackend::ShowRunTimeError(TextView title, std::string_view message, TextView) {
    errors.push_back({std::u16string(title), std::string(message)});
}

} // namespace NullPlatform
