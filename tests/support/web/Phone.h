#pragma once

// What the web driver does beyond every edition's driver when it runs the page as a phone or
// tablet would (Chromium's device emulation, touch input, text as an on-screen keyboard enters
// it): turning the screen, bringing the on-screen keyboard up either way browsers report it,
// dragging by finger, and reading what the user sees. QUIBLY_WEB_DEVICE names the screen
// ("390x844@3": CSS pixels wide and high, device pixels per CSS pixel); without it the page is
// a desktop's and there is no phone.

#include <optional>
#include <string>
#include <string_view>

namespace TestDriver::web {

struct Screen {
    int width = 0;
    int height = 0;
    double pixelRatio = 1;
};

// How the browser tells the page of the on-screen keyboard: by making the layout viewport
// shorter (interactive-widget=resizes-content) or only the visual viewport (Chrome on Android,
// Safari on iOS by default).
enum class KeyboardWay { ShrinksLayout, ShrinksVisualViewport };

// A part of a window as the user sees it: wholly inside what the screen shows, and not
// covered by anything else (the task bar, the keyboard, another window) at its centre.
struct Sight {
    bool inView = false;
    bool uncovered = false;
};

class Phone {
public:
    virtual ~Phone() = default;
    // The screen now, turned or not; nothing where the page runs as on a desktop.
    virtual std::optional<Screen> Emulated() = 0;
    // Portrait to landscape and back, as the page sees a phone turned.
    virtual void Turn() = 0;
    // The keyboard covers the lower `share` of the screen, and goes again.
    virtual void ShowKeyboard(KeyboardWay way, double share) = 0;
    virtual void HideKeyboard() = 0;
    // A finger on the window's title bar (the middle of what the screen shows of it), moved to
    // the point (x, y) of the screen, in CSS pixels; done once the screen shows the window
    // where the finger left it, as a user sees it before touching it again.
    virtual void DragTitleBarTo(std::string_view window, double x, double y) = 0;
    // A finger's tap at the centre of the part (named as for SightOf).
    virtual void Tap(std::string_view window, std::string_view part) = 0;
    // `part` is a control's name, a part of the window's frame ("titlebar", "icon",
    // "minimize", "close"), "taskbar" for its task-bar button, or a box's button by caption.
    virtual Sight SightOf(std::string_view window, std::string_view part) = 0;
    // Device pixels per pixel of the window's layout.
    virtual double DevicePixelsPerPixel(std::string_view window) = 0;
    // The whole screen as the user sees it, as <name>.png in QUIBLY_WEB_SHOTS.
    virtual std::string Screenshot(std::string_view name) = 0;
};

// The web driver's phone, for the scenarios that only a phone has.
Phone& CurrentPhone();

} // namespace TestDriver::web
