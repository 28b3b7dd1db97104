// Headless Chromium as the web test driver's browser, over the DevTools protocol: the trace
// steps come through a binding the page calls, input as the browser receives it from a mouse,
// a keyboard or a finger, the accessibility tree as Chromium builds it, and phones and tablets
// by its device emulation.

#include "Chromium.h"


namespace TestDriver::web {
namespace {

class ChromiumBrowser final : public Browser, public TouchScreen {
public:
    ChromiumBrowser(const std::filesystem::path& session, Viewport viewport,
                    const std::string& pageScript)
        : chromium_(session) {
        for (const char* domain : {"Runtime", "Page", "Accessibility"})
            chromium_.Call(std::string(domain) + ".enable");
        chromium_.Call("Runtime.addBinding", {{"name", "quiblyDriverStep"}});
        chromium_.Call("Emulation.setDeviceMetricsOverride", {{"width", viewport.width},
                                                              {"height", viewport.height},
                                                              {"deviceScaleFactor", viewport.scale},
                                                              {"mobile", false}});
        chromium_.Call("Page.addScriptToEvaluateOnNewDocument", {{"source", pageScript}});
        name_ = chromium_.Call("Browser.getVersion")["product"];
    }

    std::string Name() const override { return name_; }

    void Navigate(const std::string& address) override {
        loaded_ = false;
        chromium_.Call("Page.navigate", {{"url", address}});
    }

    bool DocumentLoaded() override { return loaded_; }

    Json Evaluate(const std::string& expression) override {
        return Remote(expression, true).value("value", Json());
    }

    std::optional<std::string> NextStep() override {
        while (std::optional<Json> event = chromium_.NextEvent()) {
            loaded_ = loaded_ || (*event)["method"] == "Page.domContentEventFired";
            if ((*event)["method"] == "Runtime.exceptionThrown")
                throw std::runtime_error("the page threw: " +
                                         (*event)["params"]["exceptionDetails"].dump());
            if ((*event)["method"] == "Runtime.bindingCalled")
                return (*event)["params"]["payload"].get<std::string>();
        }
        return std::nullopt;
    }

    void Drag(const std::vector<At>& path) override {
        const auto mouse = [&](const char* type, At at, int buttons) {
            const bool moved = std::string_view(type) == "mouseMoved";
            chromium_.Call("Input.dispatchMouseEvent",
                           {{"type", type},
                            {"x", at.x},
                            {"y", at.y},
                            {"buttons", buttons},
                            {"button", moved && buttons == 0 ? "none" : "left"},
                            {"clickCount", 1}});
        };
        mouse("mouseMoved", path.front(), 0);
        mouse("mousePressed", path.front(), 1);
        for (std::size_t i = 1; i < path.size(); ++i)
            mouse("mouseMoved", path[i], 1);
        mouse("mouseReleased", path.back(), 0);
    }

    void PressKey(const KeyStroke& stroke) override {
        Json key{
            {"key", stroke.key}, {"code", stroke.code}, {"windowsVirtualKeyCode", stroke.keyCode}};
        Json down = key;
        down["type"] = *stroke.text != '\0' ? "keyDown" : "rawKeyDown";
        if (*stroke.text != '\0')
            down["text"] = down["unmodifiedText"] = stroke.text;
        chromium_.Call("Input.dispatchKeyEvent", down);
        key["type"] = "keyUp";
        chromium_.Call("Input.dispatchKeyEvent", key);
    }

    void TypeCharacter(const std::string& character) override {
        chromium_.Call("Input.dispatchKeyEvent", {{"type", "keyDown"},
                                                  {"key", character},
                                                  {"text", character},
                                                  {"unmodifiedText", character}});
        chromium_.Call("Input.dispatchKeyEvent", {{"type", "keyUp"}, {"key", character}});
    }

    QImage Screenshot(const Json& area) override {
        Json shot{{"format", "png"}};
        if (!area.is_null()) {
            shot["clip"] = area;
            shot["clip"]["scale"] = 1;
        }
        const std::string data = chromium_.Call("Page.captureScreenshot", shot)["data"];
        return PngOf(data);
    }

    TouchScreen* AsTouchScreen() override { return this; }

    void EmulateScreen(const Screen& screen, int layoutHeight) override {
        const bool portrait = screen.height >= screen.width;
        chromium_.Call("Emulation.setDeviceMetricsOverride",
                       {{"width", screen.width},
                        {"height", layoutHeight},
                        {"deviceScaleFactor", screen.pixelRatio},
                        {"mobile", true},
                        {"screenWidth", screen.width},
                        {"screenHeight", screen.height},
                        {"screenOrientation",
                         {{"type", portrait ? "portraitPrimary" : "landscapePrimary"},
                          {"angle", portrait ? 0 : 90}}}});
        chromium_.Call("Emulation.setTouchEmulationEnabled",
                       {{"enabled", true}, {"maxTouchPoints", 5}});
    }

    void Touch(const std::vector<At>& path) override {
        const auto touch = [&](const char* type, const At* at) {
            Json points = Json::array();
            if (at != nullptr)
                points.push_back({{"x", at->x}, {"y", at->y}});
            chromium_.Call("Input.dispatchTouchEvent", {{"type", type}, {"touchPoints", points}});
        };
        touch("touchStart", &path.front());
        for (std::size_t i = 1; i < path.size(); ++i)
            touch("touchMove", &path[i]);
        touch("touchEnd", nullptr);
    }

    void CommitText(std::string_view text) override {
        chromium_.Call("Input.insertText", {{"text", text}});
    }

    std::string WhyNoAccessibilityTree() const override { return {}; }

    Json AccessibilityNodesOf(const std::string& element) override {
        const std::string object = Remote(element, false)["objectId"];
        return chromium_.Call("Accessibility.getPartialAXTree",
                              {{"objectId", object}, {"fetchRelatives", true}})["nodes"];
    }

private:
    Json Remote(const std::string& expression, bool byValue) {
        const Json result = chromium_.Call(
            "Runtime.evaluate",
            {{"expression", expression}, {"returnByValue", byValue}, {"awaitPromise", true}});
        if (result.contains("exceptionDetails"))
            throw std::runtime_error("the page: " + result["exceptionDetails"]["exception"].value(
                                                        "description", std::string("error")));
        return result["result"];
    }

    Chromium chromium_;
    std::string name_;
    bool loaded_ = false; // the page last navigated to has its document
};

} // namespace

std::unique_ptr<Browser> OpenChromium(const std::filesystem::path& session, Viewport viewport,
                                      const std::string& pageScript) {
    return std::make_unique<ChromiumBrowser>(session, viewport, pageScript);
}

} // namespace TestDriver::web
