// The test driver for the web runtime: the program runs in a page of headless Chromium, driven
// from outside as a user would drive it (trusted mouse and keyboard input) and read through the
// DevTools protocol (the DOM, screenshots, the accessibility tree). The runtime's operation
// trace comes through a binding the page calls; the page waits at each step until the test's
// trace hook has run.

#include "Chromium.h"
#include "Driver.h"
#include "Phone.h"
#include "ImageSnapshot.h"
#include "TestPrograms.h"
#include "runtime/Session.h"
#include "shell/Program.h"

#include <QByteArray>
#include <QImage>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <thread>

namespace TestDriver {
namespace {

using namespace web;

constexpr auto longestWait = std::chrono::seconds(30); // for what a page does in a moment
constexpr int desktopWidth = 1280, desktopHeight = 1400;

std::string Setting(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        throw std::runtime_error(std::string("the web test needs ") + name + " to be set");
    return value;
}

// Points the page gives, in CSS pixels of its viewport.
struct At {
    double x = 0;
    double y = 0;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(At, x, y)

// A key as the keyboard reports it: its name, its place, its Windows key code and the text it
// types, if any.
struct KeyStroke {
    const char* key;
    const char* code;
    int keyCode;
    const char* text = "";
};
constexpr KeyStroke endKey{"End", "End", 35};

KeyStroke StrokeOf(Key key) {
    static constexpr KeyStroke strokes[] = {{"Enter", "Enter", 13, "\r"},
                                            {"Escape", "Escape", 27},
                                            {" ", "Space", 32, " "},
                                            {"Tab", "Tab", 9},
                                            {"F1", "F1", 112}};
    return strokes[static_cast<std::size_t>(key)];
}

} // namespace

// What the page's functions yield, read by name.
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Rect, x, y, width, height)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Font, face, pixelHeight, weight, italic, underline, strikeOut)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(WindowLook, caption, titleBar, minimizeButton, maximizeButton,
                                   resizable, taskBarButton, centred, clientWidth, clientHeight,
                                   iconSize)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(MessageBoxSeen, title, prompt, icon, buttons, defaultButton,
                                   help, titleBarButtons)

namespace {

class WebDriver final : public Driver, public Phone {
public:
    int Run(const FormsRuntime::Program& program, const std::function<void()>& scenario) override {
        Start();
        loaded_ = false;
        browser_->Call("Page.navigate", {{"url", AddressOf(program)}});
        WaitFor("Main to return",
                [&] { return loaded_ && (Page("mainReturned") || Page("ended")); });
        if (!Page("ended"))
            scenario();
        const std::vector<std::string> left = Page("shownWindows");
        for (const std::string& window : left)
            if (!Page("ended"))
                Close(window);
        WaitFor("the page to say the program has ended", [&] { return Page("ended"); });
        return Page("exitStatus");
    }

    int CountShown(std::string_view window) override {
        Pump();
        return Page("countShown", window);
    }

    WindowLook Look(std::string_view window) override { return Page("look", window); }

    // By the window's bottom-right corner, dragged with the mouse.
    void Resize(std::string_view window, int clientWidth, int clientHeight) override {
        const Json handle = Page("resizeHandle", window);
        const At from = handle.get<At>(),
                 to{from.x + clientWidth - handle["width"].get<double>(),
                    from.y + clientHeight - handle["height"].get<double>()};
        Gesture({from, {(from.x + to.x) / 2, (from.y + to.y) / 2}, to});
        Settle();
    }

    // Painted on the screen: Chromium reported (Element Timing) the frame that presented each
    // text and picture of the window, all before the trace step now running was reached (or
    // before now), and the window is still shown. On a busy machine Chromium now and then
    // reports no contentful paint of the page at all, and then nothing it presents; that is
    // said, and the window is judged by its being shown.
    bool OnScreenAsPainted(std::string_view window) override {
        const double before = stepTime_ ? *stepTime_ : Page("now").get<double>();
        const Json presented = Page("presentedBefore", window, before);
        if (presented.is_null())
            std::cout << "Chromium reported no contentful paint of the page, so when " << window
                      << " was presented cannot be read: judged by its being shown\n";
        return presented.is_null() ? Page("isShown", window).get<bool>() : presented.get<bool>();
    }

