#pragma once

#include "runtime/App.h"

#include <functional>
#include <memory>
#include <string_view>
#include <typeindex>

namespace FormsRuntime {

class Form;

// What the entry point hands to the runtime: the identity and the start-up procedure.
struct Program {
    AppInfo app;
    void (*main)() = nullptr;
    std::string_view desktopId = {}; // the desktop entry the program's windows belong to
    std::string_view icon = {};      // resource path of the program icon
};

// The process's exit status, an int as exit() takes it.
// NOLINTNEXTLINE(performance-enum-size)
enum ExitStatus : int { ExitNormal = 0, ExitNoDisplay = 1, ExitRunTimeError = 2 };

// Sets up the runtime, calls the program's Main and runs the message loop while a window is
// loaded. Command-line arguments are not the program's: they are ignored, so that no toolkit
// option can change how the program behaves. Returns the process exit status.
int Start(int argc, char** argv, const Program& program);

// As Start, for a caller that has set up the application object itself.
int Run(const Program& program);

// Closes every window and stops the program at once: the running procedure goes no further
// and no further event runs.
[[noreturn]] void End();

namespace detail {
Form& DefaultInstance(std::type_index windowClass, std::unique_ptr<Form> (*create)());
}

// The default instance of a window class, created on first use.
template <class WindowClass> WindowClass& DefaultInstance() {
    return static_cast<WindowClass&>(
        detail::DefaultInstance(typeid(WindowClass), []() -> std::unique_ptr<Form> {
            return std::make_unique<WindowClass>();
        }));
}

// Every window operation the program performs, in order ("frmMain", "Load"): for diagnostics
// and for checking the order of start-up.
using OperationTrace = std::function<void(std::string_view object, std::string_view operation)>;
void SetOperationTrace(OperationTrace trace);

} // namespace FormsRuntime
