// A browser spoken to over classic W3C WebDriver (WebKitGTK's WebKitWebDriver): one HTTP
// request per command, and nothing the page says on its own. So the page script comes in the
// page itself (tests/web/serve-sites adds it to every page it serves for this engine), and the
// trace steps and the errors the page threw wait in the page until the driver asks for them.
// The session ends with the driver's server, which the test's session ends.

#include "Browser.h"
#include "LocalConnection.h"

#include <stdexcept>
#include <thread>

namespace TestDriver::web {
namespace {

class ClassicWebDriverBrowser final : public WebDriverBrowser {
public:
    ClassicWebDriverBrowser(const std::string& address, Viewport viewport) : server_(address) {
        const Json session =
            Command("POST", "/session", {{"capabilities", {{"alwaysMatch", Json::object()}}}});
        session_ = "/session/" + session["sessionId"].get<std::string>();
        const Json& capabilities = session["capabilities"];
        name_ = capabilities.value("browserName", std::string("a WebDriver browser")) + " " +
                capabilities.value("browserVersion", std::string());
        Command("POST", session_ + "/timeouts", {{"script", 60'000}});
        FitViewport(viewport);
    }

    std::string Name() const override { return name_; }

    // Returns once the new page has loaded.
    void Navigate(const std::string& address) override {
        Command("POST", session_ + "/url", {{"url", address}});
    }

    bool DocumentLoaded() override { return true; }

    // As a string of JSON, so that what the page gives is read as the other engines read it.
    Json Evaluate(const std::string& expression) override {
        const Json answer = Command(
            "POST", session_ + "/execute/async",
            {{"script", "const done = arguments[arguments.length - 1];\n"
                        "(async () => (" +
                            expression +
                            "))().then(value => done({value: JSON.stringify(value ?? null)}),\n"
                            "  error => done({error: String(error?.stack ?? error)}));"},
             {"args", Json::array()}});
        if (answer.contains("error"))
            throw std::runtime_error("the page: " + answer["error"].get<std::string>());
        return Json::parse(answer["value"].get<std::string>());
    }

    std::optional<std::string> NextStep() override {
        if (steps_.empty()) {
            const Json reported =
                Evaluate("window.quiblyDriver?.reported() ?? {steps: [], errors: []}");
            if (!reported["errors"].empty())
                throw std::runtime_error("the page threw: " + reported["errors"].dump());
            for (const Json& step : reported["steps"])
                steps_.push_back(step.get<std::string>());
        }
        return TakeStep();
    }

    QImage Screenshot(const Json& area) override {
        QImage viewport = PngOf(Command("GET", session_ + "/screenshot", nullptr));
        for (int tries = 0; tries < 20; ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            QImage again = PngOf(Command("GET", session_ + "/screenshot", nullptr));
            if (again == viewport)
                break;
            viewport = std::move(again);
        }
        if (area.is_null())
            return viewport;
        const double scale = viewport.width() / Evaluate("innerWidth").get<double>();
        const auto device = [&](const char* name) { return int(area[name].get<double>() * scale); };
        return viewport.copy(device("x"), device("y"), device("width"), device("height"));
    }

protected:
    void PerformActions(const Json& sources) override {
        Command("POST", session_ + "/actions", {{"actions", sources}});
    }

    std::string Protocol() const override { return "classic WebDriver"; }

private:
    // The command's value; an error names the command and what the driver said.
    Json Command(const char* method, const std::string& path, const Json& body) {
        const HttpAnswer answer =
            HttpRequest(server_ + path, method, body.is_null() ? "" : body.dump());
        Json reply = Json::parse(answer.body, nullptr, false);
        if (answer.status != 200 || reply.is_discarded())
            throw std::runtime_error(name_ + ": " + method + " " + path + " failed (" +
                                     std::to_string(answer.status) + "): " + answer.body);
        return std::move(reply["value"]);
    }

    // The window sized so that its page has the viewport's size; the screen's own scale stays.
    void FitViewport(Viewport viewport) {
        if (viewport.scale != Evaluate("devicePixelRatio").get<double>())
            throw std::runtime_error(name_ + " cannot be given a device pixel ratio of " +
                                     std::to_string(viewport.scale));
        const Json window = Command("GET", session_ + "/window/rect", nullptr);
        const Json inner = Evaluate("({width: innerWidth, height: innerHeight})");
        Command("POST", session_ + "/window/rect",
                {{"width", window["width"].get<int>() + viewport.width - inner["width"].get<int>()},
                 {"height",
                  window["height"].get<int>() + viewport.height - inner["height"].get<int>()}});
        // The window system resizes the window in its own time.
        Json fitted;
        for (int tries = 0; tries < 50; ++tries) {
            fitted = Evaluate("({width: innerWidth, height: innerHeight})");
            if (fitted["width"] == viewport.width && fitted["height"] == viewport.height)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (fitted["width"] != viewport.width || fitted["height"] != viewport.height)
            throw std::runtime_error(name_ + ": the page is " + fitted.dump() + ", not " +
                                     std::to_string(viewport.width) + " x " +
                                     std::to_string(viewport.height) + " (is the screen smaller?)");
    }

    std::string server_;
    std::string name_ = "the WebDriver browser";
    std::string session_;
};

} // namespace

std::unique_ptr<Browser> OpenClassicWebDriver(const std::string& address, Viewport viewport) {
    return std::make_unique<ClassicWebDriverBrowser>(address, viewport);
}

} // namespace TestDriver::web
