#include "runtime/web/WebWindow.h"

#include "runtime/RuntimeError.h"
#include "runtime/web/PageCalls.h"
#include "runtime/web/WindowDescription.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <string>

namespace FormsRuntime::web {
namespace {

// The windows the page shows, by the number it knows them by.
std::map<int, WebWindow*>& Windows() {
    static std::map<int, WebWindow*> windows;
    return windows;
}

int nextId = 1;

struct FreeMemory {
    void operator()(void* memory) const { std::free(memory); }
};

// The page reports a failure as three lines: the control (empty: the window), the operation
// and the reason.
RuntimeError FailureOf(const FormEvents& events, std::string_view lines) {
    const std::size_t first = lines.find('\n');
    const std::size_t second = lines.find('\n', first + 1);
    return RuntimeError(events.ObjectName(lines.substr(0, first)),
                        std::string(lines.substr(first + 1, second - first - 1)),
                        std::string(lines.substr(second + 1)));
}

} // namespace

WebWindow::WebWindow(FormEvents events) : events_(events), id_(nextId++) {
    const std::string description = DescribeWindow(events_);
    if (const std::unique_ptr<char, FreeMemory> failure{
            quibly_page_create_window(id_, description.c_str())})
        throw FailureOf(events_, failure.get());
    Windows()[id_] = this;
}

WebWindow::~WebWindow() {
    Windows().erase(id_);
    quibly_page_destroy_window(id_);
}

void WebWindow::Show() {
    quibly_page_show_window(id_);
}

void WebWindow::Refresh() {
    quibly_page_refresh_window(id_);
}

Text WebWindow::ControlText(std::size_t control) const {
    int length = 0;
    const std::unique_ptr<char16_t, FreeMemory> text{
        quibly_page_control_text(id_, static_cast<int>(control), &length)};
    return text ? Text(text.get(), static_cast<std::size_t>(length)) : Text();
}

void WebWindow::SetControlText(std::size_t control, TextView text) {
    quibly_page_set_caption(id_, static_cast<int>(control), text.data(),
                            static_cast<int>(text.size()));
}

void WebWindow::AnnounceCaption(std::size_t, TextView caption) {
    quibly_page_announce(caption.data(), static_cast<int>(caption.size()));
}

void WebWindow::Deliver(int id, int kind, int item) {
    const auto found = Windows().find(id);
    if (found == Windows().end())
        return;
    const FormEvents& events = found->second->events_;
    const SettledWindow& window = events.Window();
    const auto index = static_cast<std::size_t>(item);
    switch (kind) {
    case ControlClicked:
        if (index < window.controls.size())
            events.Click(window.controls[index].name);
        break;
    case MenuClicked:
        if (index < window.menus.size())
            events.Click(window.menus[index].name);
        break;
    case WindowClosed:
        events.Close();
        break;
    }
}

} // namespace FormsRuntime::web
