#pragma once

#include "runtime/win32/Win32.h"

#include <oleacc.h>
#include <optional>
#include <vector>

namespace FormsRuntime::win32 {

class FormWindow;

// The controls a screen reader finds in a container (none: the window's client area): its child
// windows and labels, in reading order, top to bottom, then left to right. Their child
// identifiers count from 1 in this order.
std::vector<std::size_t> ReadingOrder(const FormWindow& form, std::optional<std::size_t> container);

// A child identifier, role or state as the accessibility interface passes it.
VARIANT IntVariant(LONG value);

// COM objects go in their own Release, never through an interface's destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// A container's client area as screen readers see it: the system's object for the area itself
// (its name, parent, state), with the container's controls as children, child windows by
// their own objects and labels as static text named by their current captions, at their place
// on the screen.
class ClientAccessible : public IAccessible, public IOleWindow {
public:
    // With one reference, the caller's; it takes over the one of `standard`, the system's
    // object for the area.
    static ClientAccessible* Create(const FormWindow& form, HWND container, IAccessible* standard);
    // The window is going: from now on the object answers only for the area itself, through
    // the system's object, which knows the window is gone.
    virtual void Disconnect() = 0;

protected:
    ~ClientAccessible() = default;
};

#pragma GCC diagnostic pop

} // namespace FormsRuntime::win32
