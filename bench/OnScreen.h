#pragma once

// When a window counts as on the screen, decided the same way for the bare form and for Quibly:
// Qt has painted the window and flushed its backing store to the X server, and a round trip to
// the server has come back, so the server has drawn those pixels.

#include <chrono>
#include <functional>

class QWidget;

namespace Bench {

// Ends the process as soon as the top-level `window` has been exposed for the first time and that
// first frame is on the screen, so that a run measures up to the frame and not the tear-down.
// Install before the window is shown. A window that never comes on the screen fails the run,
// naming `program`, instead of hanging it.
void ExitOnceFirstFrameOnScreen(QWidget& window, const char* program);

// Runs `action`, then processes events until `widget` has been repainted and the frame has gone
// to the X server. False if the widget was not repainted within `limit`.
bool RunUntilRepainted(QWidget& widget, const std::function<void()>& action,
                       std::chrono::milliseconds limit = std::chrono::seconds(5));

// Processes what is pending and makes a round trip to the X server: what was sent before is on
// the screen when this returns.
void WaitForServer();

// RunUntilRepainted, then WaitForServer.
bool RunUntilRepaintedOnScreen(QWidget& widget, const std::function<void()>& action);

} // namespace Bench
