#pragma once

// Reading the page as the driver's contract with the web runtime describes it: windows are
// elements marked `data-form`, their parts `data-part`, their controls `data-control`; boxes
// are in CSS pixels, which are device-independent pixels.

#include "Chromium.h"
#include "Driver.h"

#include <string>
#include <string_view>

namespace TestDriver::web {

class Page {
public:
    explicit Page(Chromium& browser) : browser_(browser) {}

    // Evaluates a JavaScript expression, after the helpers below, and returns its value; a
    // promise is waited for. The helpers: win(name), the shown window of that name, else the
    // loaded hidden one; part(window, name); client(name); ctl(window, control); box(element,
    // origin), its rounded box relative to another element's top-left corner; shown(element).
    Json Evaluate(std::string_view expression);
    // As Evaluate, and the element it yields as a remote object id.
    std::string ElementId(std::string_view expression);

    // A window's client area as the screen shows it now.
    Snapshot Screenshot(std::string_view window);

    // A control's box in its window's client area.
    Rect Box(std::string_view window, std::string_view control);
    WindowLook Look(std::string_view window);
    // The computed font of a control's element.
    Font FontOf(std::string_view window, std::string_view control);
    // From Chromium's accessibility tree: the control's own node, or the text it holds where
    // the element itself is only a container.
    Accessible AccessibleOf(std::string_view window, std::string_view control);

private:
    Json Remote(std::string_view expression, bool byValue);

    Chromium& browser_;
};

// A text as a JavaScript string literal.
std::string Quoted(std::string_view text);
// The expression that finds a control's element in the page.
std::string ControlElement(std::string_view window, std::string_view control);

} // namespace TestDriver::web
