#include "runtime/RuntimeError.h"

namespace FormsRuntime {

std::string ObjectName(std::string_view window, std::string_view control) {
    std::string name(window);
    if (!control.empty())
        name.append(".").append(control);
    return name;
}

RuntimeError::RuntimeError(std::string object, std::string operation, std::string reason)
    : std::runtime_error(object + ": " + operation + " failed: " + reason),
      object_(std::move(object)), operation_(std::move(operation)), reason_(std::move(reason)) {}

} // namespace FormsRuntime
