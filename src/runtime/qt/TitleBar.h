#pragma once

#include "runtime/SettledWindow.h"

class QWidget;

namespace FormsRuntime {

// On Wayland a top-level window with a title bar draws its own: GNOME's and weston's
// compositors draw no title bar at all, KDE's draws a maximize button on every resizable
// window, and no protocol lets a program leave that button out. There this makes `window`
// frameless and draws its title bar above its contents, inside a thin border: its icon, its
// title and the buttons `frame` has (the close button with the system menu). Dragging the
// title bar moves the window and, where it is resizable, dragging its edges resizes it, both
// through the compositor. A double-click maximizes only a window with a maximize button. Call
// once the window's flags are set; the window grows by the frame's margins, its contents keep
// their size. Elsewhere the window system draws the title bar, and this does nothing.
void AddOwnTitleBarOnWayland(QWidget& window, const SettledFrame& frame);

} // namespace FormsRuntime
