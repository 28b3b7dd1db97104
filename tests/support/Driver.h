#pragma once

// What the window tests may do with a running program, whatever toolkit the runtime stands
// on: find a window or control by name, read what it shows (geometry, text, font, pixels,
// what a screen reader is told), and act as a user does (click, type, press keys, answer
// the message box, close the window). Each runtime backend implements this once; the
// scenarios are written against it alone.

#include "runtime/Runtime.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace TestDriver {

// Device-independent pixels in the window's client area (15 twips each).
struct Point {
    int x = 0;
    int y = 0;
};
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The font a control asks for; the pixel height is at 96 dots per inch.
struct Font {
    std::string face;
    int pixelHeight = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    friend bool operator==(const Font&, const Font&) = default;
};

// The frame of a top-level window as the window system shows it.
struct WindowLook {
    std::string caption;
    bool titleBar = false;
    bool minimizeButton = false;
    bool maximizeButton = false;
    bool resizable = false;
    bool taskBarButton = false;
    // On the screen's work area; nothing where the window system does not tell a program where
    // its windows are (Wayland).
    std::optional<bool> centred;
    int clientWidth = 0;
    int clientHeight = 0;
    int iconSize = 0; // 0: no icon of its own
};

// What a window looked like at one moment, in device pixels.
struct Snapshot {
    int width = 0;
    int height = 0;
    double scale = 1; // device pixels per device-independent pixel
    std::vector<Rgb> pixels;

    // The colour at a device-independent point.
    Rgb At(Point point) const;
    // Whether some device pixel inside `area` has exactly `colour`.
    bool Shows(Rect area, Rgb colour) const;
};

// Readable values in failure messages.
std::ostream& operator<<(std::ostream& out, const Rect& rect);
std::ostream& operator<<(std::ostream& out, const Rgb& colour);
std::ostream& operator<<(std::ostream& out, const Font& font);

enum class Key : std::uint8_t { Return, Escape, Space, Tab, F1 };
enum class Answer : std::uint8_t { Yes, No, Return, Escape };
std::ostream& operator<<(std::ostream& out, Key key);
std::ostream& operator<<(std::ostream& out, Answer answer);
enum class Role : std::uint8_t { StaticText, EditableText, Button, MenuItem, Other };

struct Accessible {
    Role role = Role::Other;
    std::string name;
    Rect place; // in the window's client area
};

// An object of the program's accessibility tree as a screen reader in another process reads
// it: its depth (0 the application, 1 its windows), role as that reader names it (on Linux
// AT-SPI's: "frame", "alert", "push button", ...) and name.
struct SeenFromOutside {
    int depth = 0;
    std::string role;
    std::string name;
    friend bool operator==(const SeenFromOutside&, const SeenFromOutside&) = default;
};
// The objects under the window at `window`, which is the window's own entry in `tree`.
std::vector<SeenFromOutside> Under(const std::vector<SeenFromOutside>& tree,
                                   std::vector<SeenFromOutside>::const_iterator window);
std::ostream& operator<<(std::ostream& out, const SeenFromOutside& seen);

// A message box as it was answered.
struct MessageBoxSeen {
    std::string title;
    std::string prompt;
    std::string icon; // "question", "information", "warning", "critical" or ""
    std::vector<std::string> buttons;
    std::string defaultButton;
    std::string help; // what F1 in the box offered
    // The buttons of a title bar the box draws itself ("minimize", "maximize", "close");
    // nothing where the window system draws it.
    std::optional<std::vector<std::string>> titleBarButtons = std::nullopt;
    // The program's accessibility tree while the box was open, read from outside (see
    // Driver::TreeFromOutside).
    std::optional<std::vector<SeenFromOutside>> treeFromOutside = std::nullopt;
};

class Driver {
public:
    virtual ~Driver() = default;

    // Runs the program as its entry point does; `scenario` acts once Main has returned.
    // Windows still loaded afterwards are closed. Returns the exit status.
    virtual int Run(const FormsRuntime::Program& program,
                    const std::function<void()>& scenario) = 0;
    // The window system's colour number n (5 window, 8 window text, 14 highlighted text,
    // 15 button face, 18 button text) in the standard colour scheme the tests run with.
    Rgb SystemColour(int number);
    // A pixel of one of the program's pictures ("backdrop.bmp", "splash.gif"); nothing where
    // the picture is transparent.
    std::optional<Rgb> PicturePixel(std::string_view picture, Point point);

