#pragma once

// The runtime's own bookkeeping for one run of the program; not for the program's procedures.

#include <functional>
#include <string_view>

namespace FormsRuntime {
class Form;
}

namespace FormsRuntime::detail {

void Trace(std::string_view object, std::string_view operation);

// Runs an event handler that the message loop delivers. Events are delivered only after Main
// has returned and until the program ends; a handler's error or End ends the program.
void DeliverEvent(const Form& form, std::string_view control, std::string_view event,
                  const std::function<void()>& handler);

// A window was unloaded: when none is left after Main has returned, the program ends.
void WindowUnloaded();

} // namespace FormsRuntime::detail
