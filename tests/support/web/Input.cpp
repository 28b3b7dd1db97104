#include "Input.h"

namespace TestDriver::web {

KeyStroke StrokeOf(Key key) {
    switch (key) {
    case Key::Return:
        return {"Enter", "Enter", 13, "\r"};
    case Key::Escape:
        return {"Escape", "Escape", 27};
    case Key::Space:
        return {" ", "Space", 32, " "};
    case Key::Tab:
        return {"Tab", "Tab", 9};
    case Key::F1:
        return {"F1", "F1", 112};
    }
    return {"", "", 0};
}

void Input::Mouse(const char* type, double x, double y, const char* button, int buttons) {
    browser_.Call("Input.dispatchMouseEvent", {{"type", type},
                                               {"x", x},
                                               {"y", y},
                                               {"button", button},
                                               {"buttons", buttons},
                                               {"clickCount", 1}});
}

void Input::Click(double x, double y) {
    Mouse("mouseMoved", x, y, "none", 0);
    Mouse("mousePressed", x, y, "left", 1);
    Mouse("mouseReleased", x, y, "left", 0);
}

void Input::Drag(double fromX, double fromY, double toX, double toY) {
    Mouse("mouseMoved", fromX, fromY, "none", 0);
    Mouse("mousePressed", fromX, fromY, "left", 1);
    Mouse("mouseMoved", (fromX + toX) / 2, (fromY + toY) / 2, "left", 1);
    Mouse("mouseMoved", toX, toY, "left", 1);
    Mouse("mouseReleased", toX, toY, "left", 0);
}

void Input::Press(const KeyStroke& stroke) {
    const bool types = *stroke.text != '\0';
    Json down{{"type", types ? "keyDown" : "rawKeyDown"},
              {"key", stroke.key},
              {"code", stroke.code},
              {"windowsVirtualKeyCode", stroke.keyCode}};
    if (types)
        down["text"] = down["unmodifiedText"] = stroke.text;
    browser_.Call("Input.dispatchKeyEvent", down);
    browser_.Call("Input.dispatchKeyEvent", {{"type", "keyUp"},
                                             {"key", stroke.key},
                                             {"code", stroke.code},
                                             {"windowsVirtualKeyCode", stroke.keyCode}});
}

void Input::Type(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        // The length of a UTF-8 sequence from its lead byte.
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string character(text.substr(at, length));
        browser_.Call("Input.dispatchKeyEvent", {{"type", "keyDown"},
                                                 {"key", character},
                                                 {"text", character},
                                                 {"unmodifiedText", character}});
        browser_.Call("Input.dispatchKeyEvent", {{"type", "keyUp"}, {"key", character}});
        at += length;
    }
}

} // namespace TestDriver::web
