#pragma once

// The browser the web test driver works through, whichever engine it is and however it is
// spoken to: one page, opened at the viewport given with the driver's page script in every
// document before the page's own scripts, into which the driver navigates, evaluates script,
// sends trusted mouse and keyboard input and takes screenshots, and from which it hears the
// runtime's trace steps and the errors the page threw.

#include "Phone.h"

#include <QImage>
#include <deque>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A value the page may leave null.
template <class T> struct nlohmann::adl_serializer<std::optional<T>> {
    static void to_json(json& out, const std::optional<T>& value) {
        out = value ? json(*value) : json(nullptr);
    }
    static void from_json(const json& in, std::optional<T>& value) {
        value = in.is_null() ? std::nullopt : std::optional<T>(in.get<T>());
    }
};

namespace TestDriver::web {

using Json = nlohmann::json;

// Points the page gives, in CSS pixels of its viewport.
struct At {
    double x = 0;
    double y = 0;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(At, x, y)

// A key as the keyboard reports it: its name, its place, its Windows key code, the text it
// types, if any, and the character WebDriver names it by.
struct KeyStroke {
    const char* key;
    const char* code;
    int keyCode;
    const char* text;
    const char* webDriverKey;
};

// The page's size in CSS pixels and its device pixels per CSS pixel.
struct Viewport {
    int width = 0;
    int height = 0;
    double scale = 1;
};

// A browser that stands in for a phone or tablet (Chromium's device emulation).
class TouchScreen {
public:
    virtual ~TouchScreen() = default;
    // The page as on the screen, touched by fingers, its layout viewport `layoutHeight` high
    // (less than the screen where an on-screen keyboard takes part of it).
    virtual void EmulateScreen(const Screen& screen, int layoutHeight) = 0;
    // A finger down at the path's first point, moved along it and lifted at its last.
    virtual void Touch(const std::vector<At>& path) = 0;
    // As an on-screen keyboard enters text: committed by its input method, not typed by keys.
    virtual void CommitText(std::string_view text) = 0;
};

class Browser {
public:
    virtual ~Browser() = default;

    // The engine and its version, as the browser names them.
    virtual std::string Name() const = 0;
    // Loads the address into the page; until the new document exists, DocumentLoaded is false.
    virtual void Navigate(const std::string& address) = 0;
    virtual bool DocumentLoaded() = 0;
    // What the expression yields, as JSON; a promise is waited for. What it throws is thrown.
    virtual Json Evaluate(const std::string& expression) = 0;
    // What the page passed to quiblyDriverStep since, oldest first; an error the page threw
    // (and caught nowhere) is thrown here.
    virtual std::optional<std::string> NextStep() = 0;

    // The left mouse button pressed at the path's first point, moved along it and released at
    // its last.
    virtual void Drag(const std::vector<At>& path) = 0;
    virtual void PressKey(const KeyStroke& stroke) = 0;
    // A key that types one character, emoji included.
    virtual void TypeCharacter(const std::string& character) = 0;
    // The area of the viewport (CSS pixels; null for all of it) as the screen shows it, in
    // device pixels.
    virtual QImage Screenshot(const Json& area) = 0;
    // The browser as a phone, where its driver can make it one; null where not.
    virtual TouchScreen* AsTouchScreen() = 0;

    // Why the accessibility tree cannot be read here; empty where it can.
    virtual std::string WhyNoAccessibilityTree() const = 0;
    // The accessibility tree's nodes of the element the expression yields, and of its relatives.
    virtual Json AccessibilityNodesOf(const std::string& element) = 0;
};

// A browser spoken to over W3C WebDriver, BiDi or classic: input is WebDriver's actions, a key
// by the character WebDriver names it by; the accessibility tree is out of reach; no phone.
class WebDriverBrowser : public Browser {
public:
    void Drag(const std::vector<At>& path) override;
    void PressKey(const KeyStroke& stroke) override { TypeCharacter(stroke.webDriverKey); }
    void TypeCharacter(const std::string& character) override;
    TouchScreen* AsTouchScreen() override { return nullptr; }
    std::string WhyNoAccessibilityTree() const override;
    Json AccessibilityNodesOf(const std::string& element) override;

protected:
    // The input sources' actions, performed in the page.
    virtual void PerformActions(const Json& sources) = 0;
    // How the driver is spoken to, as a reason names it.
    virtual std::string Protocol() const = 0;
    // The oldest of the steps heard and not yet taken.
    std::optional<std::string> TakeStep();

    std::deque<std::string> steps_; // heard from the page, oldest first
};

// The browser at `address`: the folder of headless Chromium's DevTools pipes, a WebDriver BiDi
// WebSocket (ws://, Firefox) or a classic WebDriver server (http://, WebKitGTK).
std::unique_ptr<Browser> OpenBrowser(const std::string& address, Viewport viewport,
                                     const std::string& pageScript);

std::unique_ptr<Browser> OpenChromium(const std::filesystem::path& session, Viewport viewport,
                                      const std::string& pageScript);
std::unique_ptr<Browser> OpenBidi(const std::string& address, Viewport viewport,
                                  const std::string& pageScript);
std::unique_ptr<Browser> OpenClassicWebDriver(const std::string& address, Viewport viewport);

// The picture a browser's driver sends: a PNG file, in base64.
QImage PngOf(const std::string& base64);


} // namespace TestDriver::web
