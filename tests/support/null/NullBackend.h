#pragma once

// A backend with no window system, for the generic runtime's own tests: it keeps the windows
// the runtime settled and the boxes it asked for, and lets a test act as the user would (click,
// type, Return, Escape, close) while the message loop runs.

#include "runtime/Backend.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace NullPlatform {

using namespace FormsRuntime;

struct BoxShown {
    std::u16string prompt, title, helpText, spoken;
    std::vector<MsgBoxResult> buttons;
    std::uint32_t buttonSet = 0;
    std::size_t defaultButton = 0;
    std::optional<MsgBoxResult> escape;
    MsgBoxIcon icon = MsgBoxIcon::None;
    bool helpButton = false;
};

struct ErrorShown {
    std::u16string title;
    std::string message;
};

class NullBackend final : public Backend {
public:
    // What the runtime asked for, in order.
    std::vector<SettledWindow> windows; // each window as it was created
    std::vector<BoxShown> boxes;
    std::vector<ErrorShown> errors;
    std::vector<std::string> announced; // "frmMain.Label1: hello"
    // How the user answers the next box; none: closed without an answer.
    std::optional<MsgBoxResult> answer = MsgBoxResult::OK;
    // What the user does once Main has returned, as events of the message loop. The loop ends
    // when the program quits, or with a test failure if it does not once this is done.
    std::function<void()> user;

    // The user's actions on a loaded window, by name; a window or control that is not there
    // fails the test.
    void Click(std::string_view window, std::string_view control);
    void Type(std::string_view window, std::string_view textBox, std::u16string text);
    void PressReturn(std::string_view window);
    void PressEscape(std::string_view window);
    void Close(std::string_view window);
    std::u16string Text(std::string_view window, std::string_view control) const;
    bool IsShown(std::string_view window) const;

    int Start(const Program& program, int argc, char** argv,
              const std::function<int()>& run) override;
    void BeginRun(const Program& program) override;
    std::unique_ptr<BackendWindow> CreateFormWindow(FormEvents events) override;
    void RunLoop() override;
    void Quit() override;
    void EndRun() override;
    std::optional<MsgBoxResult> ShowMessageBox(const MessageBoxRequest& request) override;
    void ShowRunTimeError(TextView title, std::string_view message, TextView spoken) override;

private:
    friend class NullWindow;
    class NullWindow* Find(std::string_view window) const;
    std::vector<class NullWindow*> loaded_;
    bool quit_ = false;
};

// The backend this test program runs on.
NullBackend& Instance();

} // namespace NullPlatform