    // The client area as the screen shows it now.
    Snapshot Grab(std::string_view window) override {
        Pump();
        Json area = Page("clientArea", window);
        const double layoutWidth = area["layoutWidth"];
        area.erase("layoutWidth");
        area["scale"] = 1;
        const Json shot =
            browser_->Call("Page.captureScreenshot", {{"format", "png"}, {"clip", area}});
        const std::string data = shot["data"];
        const QImage image = QImage::fromData(
            QByteArray::fromBase64(QByteArray(data.data(), qsizetype(data.size()))), "PNG");
        return SnapshotOf(image, image.width() / layoutWidth);
    }

    Rect Geometry(std::string_view window, std::string_view control) override {
        return Page("geometry", window, control);
    }

    std::string Text(std::string_view window, std::string_view control) override {
        Pump();
        return Page("text", window, control);
    }

    // The computed font of the control's element.
    Font FontOf(std::string_view window, std::string_view control) override {
        return Page("font", window, control);
    }

    // From Chromium's accessibility tree: the control's own node, or the text it holds where
    // the element itself is only a container.
    Accessible AccessibleOf(std::string_view window, std::string_view control) override {
        static const std::map<std::string, Role> roles{{"StaticText", Role::StaticText},
                                                       {"textbox", Role::EditableText},
                                                       {"button", Role::Button},
                                                       {"menuitem", Role::MenuItem}};
        static const std::set<std::string> containers{"generic", "none", "RootWebArea"};
        const std::string element =
            Remote("quiblyDriver.control" + Arguments(window, control), false)["objectId"];
        const Json nodes =
            browser_->Call("Accessibility.getPartialAXTree",
                           {{"objectId", element}, {"fetchRelatives", true}})["nodes"];
        for (const Json& node : nodes) {
            const std::string role = node["role"].value("value", std::string());
            if (!node.contains("backendDOMNodeId") || node.value("ignored", false) ||
                containers.contains(role))
                continue;
            const auto known = roles.find(role);
            return {known != roles.end() ? known->second : Role::Other,
                    node.contains("name") ? node["name"].value("value", std::string())
                                          : std::string(),
                    Geometry(window, control)};
        }
        return {};
    }

    // The text box is an <input>, whose value the browser keeps free of line breaks.
    std::string TextBoxRefuses(std::string_view text) override {
        return text.find_first_of("\r\n") != std::string_view::npos
                   ? "the page's text box, an <input>, holds no line break"
                   : "";
    }

    std::vector<std::string> Announcements() override {
        Pump();
        return Page("announced");
    }

    std::string ControlAt(std::string_view window, Point point) override {
        return Page("controlAt", window, point.x, point.y);
    }

    std::string Focused(std::string_view window) override {
        Pump();
        return Page("focused", window);
    }

    // At the control's centre; a menu item once its menu is open.
    void Click(std::string_view window, std::string_view control) override {
        Pump();
        if (!Page("isShown", window)) {
            Page("clickUnshown", window, control);
        } else {
            if (const Json menu = Page("closedMenu", window, control); !menu.is_null())
                ClickAt(Page("controlCentre", window, menu));
            ClickAt(Page("controlCentre", window, control));
        }
        Settle();
    }

    // As Qt's setText and Win32's SetWindowText: the text box's value, at once.
    void Paste(std::string_view window, std::string_view control, std::string_view text) override {
        Pump();
        Page("paste", window, control, text);
    }

    void Type(std::string_view window, std::string_view control, std::string_view text) override {
        if (Focused(window) != control)
            Click(window, control);
        PressKey(endKey);
        TypeText(text);
        Settle();
    }

    void Press(std::string_view, Key key) override {
        Pump();
        PressKey(StrokeOf(key));
        Settle();
    }

    MessageBoxSeen AnswerMessageBox(Answer answer, const std::function<void()>& action) override {
        MessageBoxSeen seen;
        boxAnswerers_.push_back([&] {
            seen = Page("box");
            seen.help = ReadHelp();
            if (answer == Answer::Yes || answer == Answer::No)
                ClickAt(Page("answerButton", answer == Answer::Yes ? "Yes" : "No"));
            else
                PressKey(StrokeOf(answer == Answer::Return ? Key::Return : Key::Escape));
        });
        action();
        // Pump takes the answerer as it answers; an action done without a box withdraws it.
        WaitFor("a message box", [&] { return !boxAnswerers_.back(); });
        boxAnswerers_.pop_back();
        Settle();
        return seen;
    }

protected:
    void PressCloseBox(std::string_view window) override {
        const Json close = Page("closeBox", window);
        if (close.is_null())
            throw std::logic_error("Close: " + std::string(window) +
                                   " has no close box, and a page offers no other way to close it");
        ClickAt(close);
        WaitFor("the window to close or ask",
                [&] { return !boxAnswerers_.back() || Page("ended") || !Page("isShown", window); });
        boxAnswerers_.back() = nullptr; // closed without a box
    }