    virtual int CountShown(std::string_view window) = 0;
    virtual WindowLook Look(std::string_view window) = 0;
    virtual void Resize(std::string_view window, int clientWidth, int clientHeight) = 0;
    // Whether the screen shows the window exactly as it paints itself, without any event
    // having been processed.
    virtual bool OnScreenAsPainted(std::string_view window) = 0;
    // Clicks and double-clicks the window's title bar everywhere but on its buttons, as a user
    // might; whether that maximized the window or changed its size. Nothing where the title bar
    // is the window system's own and out of the driver's reach.
    virtual std::optional<bool> TitleBarMaximizes(std::string_view) { return std::nullopt; }
    virtual Snapshot Grab(std::string_view window) = 0;

    // Position and size in the client area of the window.
    virtual Rect Geometry(std::string_view window, std::string_view control) = 0;
    // A label's caption, a text box's text, a button's or menu item's caption (a menu item's
    // shortcut key follows a tab).
    virtual std::string Text(std::string_view window, std::string_view control) = 0;
    virtual Font FontOf(std::string_view window, std::string_view control) = 0;
    virtual Accessible AccessibleOf(std::string_view window, std::string_view control) = 0;
    // Why what a screen reader is told of this one control cannot be read here; empty where
    // it can, as everywhere on Qt.
    virtual std::string AccessibilityUnavailableFor(std::string_view, std::string_view) {
        return {};
    }
    // The program's whole accessibility tree, depth first, as a screen reader in another process
    // reads it; nothing where no such reader runs beside the tests.
    virtual std::optional<std::vector<SeenFromOutside>> TreeFromOutside() { return std::nullopt; }
    // Presses a button of the title bar the window draws itself, by the name a screen reader
    // reads ("Minimize", "Close"), through its accessible action as such a reader does; whether
    // the window then asked the window system to minimize it. Nothing where the window system
    // draws the title bar or no such reader runs beside the tests.
    virtual std::optional<bool> PressOwnTitleBarButton(std::string_view, std::string_view) {
        return std::nullopt;
    }
    // Why a text box cannot hold `text` as it is; empty where it can, as on the desktops.
    virtual std::string TextBoxRefuses(std::string_view) { return {}; }
    // What screen readers were asked to announce since the last call, oldest first: each
    // label caption announced, as its text. Reading them forgets them.
    virtual std::vector<std::string> Announcements() = 0;
    // The control that a click at this point would reach.
    virtual std::string ControlAt(std::string_view window, Point point) = 0;
    virtual std::string Focused(std::string_view window) = 0;

    // A mouse click on a control, or choosing a menu item.
    virtual void Click(std::string_view window, std::string_view control) = 0;
    // Replaces a text box's text at once, as pasting over all of it does (leaving no undo
    // history behind).
    virtual void Paste(std::string_view window, std::string_view control,
                       std::string_view text) = 0;
    // Keystrokes at the end of a text box's text.
    virtual void Type(std::string_view window, std::string_view control, std::string_view text) = 0;
    virtual void Press(std::string_view window, Key key) = 0;
    // Runs `action`, answering the message box it opens: F1 first, then `answer`. The box as
    // it was seen; empty if the action opened none.
    virtual MessageBoxSeen AnswerMessageBox(Answer answer, const std::function<void()>& action) = 0;
    // Closes the window as the window system's close box does; true if a message box was
    // shown on the way (it was answered No).
    bool Close(std::string_view window);

protected:
    // Runs the scenario from a callback of the toolkit's: no exception may cross the toolkit's
    // frames, so what the scenario throws fails the test here.
    static void RunScenario(const std::function<void()>& scenario);
    // Presses the window's close box; returns once the window has closed, or a box that opened
    // on the way has been answered.
    virtual void PressCloseBox(std::string_view window) = 0;
    // The grey of the button face, which differs between the desktops' standard schemes.
    virtual Rgb ButtonFace() = 0;
    // A pixel of a picture as its file holds it, and its alpha.
    virtual std::pair<Rgb, int> PictureSample(std::string_view picture, Point point) = 0;
};

// A caption as shown: access-key markers dropped, "&&" shown as "&".
std::string WithoutAccessKeys(std::string_view caption);

// The driver of the backend this test program is built with.
Driver& Current();

} // namespace TestDriver
