// The test driver for the web runtime: the program runs in a page of headless Chromium, driven
// from outside as a user would drive it (trusted mouse and keyboard input) and read through the
// DevTools protocol (the DOM, screenshots, the accessibility tree). The runtime's operation
// trace comes from the page's console; the page waits at each step until the test's trace hook
// has run.

#include "Chromium.h"
#include "Driver.h"
#include "ImageSnapshot.h"
#include "TestPrograms.h"
#include "runtime/Session.h"
#include "shell/Program.h"

#include <QByteArray>
#include <QImage>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>

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

// Given to every page before its own script runs. The trace hook the runtime calls at each
// window operation: the step goes to the console, and the program waits until the driver has
// run the test's hook. And every text the live region is given, kept for the driver to read.
constexpr std::string_view driverScript = R"js(
window.quiblyTrace = (object, operation) => new Promise(resume => {
    window.quiblyTraceResume = resume;
    console.debug('quibly-trace', object, operation, performance.now());
});
window.quiblyDriverAnnounced = [];
new MutationObserver(records => {
    const region = document.querySelector('[data-part="announcer"]');
    if (region && records.some(record => region.contains(record.target)) && region.textContent)
        window.quiblyDriverAnnounced.push(region.textContent);
}).observe(document, {subtree: true, childList: true, characterData: true});
)js";

// Prefixed to every expression the driver evaluates. win(name): the shown window of that name,
// else the loaded hidden one; part(window, name); client(name); ctl(window, control); box(element,
// origin): its rounded box relative to another element's top-left corner; shown(element).
// Windows are elements marked `data-form`, their parts `data-part`, their controls
// `data-control`; boxes are in CSS pixels, which are device-independent pixels.
constexpr std::string_view helpers = R"js(
const win = name => {
    const all = [...document.querySelectorAll(`[data-form="${name}"]`)];
    const found = all.find(element => !element.hidden) ?? all[0];
    if (!found) throw new Error(`no window ${name} is loaded`);
    return found;
};
const part = (window, name) => window.querySelector(`[data-part="${name}"]`);
const client = name => {
    const found = part(win(name), 'client');
    if (!found) throw new Error(`the window ${name} has no client area`);
    return found;
};
const ctl = (window, name) => {
    const found = win(window).querySelector(`[data-control="${name}"]`);
    if (!found) throw new Error(`no control ${name} in ${window}`);
    return found;
};
const box = (element, origin) => {
    const r = element.getBoundingClientRect(), o = origin.getBoundingClientRect();
    return {x: Math.round(r.x - o.x), y: Math.round(r.y - o.y),
            width: Math.round(r.width), height: Math.round(r.height)};
};
const shown = element => element.checkVisibility();
)js";

// A text as a JavaScript string literal.
std::string Quoted(std::string_view text) {
    return Json(std::string(text)).dump();
}

std::string ControlElement(std::string_view window, std::string_view control) {
    return "ctl(" + Quoted(window) + ", " + Quoted(control) + ")";
}

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

} // namespace TestDriver

// A value the page may leave null.
template <class T> struct nlohmann::adl_serializer<std::optional<T>> {
    static void to_json(json& out, const std::optional<T>& value) {
        out = value ? json(*value) : json(nullptr);
    }
    static void from_json(const json& in, std::optional<T>& value) {
        value = in.is_null() ? std::nullopt : std::optional<T>(in.get<T>());
    }
};

namespace TestDriver {

// What the page's expressions yield, read by name.
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Rect, x, y, width, height)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Font, face, pixelHeight, weight, italic, underline, strikeOut)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(WindowLook, caption, titleBar, minimizeButton, maximizeButton,
                                   resizable, taskBarButton, centred, clientWidth, clientHeight,
                                   iconSize)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(MessageBoxSeen, title, prompt, icon, buttons, defaultButton,
                                   help, titleBarButtons)

