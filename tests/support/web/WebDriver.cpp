// The test driver for the web runtime: the program runs in a page of a browser (Browser.h),
// driven from outside as a user would drive it (trusted mouse and keyboard input) and read
// through the browser's driver (the DOM, screenshots, the accessibility tree where the engine's
// driver offers it). The runtime's operation trace comes from the page; the page waits at each
// step until the test's trace hook has run.

#include "Browser.h"
#include "Driver.h"
#include "Phone.h"
#include "ImageSnapshot.h"
#include "TestPrograms.h"
#include "runtime/Session.h"
#include "shell/Program.h"

#include <QImage>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

constexpr KeyStroke endKey{"End", "End", 35, "", "\uE010"};

KeyStroke StrokeOf(Key key) {
    static constexpr KeyStroke strokes[] = {{"Enter", "Enter", 13, "\r", "\uE006"},
                                            {"Escape", "Escape", 27, "", "\uE00C"},
                                            {" ", "Space", 32, " ", " "},
                                            {"Tab", "Tab", 9, "", "\uE004"},
                                            {"F1", "F1", 112, "", "\uE031"}};
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
        browser_->Navigate(AddressOf(program));
        WaitFor("Main to return", [&] {
            return browser_->DocumentLoaded() && (Page("mainReturned") || Page("ended"));
        });
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

    // Painted on the screen: the browser reported (Element Timing) the frame that presented
    // each text and picture of the window, all before the trace step now running was reached
    // (or before now), and the window is still shown. On a busy machine Chromium now and then
    // reports no contentful paint of the page at all, and then nothing it presents; engines
    // without Element Timing report none ever. That is said, and the window is judged by its
    // being shown.
    bool OnScreenAsPainted(std::string_view window) override {
        const double before = stepTime_ ? *stepTime_ : Page("now").get<double>();
        const Json presented = Page("presentedBefore", window, before);
        if (presented.is_string())
            std::cout << browser_->Name() << " " << presented.get<std::string>() << ", so when "
                      << window << " was presented cannot be read: judged by its being shown\n";
        return presented.is_string() ? Page("isShown", window).get<bool>()
                                     : presented.get<bool>();
    }

    // The client area as the screen shows it now.
    // WebKit's screenshot is of the frame last drawn, which may be older than the page.
    Snapshot Grab(std::string_view window) override {
        Redrawn();
        Json area = Page("clientArea", window);
        const double layoutWidth = area["layoutWidth"];
        area.erase("layoutWidth");
        const QImage image = browser_->Screenshot(area);
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

    // Where the browser's driver reads the accessibility tree (Chromium's).
    std::string AccessibilityUnavailableFor(std::string_view, std::string_view) override {
        return browser_->WhyNoAccessibilityTree();
    }

    // From the accessibility tree: the control's own node, or the text it holds where the
    // element itself is only a container.
    Accessible AccessibleOf(std::string_view window, std::string_view control) override {
        static const std::map<std::string, Role> roles{{"StaticText", Role::StaticText},
                                                       {"textbox", Role::EditableText},
                                                       {"button", Role::Button},
                                                       {"menuitem", Role::MenuItem}};
        static const std::set<std::string> containers{"generic", "none", "RootWebArea"};
        const Json nodes =
            browser_->AccessibilityNodesOf("quiblyDriver.control" + Arguments(window, control));
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

    // The text box is an <input>, whose value the browser keeps free of line breaks and, in
    // some engines, shorter than a length of their own (WebKit's: 524,288 characters).
    std::string TextBoxRefuses(std::string_view text) override {
        if (text.find_first_of("\r\n") != std::string_view::npos)
            return "the page's text box, an <input>, holds no line break";
        const std::size_t holds = Page("inputHolds", text.size());
        return holds < text.size() ? browser_->Name() + "'s <input> holds no more than " +
                                         std::to_string(holds) + " characters"
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
        boxAnswerers_.emplace_back([&] {
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
    // The browser, with the page's driver script (and on a phone its phone script, and the
    // phone's screen).
    void Start() {
        if (browser_)
            return;
        screen_ = PhoneNamed();
        std::string pageScript = ScriptFile(WEB_DRIVER_SCRIPT);
        if (screen_)
            pageScript += ";\n" + ScriptFile(WEB_PHONE_SCRIPT);
        browser_ = OpenBrowser(
            Setting("QUIBLY_BROWSER"),
            {desktopWidth, desktopHeight, std::stod(Setting("QUIBLY_WEB_SCALE"))}, pageScript);
        std::cout << "The page runs in " << browser_->Name() << "\n";
        if (!screen_)
            return;
        touchScreen_ = browser_->AsTouchScreen();
        if (touchScreen_ == nullptr)
            throw std::runtime_error(browser_->Name() + " cannot be made a phone (QUIBLY_WEB_DEVICE)");
        touchScreen_->EmulateScreen(*screen_, screen_->height);
    }

    static std::string ScriptFile(const char* path) {
        std::ifstream script(path);
        std::string source{std::istreambuf_iterator<char>(script), {}};
        if (source.empty())
            throw std::runtime_error(std::string("the page's script ") + path + " is missing");
        return source;
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
        while (std::optional<std::string> payload = browser_->NextStep()) {
            const Json step = Json::parse(*payload);
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

    Json Evaluate(const std::string& expression) { return browser_->Evaluate(expression); }

    // Trusted input, as the browser receives it from a mouse and a keyboard, or from a finger on
    // a phone.
    void Gesture(const std::vector<At>& path) {
        if (screen_)
            touchScreen_->Touch(path);
        else
            browser_->Drag(path);
    }

    void ClickAt(const Json& point) { Gesture({point.get<At>()}); }

    void PressKey(const KeyStroke& stroke) { browser_->PressKey(stroke); }

    // One key per character, emoji included.
    void TypeText(std::string_view text) {
        if (screen_) {
            touchScreen_->CommitText(text);
            return;
        }
        for (const std::string character : Page("characters", text))
            browser_->TypeCharacter(character);
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

    // ----- Phones: the browser's device emulation, touch and the on-screen keyboard ---------

public:
    std::optional<Screen> Emulated() override { return screen_; }

    void Turn() override {
        std::swap(screen_->width, screen_->height);
        touchScreen_->EmulateScreen(*screen_, screen_->height);
        Redrawn();
    }

    void ShowKeyboard(KeyboardWay way, double share) override {
        const int covered = int(std::lround(screen_->height * share));
        if (way == KeyboardWay::ShrinksLayout)
            touchScreen_->EmulateScreen(*screen_, screen_->height - covered);
        else
            Evaluate("quiblyPhone.coverVisualViewport(" + std::to_string(covered) + ")");
        Redrawn();
    }

    void HideKeyboard() override {
        touchScreen_->EmulateScreen(*screen_, screen_->height);
        Evaluate("quiblyPhone.coverVisualViewport(0)");
        Redrawn();
    }

    void DragTitleBarTo(std::string_view window, double x, double y) override {
        const At from = Evaluate("quiblyPhone.titleBarCentre" + Arguments(window)).get<At>();
        touchScreen_->Touch({from, {(from.x + x) / 2, (from.y + y) / 2}, {x, y}});
        Settle();
        Redrawn();
    }

    void Tap(std::string_view window, std::string_view part) override {
        Pump();
        touchScreen_->Touch({Evaluate("quiblyPhone.centre" + Arguments(window, part)).get<At>()});
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
        std::string path = Setting("QUIBLY_WEB_SHOTS") + "/" + std::string(name) + ".png";
        std::filesystem::create_directories(Setting("QUIBLY_WEB_SHOTS"));
        if (!browser_->Screenshot(nullptr).save(QString::fromStdString(path), "PNG"))
            throw std::runtime_error("Screenshot: cannot write " + path);
        return path;
    }

private:
    // The screen QUIBLY_WEB_DEVICE names; nothing where it names none.
    static std::optional<Screen> PhoneNamed() {
        const char* device = std::getenv("QUIBLY_WEB_DEVICE");
        if (device == nullptr || *device == '\0')
            return std::nullopt;
        Screen screen;
        if (std::sscanf(device, "%dx%d@%lf", &screen.width, &screen.height, &screen.pixelRatio) != 3)
            throw std::runtime_error(std::string("QUIBLY_WEB_DEVICE is not WIDTHxHEIGHT@RATIO: ") +
                                     device);
        return screen;
    }

    // Once the page has drawn a frame after what it last did (a resize, input).
    void Redrawn() {
        Evaluate("new Promise(done => requestAnimationFrame(() => requestAnimationFrame(done)))");
        Pump();
    }

    std::optional<Screen> screen_; // the phone's, where the page runs as on one
    std::unique_ptr<Browser> browser_;
    TouchScreen* touchScreen_ = nullptr; // the browser as a phone, where it runs as one
    std::optional<double> stepTime_;
    bool inHook_ = false;
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
