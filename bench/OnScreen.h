#pragma once

// When a window counts as on the screen, decided the same way for the bare form and for Quibly,
// and as Quibly's runtime decides it: Qt has painted the window and flushed its backing store to
// the display; on X11 a round trip to the server has then come back, so the server has drawn
// those pixels; on Wayland the compositor has reported the frame presented or called back for it.

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

// Notes that a phase of start-up has ended, counted from the program's start (once its libraries
// are loaded). When the program leaves at its first frame, which is a phase of its own, it appends
// "PROGRAM PHASE MILLISECONDS" lines to the file that QUIBLY_BENCH_PHASES names, if it names one.
void MarkPhase(const char* phase);

// Processes what is pending and makes a round trip to the X server: what was sent before is on
// the screen when this returns.
void WaitForServer();

// What `window` last drew is on the screen when this returns (X11 or Wayland).
void WaitUntilOnScreen(QWidget& window);

// RunUntilRepainted, then WaitForServer.
bool RunUntilRepaintedOnScreen(QWidget& widget, const std::function<void()>& action);

} // namespace Bench
