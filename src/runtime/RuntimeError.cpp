#include "runtime/RuntimeError.h"

namespace FormsRuntime {

RuntimeError::RuntimeError(std::string object, std::string operation, std::string reason)
    : std::runtime_error(object + ": " + operation + " failed: " + reason),
      object_(std::move(object)), operation_(std::move(operation)), reason_(std::move(reason)) {}

} // namespace FormsRuntime
