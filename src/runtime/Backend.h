#pragma once

// The one interface between the forms runtime and a window system. Everything that is the same
// on every platform (window classes and instances, the lifecycle and its trace, the gate that
// holds events until Main has returned, run-time errors and the end of the program, message-box
// style decoding, and what each layout means: SettledWindow.h) stays on the generic side; a
// backend in its own folder (qt/, win32/, web/) builds each settled window and shows boxes
// with its toolkit, and reports the user's actions back through FormEvents.

#include "runtime/Layout.h"
#include "runtime/MsgBox.h"
#include "runtime/SettledWindow.h"
#include "runtime/Text.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace FormsRuntime {

class Form;
struct Program;

// What a backend window knows of its form, and how it reports the user's actions.
class FormEvents {
public:
    explicit FormEvents(Form& form) : form_(form) {}

    // The window as the backend builds it.
    const SettledWindow& Window() const;
    // "frmMain.Label1" for a control, "frmMain" for the window: the name errors carry.
    std::string ObjectName(std::string_view control = {}) const;
    // The user clicked a command button or menu item, or pressed Return or Escape for a default
    // or cancel button. The generic gate runs the handler only once Main has returned and until
    // the program ends. The handler may unload this very window: its BackendWindow may be gone
    // when Click returns.
    void Click(std::string_view control) const;
    // The user closed the window by means of the window system. The form unloads, which
    // destroys this window's BackendWindow before Close returns.
    void Close() const;

private:
    Form& form_;
};

// A loaded window with its menus and controls, made by Backend::CreateFormWindow.
class BackendWindow {
public:
    BackendWindow() = default;
    BackendWindow(const BackendWindow&) = delete;
    BackendWindow& operator=(const BackendWindow&) = delete;
    // Unload: the window leaves the screen at once and reports no further event. It may run
    // inside one of the window's own events, so the backend may free its resources later.
    virtual ~BackendWindow() = default;

    // Visible, modeless and without owner; returns at once. The generic side has loaded it.
    virtual void Show() = 0;
    // The window and its controls are painted and on the screen when this returns. Only the
    // window system's own events may run meanwhile: no click or key reaches a handler. Does
    // nothing for a hidden window.
    virtual void Refresh() = 0;
    // The caption of a label or the text of a text box, by index in the layout's control list;
    // the generic side asks only for these two kinds.
    virtual Text ControlText(std::size_t control) const = 0;
    // Sets a label's caption: it repaints, and an AutoSize label takes the size of its text.
    virtual void SetControlText(std::size_t control, TextView text) = 0;
    // Screen readers announce a label's new caption politely, once, without moving the focus,
    // also when it is the caption the label already had. The generic side decides when.
    virtual void AnnounceCaption(std::size_t control, TextView caption) = 0;
};

enum class MsgBoxIcon : std::uint8_t { None, Critical, Question, Exclamation, Information };

// A message box with its style flags decoded and checked.
struct MessageBoxRequest {
    TextView prompt = {};
    TextView title = {};
    std::span<const MsgBoxResult> buttons = {}; // left to right
    // The same set by its style flag (MsgBoxStyle::YesNo, ...), for a system box that takes it.
    std::uint32_t buttonSet = MsgBoxStyle::OKOnly;
    std::size_t defaultButton = 0;           // an index into buttons
    std::optional<MsgBoxResult> escape = {}; // none: Escape does not answer
    MsgBoxIcon icon = MsgBoxIcon::None;
    bool helpButton = false; // a Help button that shows helpText and leaves the question open
    bool rightAligned = false;
    bool rightToLeft = false;
    // The topic F1 asks for, as the program named it, and what F1 and the Help button show
    // instead, since no help file is installed.
    TextView helpFile = {};
    std::int32_t helpContext = 0;
    TextView helpText = {};
    // What screen readers are told as the box opens, before its focused button speaks for
    // itself (SpokenOnOpening).
    TextView spoken = {};
};

// What a box says to a screen reader as it opens: its title, then its prompt. A backend whose
// screen readers do not read a box of their own tells them this.
Text SpokenOnOpening(TextView title, TextView prompt);

// The window system as the runtime uses it. Every failure is thrown as a RuntimeError naming
// the object and the operation.
class Backend {
public:
    Backend() = default;
    Backend(const Backend&) = delete;
    Backend& operator=(const Backend&) = delete;
    virtual ~Backend() = default;

    // Connects to the window system for this program, its identity taken from `program` alone,
    // calls `run` and returns what it returns. Arguments are not the program's to act on. If
    // no display can be reached it calls EndForNoDisplay and does not return. (Run may also be
    // entered without Start, by a caller that has connected to the window system itself.)
    virtual int Start(const Program& program, int argc, char** argv,
                      const std::function<int()>& run) = 0;
    // Before Main: windows without an icon of their own show `program.icon`, and closing the
    // last window does not by itself end the message loop (the generic side decides). Errors
    // are run-time errors of "App".
    virtual void BeginRun(const Program& program) = 0;
    // Builds `events.Window()` and every control and menu of it, hidden, exactly as settled:
    // the frame, the boxes scaled to the screen, the colours and fonts, the paint order, the
    // Tab order with the focus on its first stop, Return and Escape for the default and cancel
    // buttons, the menus; pictures and icons it names are read from inside the program, never
    // from disk. A failure is a RuntimeError naming the window or control (events.ObjectName)
    // and the operation.
    virtual std::unique_ptr<BackendWindow> CreateFormWindow(FormEvents events) = 0;
    // Delivers the window system's events until Quit is called; returns once the event that
    // called Quit is over.
    virtual void RunLoop() = 0;
    // Makes RunLoop return; the generic side calls it only from an event RunLoop delivered.
    virtual void Quit() = 0;
    // After the run: frees what unloaded windows left for later.
    virtual void EndRun() = 0;
    // Shows a modal message box over the active window while the other windows stay painted,
    // and returns the button pressed; nothing if it was closed without an answer.
    virtual std::optional<MsgBoxResult> ShowMessageBox(const MessageBoxRequest& request) = 0;
    // Shows a modal box with an OK button telling the user of a run-time error; `message` is
    // UTF-8 and `spoken` what screen readers are told as it opens. The program ends once it is
    // answered.
    virtual void ShowRunTimeError(TextView title, std::string_view message, TextView spoken) = 0;
};

// The backend linked into this program; each backend defines it once.
Backend& Platform();

// For a backend that cannot reach a display: one line on standard error naming the program
// and the reason, and the process ends with ExitNoDisplay.
[[noreturn]] void EndForNoDisplay(TextView programTitle, std::string_view reason);

} // namespace FormsRuntime
