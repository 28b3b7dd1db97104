#pragma once

class QWidget;

namespace FormsRuntime {

// Whether a top-level window with a title bar draws its own here. On Wayland it does: GNOME's
// and weston's compositors draw no title bar at all, KDE's draws a maximize button on every
// resizable window, and no protocol lets a program leave that button out.
bool DrawsOwnTitleBar();

// Makes `window` frameless and draws its title bar above its contents, inside a thin border:
// its icon, its title and the buttons its window flags allow (a window without customized
// flags has all three, a dialog only the close button). Dragging the title bar moves the
// window and, where it is resizable, dragging its edges resizes it, both through the
// compositor. A double-click maximizes only a window with a maximize button. Call once the
// window's flags are set; the window grows by the frame's margins, its contents keep their size.
void AddOwnTitleBar(QWidget& window);

} // namespace FormsRuntime