namespace {

class WebDriver final : public Driver {
public:
    int Run(const FormsRuntime::Program& program, const std::function<void()>& scenario) override {
        Start();
        loaded_ = false;
        browser_->Call("Page.navigate", {{"url", AddressOf(program)}});
        WaitFor("Main to return", [&] {
            return loaded_ && (Evaluate("document.documentElement.hasAttribute("
                                        "'data-main-returned')") ||
                               Ended());
        });
        if (!Ended())
            scenario();
        const std::vector<std::string> left = Evaluate(
            "[...document.querySelectorAll('[data-form]')].filter(shown).map(w => w.dataset.form)");
        for (const std::string& window : left)
            if (!Ended())
                Close(window);
        WaitFor("the page to say the program has ended", [&] { return Ended(); });
        return std::stoi(
            Evaluate("document.querySelector('[data-part=\"ended\"]').dataset.exitStatus ?? ''")
                .get<std::string>());
    }

    int CountShown(std::string_view window) override {
        Pump();
        return Evaluate("[...document.querySelectorAll('[data-form=" + Quoted(window) +
                        "]')].filter(shown).length");
    }

    WindowLook Look(std::string_view window) override {
        return Evaluate("(w => { const c = part(w, 'client').getBoundingClientRect(); "
                        "const r = w.getBoundingClientRect(), icon = part(w, 'icon'); "
                        // Centred on the desktop, the page's work area.
                        "const d = part(document, 'desktop').getBoundingClientRect(); "
                        "return {caption: part(w, 'caption')?.textContent ?? '', "
                        "titleBar: !!part(w, 'titlebar'), minimizeButton: !!part(w, 'minimize'), "
                        "maximizeButton: !!part(w, 'maximize'), "
                        "resizable: w.hasAttribute('data-resizable'), "
                        "taskBarButton: !!document.querySelector(`[data-part=\"taskbar\"] "
                        "[data-taskbar=\"${w.dataset.form}\"]`), "
                        "centred: Math.abs(r.x + r.width / 2 - d.x - d.width / 2) <= 1 "
                        "&& Math.abs(r.y + r.height / 2 - d.y - d.height / 2) <= 1, "
                        "clientWidth: Math.round(c.width), clientHeight: Math.round(c.height), "
                        "iconSize: icon?.naturalWidth ?? 0}; })(win(" +
                        Quoted(window) + "))");
    }

    // By the window's bottom-right corner, dragged with the mouse.
    void Resize(std::string_view window, int clientWidth, int clientHeight) override {
        const Json corner = Evaluate(
            "(() => { const w = win(" + Quoted(window) +
            "), c = part(w, 'client'); "
            "const r = w.querySelector('[data-part=\"resize\"][data-edge=\"se\"]')"
            ".getBoundingClientRect(); return {x: r.x + r.width / 2, y: r.y + r.height / 2, "
            "width: c.offsetWidth, height: c.offsetHeight}; })()");
        const double x = corner["x"], y = corner["y"];
        Drag(x, y, x + clientWidth - corner["width"].get<int>(),
             y + clientHeight - corner["height"].get<int>());
        Settle();
    }

    // Painted on the screen: Chromium reported (Element Timing) the frame that presented each
    // text and picture of the window, all before the trace step now running was reached (or
    // before now), and the window is still shown. On a busy machine Chromium now and then
    // reports no contentful paint of the page at all, and then nothing it presents; that is
    // said, and the window is judged by its being shown.
    bool OnScreenAsPainted(std::string_view window) override {
        const double before = stepTime_ ? *stepTime_ : Evaluate("performance.now()").get<double>();
        const std::string shown = "shown(win(" + Quoted(window) + "))";
        const Json presented = Evaluate("new Promise(done => { setTimeout(() => done([]), 2000); "
                                        "new PerformanceObserver(list => done(list.getEntries()"
                                        ".filter(e => e.element?.closest('[data-form=" +
                                        Quoted(window) +
                                        "]')).map(e => e.renderTime))).observe("
                                        "{type: 'element', buffered: true}); })");
        if (presented.empty() &&
            Evaluate("performance.getEntriesByName('first-contentful-paint').length == 0")) {
            std::cout << "Chromium reported no contentful paint of the page, so when " << window
                      << " was presented cannot be read: judged by its being shown\n";
            return Evaluate(shown);
        }
        bool presentedBefore = !presented.empty();
        for (const double time : presented)
            presentedBefore = presentedBefore && time <= before;
        return presentedBefore && Evaluate(shown);
    }

