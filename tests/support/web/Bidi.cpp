// A browser spoken to over WebDriver BiDi (Firefox, headless): commands and events on one
// WebSocket. The page script is a preload script whose channel carries the trace steps; errors
// the page throws arrive as log entries; input is WebDriver's actions.

#include "Browser.h"
#include "LocalConnection.h"

#include <deque>
#include <stdexcept>

namespace TestDriver::web {
namespace {

constexpr std::chrono::seconds replyWait{30}; // a browser this long silent hangs

class BidiBrowser final : public WebDriverBrowser {
public:
    BidiBrowser(const std::string& address, Viewport viewport, const std::string& pageScript)
        : socket_(address) {
        const Json session = Call("session.new", {{"capabilities", Json::object()}});
        name_ = session["capabilities"].value("browserName", std::string("a BiDi browser")) + " " +
                session["capabilities"].value("browserVersion", std::string());
        // A tab of its own, in the foreground: the tab Firefox starts with never has the
        // window's focus, and a button that is focused in a document without it is not
        // pressed by Return or Space.
        const std::string first =
            Call("browsingContext.getTree", Json::object())["contexts"].at(0)["context"];
        context_ =
            Call("browsingContext.create", {{"type", "tab"}, {"background", false}})["context"];
        Call("browsingContext.close", {{"context", first}});
        Call(
            "session.subscribe",
            {{"events", {"log.entryAdded", "script.message", "browsingContext.domContentLoaded"}}});
        Call("browsingContext.setViewport",
             {{"context", context_},
              {"viewport", {{"width", viewport.width}, {"height", viewport.height}}},
              {"devicePixelRatio", viewport.scale}});
        Call("script.addPreloadScript",
             {{"functionDeclaration",
               "(step) => {\nwindow.quiblyDriverStep = step;\n" + pageScript + "\n}"},
              {"arguments", {{{"type", "channel"}, {"value", {{"channel", stepChannel}}}}}}});
    }

    std::string Name() const override { return name_; }

    void Navigate(const std::string& address) override {
        loaded_ = false;
        Call("browsingContext.navigate",
             {{"context", context_}, {"url", address}, {"wait", "none"}});
    }

    bool DocumentLoaded() override {
        HandleEvents();
        return loaded_;
    }

    // As a string of JSON, so that what the page gives is read as the other engines read it.
    Json Evaluate(const std::string& expression) override {
        const Json result = Call(
            "script.evaluate",
            {{"expression", "(async () => JSON.stringify((await (" + expression + ")) ?? null))()"},
             {"target", {{"context", context_}}},
             {"awaitPromise", true},
             {"resultOwnership", "none"}});
        if (result["type"] == "exception")
            throw std::runtime_error(
                "the page: " + result["exceptionDetails"].value("text", std::string("error")));
        return Json::parse(result["result"]["value"].get<std::string>());
    }

    std::optional<std::string> NextStep() override {
        HandleEvents();
        return TakeStep();
    }

    QImage Screenshot(const Json& area) override {
        Json shot{{"context", context_}};
        if (!area.is_null()) {
            shot["clip"] = area;
            shot["clip"]["type"] = "box";
        }
        const std::string data = Call("browsingContext.captureScreenshot", shot)["data"];
        return PngOf(data);
    }

protected:
    void PerformActions(const Json& sources) override {
        Call("input.performActions", {{"context", context_}, {"actions", sources}});
    }

    std::string Protocol() const override { return "WebDriver BiDi"; }

private:
    static constexpr const char* stepChannel = "quibly-driver-step";

    Json Call(const std::string& method, Json params) {
        const Json command{{"id", ++lastId_}, {"method", method}, {"params", std::move(params)}};
        socket_.Send(command.dump());
        while (true) {
            const std::optional<std::string> text = socket_.Receive(replyWait);
            if (!text)
                throw std::runtime_error(name_ + ": no answer to " + method);
            Json message = Json::parse(*text);
            if (message["type"] == "event")
                events_.push_back(std::move(message));
            else if (message.value("id", 0) != lastId_)
                continue; // the answer to a command given up on
            else if (message["type"] == "error")
                throw std::runtime_error(name_ + ": " + method +
                                         " failed: " + message.value("error", std::string()) +
                                         ": " + message.value("message", std::string()));
            else
                return std::move(message["result"]);
        }
    }

    // What the page reported on its own: trace steps are kept in order, the document's arrival
    // noted, and an error it threw is thrown here.
    void HandleEvents() {
        while (true) {
            Json event;
            if (!events_.empty()) {
                event = std::move(events_.front());
                events_.pop_front();
            } else if (const std::optional<std::string> text =
                           socket_.Receive(std::chrono::milliseconds(0))) {
                event = Json::parse(*text);
            } else {
                return;
            }
            const Json& params = event["params"];
            if (event["method"] == "browsingContext.domContentLoaded")
                loaded_ = loaded_ || params["context"] == context_;
            else if (event["method"] == "script.message" && params["channel"] == stepChannel)
                steps_.push_back(params["data"]["value"].get<std::string>());
            else if (event["method"] == "log.entryAdded" && params["type"] == "javascript")
                throw std::runtime_error("the page threw: " + params.dump());
        }
    }

    WebSocket socket_;
    std::string name_ = "the BiDi browser";
    std::string context_;
    int lastId_ = 0;
    std::deque<Json> events_;
    bool loaded_ = false; // the page last navigated to has its document
};

} // namespace

std::unique_ptr<Browser> OpenBidi(const std::string& address, Viewport viewport,
                                  const std::string& pageScript) {
    return std::make_unique<BidiBrowser>(address, viewport, pageScript);
}

} // namespace TestDriver::web
