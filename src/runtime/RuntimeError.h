#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace FormsRuntime {

// A failed runtime operation. It names the object (for example "frmMain.Image2") and the
// operation (for example "load picture") so that the user and the developer can see what broke.
// No procedure of the program catches it: it leaves the running procedure, and the runtime
// reports it and ends the program.
// "frmMain.Label1" for a control of a window, "frmMain" for the window itself: how errors name
// them.
std::string ObjectName(std::string_view window, std::string_view control = {});

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(std::string object, std::string operation, std::string reason);

    const std::string& Object() const noexcept { return object_; }
    const std::string& Operation() const noexcept { return operation_; }
    const std::string& Reason() const noexcept { return reason_; }

private:
    std::string object_;
    std::string operation_;
    std::string reason_;
};

} // namespace FormsRuntime