    // The client area as the screen shows it now.
    Snapshot Grab(std::string_view window) override {
        Pump();
        const Json area =
            Evaluate("client(" + Quoted(window) + ").getBoundingClientRect().toJSON()");
        const Json shot = browser_->Call("Page.captureScreenshot", {{"format", "png"},
                                                                    {"clip",
                                                                     {{"x", area["x"]},
                                                                      {"y", area["y"]},
                                                                      {"width", area["width"]},
                                                                      {"height", area["height"]},
                                                                      {"scale", 1}}}});
        const std::string data = shot["data"];
        const QImage image = QImage::fromData(
            QByteArray::fromBase64(QByteArray(data.data(), qsizetype(data.size()))), "PNG");
        return SnapshotOf(image, image.width() / area["width"].get<double>());
    }

    Rect Geometry(std::string_view window, std::string_view control) override {
        return Evaluate("box(" + ControlElement(window, control) + ", client(" + Quoted(window) +
                        "))");
    }

    std::string Text(std::string_view window, std::string_view control) override {
        Pump();
        return Evaluate("(e => e instanceof HTMLInputElement ? e.value : e.textContent)(ctl(" +
                        Quoted(window) + ", " + Quoted(control) + "))");
    }

    // The computed font of the control's element.
    Font FontOf(std::string_view window, std::string_view control) override {
        return Evaluate(
            "(s => ({face: s.fontFamily.split(',')[0].replace(/[\"']/g, '').trim(), "
            "pixelHeight: Math.round(parseFloat(s.fontSize)), weight: +s.fontWeight, "
            "italic: s.fontStyle == 'italic', "
            "underline: s.textDecorationLine.includes('underline'), "
            "strikeOut: s.textDecorationLine.includes('line-through')}))(getComputedStyle(" +
            ControlElement(window, control) + "))");
    }

    // From Chromium's accessibility tree: the control's own node, or the text it holds where
    // the element itself is only a container.
    Accessible AccessibleOf(std::string_view window, std::string_view control) override {
        static const std::map<std::string, Role> roles{{"StaticText", Role::StaticText},
                                                       {"textbox", Role::EditableText},
                                                       {"button", Role::Button},
                                                       {"menuitem", Role::MenuItem}};
        static const std::set<std::string> containers{"generic", "none", "RootWebArea"};
        const std::string element = Remote(ControlElement(window, control), false)["objectId"];
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
        return Evaluate("window.quiblyDriverAnnounced.splice(0)");
    }

    std::string ControlAt(std::string_view window, Point point) override {
        return Evaluate(
            "(() => { const c = client(" + Quoted(window) + ").getBoundingClientRect(); " +
            "const hit = document.elementFromPoint(c.x + " + std::to_string(point.x) + ", c.y + " +
            std::to_string(point.y) + ")?.closest('[data-control]'); " + "return hit && win(" +
            Quoted(window) + ").contains(hit) ? hit.dataset.control : ''; })()");
    }

    std::string Focused(std::string_view window) override {
        Pump();
        return Evaluate("(e => e && win(" + Quoted(window) +
                        ").contains(e) ? e.closest('[data-control]')?.dataset.control ?? '' : '')"
                        "(document.activeElement)");
    }

