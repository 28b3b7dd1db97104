// The test driver for the web runtime: the program runs in a page of headless Chromium, driven
// from outside as a user would drive it (trusted mouse and keyboard input) and read through the
// DevTools protocol (the DOM, screenshots, the accessibility tree). The runtime's operation
// trace comes from the page's console; the page waits at each step until the test's trace hook
// has run.

#include "Chromium.h"
#include "Input.h"
#include "Page.h"
#include "SiteServer.h"
#include "TestPrograms.h"
#include "runtime/Session.h"
#include "shell/Program.h"

#include <QImage>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
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

class WebDriver final : public Driver {
public:
    int Run(const FormsRuntime::Program& program, const std::function<void()>& scenario) override {
        Start();
        loaded_ = false;
        browser_->Call("Page.navigate", {{"url", AddressOf(program)}});
        WaitFor("Main to return", [&] {
            return loaded_ && (page_->Evaluate("document.documentElement.hasAttribute("
                                               "'data-main-returned')") ||
                               Ended());
        });
        if (!Ended())
            scenario();
        const std::vector<std::string> left = page_->Evaluate(
            "[...document.querySelectorAll('[data-form]')].filter(shown).map(w => w.dataset.form)");
        for (const std::string& window : left)
            if (!Ended())
                Close(window);
        WaitFor("the page to say the program has ended", [&] { return Ended(); });
        return std::stoi(
            page_
                ->Evaluate(
                    "document.querySelector('[data-part=\"ended\"]').dataset.exitStatus ?? ''")
                .get<std::string>());
    }

    // The page paints in the standard colour scheme of the desktop it stands in for.
    Rgb SystemColour(int number) override {
        static const std::map<int, Rgb> scheme{{5, {255, 255, 255}},
                                               {8, {0, 0, 0}},
                                               {14, {255, 255, 255}},
                                               {15, {192, 192, 192}},
                                               {18, {0, 0, 0}}};
        return scheme.at(number);
    }

    // As the site holds it: the browser decodes the same file.
    std::optional<Rgb> PicturePixel(std::string_view picture, Point point) override {
        const QImage image(QString::fromStdString(Setting("QUIBLY_WEB_BUILD") + "/site/assets/" +
                                                  std::string(picture)));
        if (image.isNull())
            throw std::runtime_error("the site has no picture " + std::string(picture));
        const QColor colour = image.pixelColor(point.x, point.y);
        if (colour.alpha() == 0)
            return std::nullopt;
        return Rgb{colour.red(), colour.green(), colour.blue()};
    }

    int CountShown(std::string_view window) override {
        Pump();
        return page_->Evaluate("[...document.querySelectorAll('[data-form=" + Quoted(window) +
                               "]')].filter(shown).length");
    }

    WindowLook Look(std::string_view window) override { return page_->Look(window); }

    // By the window's bottom-right corner, dragged with the mouse.
    void Resize(std::string_view window, int clientWidth, int clientHeight) override {
        const Json corner = page_->Evaluate(
            "(() => { const w = win(" + Quoted(window) +
            "), c = part(w, 'client'); "
            "const r = w.querySelector('[data-part=\"resize\"][data-edge=\"se\"]')"
            ".getBoundingClientRect(); return {x: r.x + r.width / 2, y: r.y + r.height / 2, "
            "width: c.offsetWidth, height: c.offsetHeight}; })()");
        const double x = corner["x"], y = corner["y"];
        input_->Drag(x, y, x + clientWidth - corner["width"].get<int>(),
                     y + clientHeight - corner["height"].get<int>());
        Settle();
    }

    // Painted on the screen: Chromium reported (Element Timing) the frame that presented each
    // text and picture of the window, all before the trace step now running was reached (or
    // before now), and the window is still shown. On a busy machine Chromium now and then
    // reports no contentful paint of the page at all, and then nothing it presents; that is
    // said, and the window is judged by its being shown.
    bool OnScreenAsPainted(std::string_view window) override {
        const double before =
            stepTime_ ? *stepTime_ : page_->Evaluate("performance.now()").get<double>();
        const std::string shown = "shown(win(" + Quoted(window) + "))";
        const Json presented =
            page_->Evaluate("new Promise(done => { setTimeout(() => done([]), 2000); "
                            "new PerformanceObserver(list => done(list.getEntries()"
                            ".filter(e => e.element?.closest('[data-form=" +
                            Quoted(window) +
                            "]')).map(e => e.renderTime))).observe("
                            "{type: 'element', buffered: true}); })");
        if (presented.empty() &&
            page_->Evaluate("performance.getEntriesByName('first-contentful-paint').length == 0")) {
            std::cout << "Chromium reported no contentful paint of the page, so when " << window
                      << " was presented cannot be read: judged by its being shown\n";
            return page_->Evaluate(shown);
        }
        bool presentedBefore = !presented.empty();
        for (const double time : presented)
            presentedBefore = presentedBefore && time <= before;
        return presentedBefore && page_->Evaluate(shown);
    }