    // The page paints in the standard colour scheme of the desktop it stands in for.
    Rgb ButtonFace() override { return {192, 192, 192}; }

    // As the site holds it: the browser decodes the same file.
    std::pair<Rgb, int> PictureSample(std::string_view picture, Point point) override {
        return SampleOf(QString::fromStdString(Setting("QUIBLY_WEB_BUILD") + "/site/assets/" +
                                               std::string(picture)),
                        point);
    }

private:
    void Start() {
        if (browser_)
            return;
        browser_ = std::make_unique<Chromium>(Setting("QUIBLY_BROWSER"));
        for (const char* domain : {"Runtime", "Page", "Accessibility"})
            browser_->Call(std::string(domain) + ".enable");
        browser_->Call("Runtime.addBinding", {{"name", "quiblyDriverStep"}});
        if (!EmulatePhone())
            browser_->Call("Emulation.setDeviceMetricsOverride",
                           {{"width", desktopWidth},
                            {"height", desktopHeight},
                            {"deviceScaleFactor", std::stod(Setting("QUIBLY_WEB_SCALE"))},
                            {"mobile", false}});
        std::ifstream script(WEB_DRIVER_SCRIPT);
        const std::string source{std::istreambuf_iterator<char>(script), {}};
        if (source.empty())
            throw std::runtime_error("the page's driver script " WEB_DRIVER_SCRIPT " is missing");
        browser_->Call("Page.addScriptToEvaluateOnNewDocument", {{"source", source}});
    }

    // Quibly from its site; a test program from the test site, by its name.
    std::string AddressOf(const FormsRuntime::Program& program) const {
        if (program.main == QuiblyProgram.main)
            return Setting("QUIBLY_WEB_ADDRESS") + "site/index.html";
        const std::string_view name = TestPrograms::NameOf(program);
        if (name.empty())
            throw std::runtime_error(
                "no web site holds the program titled " +
                std::string(program.app.Title.begin(), program.app.Title.end()));
        return Setting("QUIBLY_WEB_ADDRESS") + "test-site/index.html?program=" + std::string(name);
    }

    // Lets the page finish what the last input started, then handles what it reported.
    void Settle() {
        Evaluate("new Promise(done => setTimeout(done, 0))");
        Pump();
    }

    // Runs the trace hook for each step the page reported, then lets the page go on; answers
    // a message box that came up if one is awaited.
    void Pump() {
        if (inHook_)
            return;
        while (std::optional<Json> event = browser_->NextEvent()) {
            loaded_ = loaded_ || (*event)["method"] == "Page.domContentEventFired";
            if ((*event)["method"] == "Runtime.exceptionThrown")
                throw std::runtime_error("the page threw: " +
                                         (*event)["params"]["exceptionDetails"].dump());
            if ((*event)["method"] != "Runtime.bindingCalled")
                continue;
            const Json step = Json::parse((*event)["params"]["payload"].get<std::string>());
            const std::string object = step["object"], operation = step["operation"];
            stepTime_ = step["time"].get<double>();
            inHook_ = true;
            try {
                // A test program's progress, told from the page, counts here as well.
                if (object == TestPrograms::traceObject)
                    TestPrograms::Reached(operation);
                else
                    FormsRuntime::detail::Trace(object, operation);
            } catch (...) {
                inHook_ = false;
                throw;
            }
            inHook_ = false;
            stepTime_.reset();
            Evaluate("quiblyTraceResume()");
        }
        if (!boxAnswerers_.empty() && boxAnswerers_.back() && Page("boxIsOpen"))
            std::exchange(boxAnswerers_.back(), nullptr)();
    }

