#pragma once

// Trusted input, as the browser receives it from a mouse and a keyboard: the page cannot tell
// it from a user's.

#include "Chromium.h"
#include "Driver.h"

#include <string_view>

namespace TestDriver::web {

// A key as the keyboard reports it: its name, its place, its Windows key code and the text
// it types, if any.
struct KeyStroke {
    const char* key;
    const char* code;
    int keyCode;
    const char* text = "";
};

KeyStroke StrokeOf(Key key);
inline constexpr KeyStroke endKey{"End", "End", 35};

class Input {
public:
    explicit Input(Chromium& browser) : browser_(browser) {}

    // Points are CSS pixels in the page's viewport.
    void Click(double x, double y);
    // The left button pressed at one point, moved to the other and released there.
    void Drag(double fromX, double fromY, double toX, double toY);
    void Press(const KeyStroke& stroke);
    // One key per character, emoji included.
    void Type(std::string_view text);

private:
    void Mouse(const char* type, double x, double y, const char* button, int buttons);

    Chromium& browser_;
};

} // namespace TestDriver::web