    Snapshot Grab(std::string_view window) override {
        Pump();
        return page_->Screenshot(window);
    }

    Rect Geometry(std::string_view window, std::string_view control) override {
        return page_->Box(window, control);
    }

    std::string Text(std::string_view window, std::string_view control) override {
        Pump();
        return page_->Evaluate(
            "(e => e instanceof HTMLInputElement ? e.value : e.textContent)(ctl(" + Quoted(window) +
            ", " + Quoted(control) + "))");
    }

    Font FontOf(std::string_view window, std::string_view control) override {
        return page_->FontOf(window, control);
    }

    Accessible AccessibleOf(std::string_view window, std::string_view control) override {
        return page_->AccessibleOf(window, control);
    }

    std::string AccessibilityUnavailable() override { return {}; }

    // The text box is an <input>, whose value the browser keeps free of line breaks.
    std::string TextBoxRefuses(std::string_view text) override {
        return text.find_first_of("\r\n") != std::string_view::npos
                   ? "the page's text box, an <input>, holds no line break"
                   : "";
    }

    std::vector<std::string> Announcements() override {
        Pump();
        return page_->Evaluate("window.quiblyDriverAnnounced.splice(0)");
    }

    std::string ControlAt(std::string_view window, Point point) override {
        return page_->Evaluate(
            "(() => { const c = client(" + Quoted(window) + ").getBoundingClientRect(); " +
            "const hit = document.elementFromPoint(c.x + " + std::to_string(point.x) + ", c.y + " +
            std::to_string(point.y) + ")?.closest('[data-control]'); " + "return hit && win(" +
            Quoted(window) + ").contains(hit) ? hit.dataset.control : ''; })()");
    }

    std::string Focused(std::string_view window) override {
        Pump();
        return page_->Evaluate(
            "(e => e && win(" + Quoted(window) +
            ").contains(e) ? e.closest('[data-control]')?.dataset.control ?? '' : '')"
            "(document.activeElement)");
    }

    // At the control's centre; a menu item once its menu is open. A window that is loaded but
    // not shown takes no mouse input: its button is clicked as the element's own click().
    void Click(std::string_view window, std::string_view control) override {
        Pump();
        const std::string element = ControlElement(window, control);
        if (!page_->Evaluate("shown(win(" + Quoted(window) + "))")) {
            page_->Evaluate(element + ".click()");
        } else {
            if (!page_->Evaluate("shown(" + element + ")")) // a menu item: open its menu first
                ClickAtCentre("ctl(" + Quoted(window) + ", " + element +
                              ".closest('[data-part=\"menu\"]').dataset.for)");
            ClickAtCentre(element);
        }
        Settle();
    }

    // As Qt's setText and Win32's SetWindowText: the text box's value, at once.
    void Paste(std::string_view window, std::string_view control, std::string_view text) override {
        Pump();
        page_->Evaluate(ControlElement(window, control) + ".value = " + Quoted(text));
    }

    void Type(std::string_view window, std::string_view control, std::string_view text) override {
        if (Focused(window) != control)
            Click(window, control);
        input_->Press(endKey);
        input_->Type(text);
        Settle();
    }

    void Press(std::string_view, Key key) override {
        Pump();
        input_->Press(StrokeOf(key));
        Settle();
    }

    MessageBoxSeen AnswerMessageBox(Answer answer, const std::function<void()>& action) override {
        MessageBoxSeen seen;
        bool answered = false;
        boxAnswerers_.push_back([&] {
            seen = ReadBox();
            ShowHelp(seen);
            if (answer == Answer::Yes || answer == Answer::No)
                ClickAtCentre(std::string(openBox) + ".querySelector('[data-answer=" +
                              (answer == Answer::Yes ? "\"Yes\"" : "\"No\"") + "]')");
            else
                input_->Press(StrokeOf(answer == Answer::Return ? Key::Return : Key::Escape));
            answered = true;
        });
        action();
        WaitFor("a message box", [&] { return answered; });
        boxAnswerers_.pop_back();
        Settle();
        return seen;
    }