    template <class Condition> void WaitFor(const std::string& what, Condition condition) {
        const auto until = std::chrono::steady_clock::now() + longestWait;
        while (true) {
            Pump();
            if (condition())
                return;
            if (std::chrono::steady_clock::now() > until)
                throw std::runtime_error("waited in vain for " + what);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    // "(a, b, ...)": the values as JavaScript arguments.
    template <class... Values> static std::string Arguments(const Values&... values) {
        std::string list;
        ((list += (list.empty() ? "" : ", ") + Json(values).dump()), ...);
        return "(" + list + ")";
    }

    // What one of the page driver's functions returns; a promise is waited for.
    template <class... Values> Json Page(std::string_view function, const Values&... values) {
        return Evaluate("quiblyDriver." + std::string(function) + Arguments(values...));
    }

    Json Evaluate(const std::string& expression) {
        return Remote(expression, true).value("value", Json());
    }

    Json Remote(const std::string& expression, bool byValue) {
        const Json result = browser_->Call(
            "Runtime.evaluate",
            {{"expression", expression}, {"returnByValue", byValue}, {"awaitPromise", true}});
        if (result.contains("exceptionDetails"))
            throw std::runtime_error("the page: " + result["exceptionDetails"]["exception"].value(
                                                        "description", std::string("error")));
        return result["result"];
    }

    // Trusted input, as the browser receives it from a mouse and a keyboard: the left button
    // pressed at the path's first point, moved along it and released at its last.
    void Gesture(const std::vector<At>& path) {
        if (screen_) {
            Touch(path);
            return;
        }
        const auto mouse = [&](const char* type, At at, int buttons) {
            const bool moved = std::string_view(type) == "mouseMoved";
            browser_->Call("Input.dispatchMouseEvent",
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

    void ClickAt(const Json& point) { Gesture({point.get<At>()}); }

    void PressKey(const KeyStroke& stroke) {
        Json key{
            {"key", stroke.key}, {"code", stroke.code}, {"windowsVirtualKeyCode", stroke.keyCode}};
        Json down = key;
        down["type"] = *stroke.text != '\0' ? "keyDown" : "rawKeyDown";
        if (*stroke.text != '\0')
            down["text"] = down["unmodifiedText"] = stroke.text;
        browser_->Call("Input.dispatchKeyEvent", down);
        key["type"] = "keyUp";
        browser_->Call("Input.dispatchKeyEvent", key);
    }

    // One key per character, emoji included.
    void TypeText(std::string_view text) {
        if (screen_) {
            TypeOnScreen(text);
            return;
        }
        for (const std::string character : Page("characters", text)) {
            browser_->Call("Input.dispatchKeyEvent", {{"type", "keyDown"},
                                                      {"key", character},
                                                      {"text", character},
                                                      {"unmodifiedText", character}});
            browser_->Call("Input.dispatchKeyEvent", {{"type", "keyUp"}, {"key", character}});
        }
    }

    // F1 offers help in a box of its own, if the box has help: it is read and closed.
    std::string ReadHelp() {
        PressKey(StrokeOf(Key::F1));
        Settle();
        const Json help = Page("help");
        if (help.is_null())
            return {};
        ClickAt(help["button"]);
        WaitFor("the help box to close", [&] { return Page("help").is_null(); });
        return help["text"];
    }

    // ----- Phones: Chromium's device emulation, touch and the on-screen keyboard -----------

public:
    std::optional<Screen> Emulated() override { return screen_; }

    void Turn() override {
        std::swap(screen_->width, screen_->height);
        EmulateScreen(screen_->height);
        Redrawn();
    }

    void ShowKeyboard(KeyboardWay way, double share) override {
        const int covered = int(std::lround(screen_->height * share));
        if (way == KeyboardWay::ShrinksLayout)
            EmulateScreen(screen_->height - covered);
        else
            Evaluate("quiblyPhone.coverVisualViewport(" + std::to_string(covered) + ")");
        Redrawn();
    }

    void HideKeyboard() override {
        EmulateScreen(screen_->height);
        Evaluate("quiblyPhone.coverVisualViewport(0)");
        Redrawn();
    }

    void DragTitleBarTo(std::string_view window, double x, double y) override {
        const At from = Evaluate("quiblyPhone.titleBarCentre" + Arguments(window)).get<At>();
        Touch({from, {(from.x + x) / 2, (from.y + y) / 2}, {x, y}});
        Settle();
        Redrawn();
    }

    void Tap(std::string_view window, std::string_view part) override {
        Pump();
        Touch({Evaluate("quiblyPhone.centre" + Arguments(window, part)).get<At>()});
        Settle();
    }

    Sight SightOf(std::string_view window, std::string_view part) override {
        Pump();
        const Json seen = Evaluate("quiblyPhone.sight" + Arguments(window, part));
        return {seen["inView"], seen["uncovered"]};
    }

    double DevicePixelsPerPixel(std::string_view window) override {
        return Evaluate("quiblyPhone.devicePixelsPerPixel" + Arguments(window));
    }

    std::string Screenshot(std::string_view name) override {
        const std::string data = browser_->Call("Page.captureScreenshot", {{"format", "png"}})["data"];
        const std::string path = Setting("QUIBLY_WEB_SHOTS") + "/" + std::string(name) + ".png";
        std::filesystem::create_directories(Setting("QUIBLY_WEB_SHOTS"));
        std::ofstream(path, std::ios::binary)
            << QByteArray::fromBase64(QByteArray(data.data(), qsizetype(data.size())))
                   .toStdString();
        return path;
    }

private:
    // The screen QUIBLY_WEB_DEVICE names, touch input and the page's stand-in visual viewport;
    // false where none is named.
    bool EmulatePhone() {
        const char* device = std::getenv("QUIBLY_WEB_DEVICE");
        if (device == nullptr || *device == '\0')
            return false;
        Screen screen;
        if (std::sscanf(device, "%dx%d@%lf", &screen.width, &screen.height, &screen.pixelRatio) != 3)
            throw std::runtime_error(std::string("QUIBLY_WEB_DEVICE is not WIDTHxHEIGHT@RATIO: ") +
                                     device);
        screen_ = screen;
        EmulateScreen(screen.height);
        browser_->Call("Emulation.setTouchEmulationEnabled", {{"enabled", true}, {"maxTouchPoints", 5}});
        std::ifstream script(WEB_PHONE_SCRIPT);
        const std::string source{std::istreambuf_iterator<char>(script), {}};
        if (source.empty())
            throw std::runtime_error("the page's phone script " WEB_PHONE_SCRIPT " is missing");
        browser_->Call("Page.addScriptToEvaluateOnNewDocument", {{"source", source}});
        return true;
    }

    // The phone's screen, its layout viewport `height` high (less where a keyboard takes part).
    void EmulateScreen(int height) {
        const bool portrait = screen_->height >= screen_->width;
        browser_->Call("Emulation.setDeviceMetricsOverride",
                       {{"width", screen_->width},
                        {"height", height},
                        {"deviceScaleFactor", screen_->pixelRatio},
                        {"mobile", true},
                        {"screenWidth", screen_->width},
                        {"screenHeight", screen_->height},
                        {"screenOrientation",
                         {{"type", portrait ? "portraitPrimary" : "landscapePrimary"},
                          {"angle", portrait ? 0 : 90}}}});
    }

    // Once the page has had the resize and drawn a frame after it.
    void Redrawn() {
        Evaluate("new Promise(done => requestAnimationFrame(() => requestAnimationFrame(done)))");
        Pump();
    }

    // A finger down at the path's first point, moved along it and lifted at its last.
    void Touch(const std::vector<At>& path) {
        const auto touch = [&](const char* type, const At* at) {
            Json points = Json::array();
            if (at != nullptr)
                points.push_back({{"x", at->x}, {"y", at->y}});
            browser_->Call("Input.dispatchTouchEvent", {{"type", type}, {"touchPoints", points}});
        };
        touch("touchStart", &path.front());
        for (std::size_t i = 1; i < path.size(); ++i)
            touch("touchMove", &path[i]);
        touch("touchEnd", nullptr);
    }

    // As an on-screen keyboard enters text: committed by its input method, not typed by keys.
    void TypeOnScreen(std::string_view text) {
        browser_->Call("Input.insertText", {{"text", text}});
    }

    std::optional<Screen> screen_; // the phone's, where the page runs as on one
    std::unique_ptr<Chromium> browser_;
    std::optional<double> stepTime_;
    bool inHook_ = false;
    bool loaded_ = false; // the page last navigated to has its document
    std::vector<std::function<void()>> boxAnswerers_;
};

WebDriver& TheDriver() {
    static WebDriver driver;
    return driver;
}

} // namespace

Driver& Current() {
    return TheDriver();
}

Phone& web::CurrentPhone() {
    return TheDriver();
}

} // namespace TestDriver
