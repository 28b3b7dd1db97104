#pragma once

class QWindow;

namespace FormsRuntime {

// Waits until what the window last handed to the display is on the screen. On X11 the server
// draws a window's pixels as it takes them, so a round trip proves them drawn. A Wayland
// compositor shows a frame later, when it next paints its output: there the window asks the
// compositor to report the frame presented, and for the frame's callback, and waits for the
// first of the two, then until the toolkit has taken its own callback of that frame. A
// compositor that never answers is waited for one second at most. Only the window system's own
// events run meanwhile.
void WaitUntilOnScreen(QWindow& window);

} // namespace FormsRuntime
