// The forms runtime in a web page. The page (page/) is the desktop: it builds each window from a
// description, and WebAssembly waits for the browser through Asyncify as if it were blocking:
// for the user's next action, for a presented frame, for a box's answer.

#include "runtime/Backend.h"
#include "runtime/Runtime.h"
#include "runtime/web/JsonWriter.h"
#include "runtime/web/PageCalls.h"
#include "runtime/web/WebWindow.h"

#include <array>
#include <string>

namespace FormsRuntime {
namespace {

using web::JsonWriter;

// The page's names of the box's icons, in MsgBoxIcon's order.
constexpr std::array<const char*, 5> iconNames{"", "critical", "question", "warning",
                                               "information"};

// The buttons go as the answers' codes, by which the page knows their captions.
std::string DescribeBox(const MessageBoxRequest& request) {
    JsonWriter json;
    json.BeginObject().Key("title").Value(request.title).Key("prompt").Value(request.prompt);
    json.Key("icon").Value(iconNames[static_cast<std::size_t>(request.icon)]);
    json.Key("buttons").BeginArray();
    for (const MsgBoxResult result : request.buttons)
        json.Value(static_cast<int>(result));
    json.EndArray();
    json.Key("defaultButton").Value(static_cast<int>(request.defaultButton));
    json.Key("escape").Value(request.escape ? static_cast<int>(*request.escape) : 0);
    json.Key("helpButton").Value(request.helpButton).Key("helpText").Value(request.helpText);
    json.Key("rightAligned").Value(request.rightAligned);
    json.Key("rightToLeft").Value(request.rightToLeft);
    json.EndObject();
    return json.Json();
}

class WebBackend final : public Backend {
public:
    int Start(const Program& program, int, char**, const std::function<int()>& run) override {
        quibly_page_begin(program.app.Title.data(), static_cast<int>(program.app.Title.size()));
        // The page's test hook, where there is one, sees every window operation and may hold
        // the program at it.
        if (quibly_page_traced() != 0)
            SetOperationTrace([](std::string_view object, std::string_view operation) {
                quibly_page_trace(std::string(object).c_str(), std::string(operation).c_str());
            });
        const int status = run();
        quibly_page_ended(status);
        return status;
    }

    // The page's icon is the program icon already; closing the last window ends nothing by
    // itself, as the generic side decides.
    void BeginRun(const Program&) override {}

    std::unique_ptr<BackendWindow> CreateFormWindow(FormEvents events) override {
        return std::make_unique<web::WebWindow>(events);
    }

    void RunLoop() override {
        quit_ = false;
        while (!quit_) {
            int window = 0, item = 0;
            const int kind = quibly_page_next_event(&window, &item);
            web::WebWindow::Deliver(window, kind, item);
        }
    }

    void Quit() override { quit_ = true; }

    void EndRun() override {}

    std::optional<MsgBoxResult> ShowMessageBox(const MessageBoxRequest& request) override {
        const int answer = quibly_page_message_box(DescribeBox(request).c_str());
        for (const MsgBoxResult result : request.buttons)
            if (result == answer)
                return result;
        return std::nullopt;
    }

    // The box is an alert dialog named by its title and described by its message, which
    // screen readers read as it opens: what `spoken` asks for.
    void ShowRunTimeError(TextView title, std::string_view message, TextView) override {
        JsonWriter json;
        json.BeginObject().Key("title").Value(title);
        json.Key("message").Value(TextFromUtf8(message)).EndObject();
        quibly_page_run_time_error(json.Json().c_str());
    }

private:
    bool quit_ = false;
};

} // namespace

Backend& Platform() {
    static WebBackend backend;
    return backend;
}

} // namespace FormsRuntime