    // At the control's centre; a menu item once its menu is open. A window that is loaded but
    // not shown takes no mouse input: its button is clicked as the element's own click().
    void Click(std::string_view window, std::string_view control) override {
        Pump();
        const std::string element = ControlElement(window, control);
        if (!Evaluate("shown(win(" + Quoted(window) + "))")) {
            Evaluate(element + ".click()");
        } else {
            if (!Evaluate("shown(" + element + ")")) // a menu item: open its menu first
                ClickAtCentre("ctl(" + Quoted(window) + ", " + element +
                              ".closest('[data-part=\"menu\"]').dataset.for)");
            ClickAtCentre(element);
        }
        Settle();
    }

    // As Qt's setText and Win32's SetWindowText: the text box's value, at once.
    void Paste(std::string_view window, std::string_view control, std::string_view text) override {
        Pump();
        Evaluate(ControlElement(window, control) + ".value = " + Quoted(text));
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
            seen = ReadBox();
            ShowHelp(seen);
            if (answer == Answer::Yes || answer == Answer::No)
                ClickAtCentre(std::string(openBox) + ".querySelector('[data-answer=" +
                              (answer == Answer::Yes ? "\"Yes\"" : "\"No\"") + "]')");
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
        if (!Evaluate("!!part(win(" + Quoted(window) + "), 'close')"))
            throw std::logic_error("Close: " + std::string(window) +
                                   " has no close box, and a page offers no other way to close it");
        ClickAtCentre("part(win(" + Quoted(window) + "), 'close')");
        WaitFor("the window to close or ask", [&] {
            return !boxAnswerers_.back() || Ended() ||
                   Evaluate("![...document.querySelectorAll('[data-form=" + Quoted(window) +
                            "]')].some(shown)");
        });
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
    static constexpr std::string_view openBox =
        "[...document.querySelectorAll('[data-form=\"MsgBox\"], [data-form=\"RunTimeError\"]')]"
        ".find(shown)";

    void Start() {
        if (browser_)
            return;
        const std::filesystem::path work = Setting("QUIBLY_WEB_PROFILE");
        browser_ = std::make_unique<Chromium>(work / "profile", work / "chromium.log");
        browser_->Call("Runtime.enable");
        browser_->Call("Page.enable");
        browser_->Call("Accessibility.enable");
        browser_->Call("Emulation.setDeviceMetricsOverride",
                       {{"width", desktopWidth},
                        {"height", desktopHeight},
                        {"deviceScaleFactor", std::stod(Setting("QUIBLY_WEB_SCALE"))},
                        {"mobile", false}});
        browser_->Call("Page.addScriptToEvaluateOnNewDocument",
                       {{"source", std::string(driverScript)}});
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

    bool Ended() {
        return Evaluate("!!document.querySelector('[data-part=\"ended\"]')?.checkVisibility()");
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
            if ((*event)["method"] != "Runtime.consoleAPICalled")
                continue;
            const Json& arguments = (*event)["params"]["args"];
            if (arguments.size() < 4 || arguments[0].value("value", Json()) != "quibly-trace")
                continue;
            const std::string object = arguments[1]["value"], operation = arguments[2]["value"];
            stepTime_ = arguments[3]["value"].get<double>();
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
        if (!boxAnswerers_.empty() && boxAnswerers_.back() &&
            Evaluate(std::string(openBox) + " !== undefined"))
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
            browser_->AwaitEvent(std::chrono::milliseconds(10));
        }
    }

    // Evaluates a JavaScript expression after the helpers and returns its value; a promise is
    // waited for.
    Json Evaluate(std::string_view expression) {
        return Remote(expression, true).value("value", Json());
    }

    Json Remote(std::string_view expression, bool byValue) {
        const Json result = browser_->Call(
            "Runtime.evaluate", {{"expression", "(() => {" + std::string(helpers) + "return (" +
                                                    std::string(expression) + ");})()"},
                                 {"returnByValue", byValue},
                                 {"awaitPromise", true}});
        if (result.contains("exceptionDetails"))
            throw std::runtime_error("the page: " + result["exceptionDetails"]["exception"].value(
                                                        "description", std::string("error")));
        return result["result"];
    }

    // Trusted input, as the browser receives it from a mouse and a keyboard; points are CSS
    // pixels in the page's viewport.
    void Mouse(const char* type, double x, double y, const char* button, int buttons) {
        browser_->Call("Input.dispatchMouseEvent", {{"type", type},
                                                    {"x", x},
                                                    {"y", y},
                                                    {"button", button},
                                                    {"buttons", buttons},
                                                    {"clickCount", 1}});
    }

    void ClickAt(double x, double y) {
        Mouse("mouseMoved", x, y, "none", 0);
        Mouse("mousePressed", x, y, "left", 1);
        Mouse("mouseReleased", x, y, "left", 0);
    }

    // The left button pressed at one point, moved to the other and released there.
    void Drag(double fromX, double fromY, double toX, double toY) {
        Mouse("mouseMoved", fromX, fromY, "none", 0);
        Mouse("mousePressed", fromX, fromY, "left", 1);
        Mouse("mouseMoved", (fromX + toX) / 2, (fromY + toY) / 2, "left", 1);
        Mouse("mouseMoved", toX, toY, "left", 1);
        Mouse("mouseReleased", toX, toY, "left", 0);
    }

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
        for (std::size_t at = 0; at < text.size();) {
            // The length of a UTF-8 sequence from its lead byte.
            const auto lead = static_cast<unsigned char>(text[at]);
            const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            const std::string character(text.substr(at, length));
            browser_->Call("Input.dispatchKeyEvent", {{"type", "keyDown"},
                                                      {"key", character},
                                                      {"text", character},
                                                      {"unmodifiedText", character}});
            browser_->Call("Input.dispatchKeyEvent", {{"type", "keyUp"}, {"key", character}});
            at += length;
        }
    }