    bool Close(std::string_view window) override {
        bool asked = false;
        boxAnswerers_.push_back([&] {
            ClickAtCentre(std::string(openBox) + ".querySelector('[data-answer=\"No\"]')");
            asked = true;
        });
        if (!page_->Evaluate("!!part(win(" + Quoted(window) + "), 'close')"))
            throw std::logic_error("Close: " + std::string(window) +
                                   " has no close box, and a page offers no other way to close it");
        ClickAtCentre("part(win(" + Quoted(window) + "), 'close')");
        WaitFor("the window to close or ask", [&] {
            return asked || Ended() ||
                   page_->Evaluate("![...document.querySelectorAll("
                                   "'[data-form=" +
                                   Quoted(window) + "]')].some(shown)");
        });
        boxAnswerers_.pop_back();
        return asked;
    }

private:
    static constexpr std::string_view openBox =
        "[...document.querySelectorAll('[data-form=\"MsgBox\"], [data-form=\"RunTimeError\"]')]"
        ".find(shown)";

    void Start() {
        if (browser_)
            return;
        // Quibly's site and the test site, side by side in the web build.
        const std::filesystem::path build = Setting("QUIBLY_WEB_BUILD");
        for (const char* site : {"site", "test-site"})
            if (!std::filesystem::exists(build / site / "index.html"))
                throw std::runtime_error("no web site to test in " + (build / site).string() +
                                         ": build the web preset first (./dev web)");
        const std::filesystem::path work = Setting("QUIBLY_WEB_PROFILE");
        server_ = std::make_unique<SiteServer>(build);
        browser_ = std::make_unique<Chromium>(work / "profile", work / "chromium.log");
        page_ = std::make_unique<Page>(*browser_);
        input_ = std::make_unique<Input>(*browser_);
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
            return server_->Address() + "site/index.html";
        const std::string_view name = TestPrograms::NameOf(program);
        if (name.empty())
            throw std::runtime_error(
                "no web site holds the program titled " +
                std::string(program.app.Title.begin(), program.app.Title.end()));
        return server_->Address() + "test-site/index.html?program=" + std::string(name);
    }

    bool Ended() {
        return page_->Evaluate(
            "!!document.querySelector('[data-part=\"ended\"]')?.checkVisibility()");
    }

    // Lets the page finish what the last input started, then handles what it reported.
    void Settle() {
        page_->Evaluate("new Promise(done => setTimeout(done, 0))");
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
            page_->Evaluate("quiblyTraceResume()");
        }
        if (!boxAnswerers_.empty() && boxAnswerers_.back() &&
            page_->Evaluate(std::string(openBox) + " !== undefined"))
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

    void ClickAtCentre(const std::string& element) {
        const Json centre =
            page_->Evaluate("(r => ({x: r.x + r.width / 2, y: r.y + r.height / 2}))(" + element +
                            ".getBoundingClientRect())");
        input_->Click(centre["x"], centre["y"]);
    }

    MessageBoxSeen ReadBox() {
        const Json box = page_->Evaluate(
            "(b => ({title: part(b, 'caption')?.textContent ?? '', "
            "prompt: part(b, 'prompt')?.textContent ?? '', "
            "icon: part(b, 'msgicon')?.dataset.icon ?? '', "
            "buttons: [...b.querySelectorAll('[data-answer]')].map(x => x.textContent), "
            "focused: b.contains(document.activeElement) ? "
            "document.activeElement.textContent : ''}))(" +
            std::string(openBox) + ")");
        return {box["title"], box["prompt"], box["icon"], box["buttons"], box["focused"], {}};
    }

    // F1 offers help in a box of its own, if the box has help: it is read and closed.
    void ShowHelp(MessageBoxSeen& seen) {
        input_->Press(StrokeOf(Key::F1));
        Settle();
        constexpr std::string_view help =
            "[...document.querySelectorAll('[data-form=\"Help\"]')].find(shown)";
        if (page_->Evaluate(std::string(help) + " === undefined"))
            return;
        seen.help = page_->Evaluate("part(" + std::string(help) + ", 'prompt').textContent");
        ClickAtCentre(std::string(help) + ".querySelector('[data-answer]')");
        WaitFor("the help box to close",
                [&] { return page_->Evaluate(std::string(help) + " === undefined"); });
    }

    std::unique_ptr<SiteServer> server_;
    std::unique_ptr<Chromium> browser_;
    std::unique_ptr<Page> page_;
    std::unique_ptr<Input> input_;
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