    void ClickAtCentre(const std::string& element) {
        const Json centre = Evaluate("(r => ({x: r.x + r.width / 2, y: r.y + r.height / 2}))(" +
                                     element + ".getBoundingClientRect())");
        ClickAt(centre["x"], centre["y"]);
    }

    MessageBoxSeen ReadBox() {
        // The default button is the one with the focus as the box opens.
        return Evaluate(
            "(b => ({title: part(b, 'caption')?.textContent ?? '', "
            "prompt: part(b, 'prompt')?.textContent ?? '', "
            "icon: part(b, 'msgicon')?.dataset.icon ?? '', "
            "buttons: [...b.querySelectorAll('[data-answer]')].map(x => x.textContent), "
            "defaultButton: b.contains(document.activeElement) ? "
            "document.activeElement.textContent : '', help: '', titleBarButtons: null}))(" +
            std::string(openBox) + ")");
    }

    // F1 offers help in a box of its own, if the box has help: it is read and closed.
    void ShowHelp(MessageBoxSeen& seen) {
        PressKey(StrokeOf(Key::F1));
        Settle();
        constexpr std::string_view help =
            "[...document.querySelectorAll('[data-form=\"Help\"]')].find(shown)";
        if (Evaluate(std::string(help) + " === undefined"))
            return;
        seen.help = Evaluate("part(" + std::string(help) + ", 'prompt').textContent");
        ClickAtCentre(std::string(help) + ".querySelector('[data-answer]')");
        WaitFor("the help box to close",
                [&] { return Evaluate(std::string(help) + " === undefined"); });
    }

    std::unique_ptr<Chromium> browser_;
    std::optional<double> stepTime_;
    bool inHook_ = false;
    bool loaded_ = false; // the page last navigated to has its document
    std::vector<std::function<void()>> boxAnswerers_;
};

} // namespace

Driver& Current() {
    static WebDriver driver;
    return driver;
}

} // namespace TestDriver
