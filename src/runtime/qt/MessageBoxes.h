#pragma once

// The message box and the run-time error box as Qt shows them. Screen readers are told what
// each says as it opens.

#include "runtime/Backend.h"

#include <optional>
#include <string_view>

namespace FormsRuntime {

// A box is an alert to screen readers, which read its title and prompt as the window system
// activates it, before its focused button: the backend announces nothing of its own, which
// would have the question spoken twice.
std::optional<MsgBoxResult> ShowQtMessageBox(const MessageBoxRequest& request);

void ShowQtRunTimeError(TextView title, std::string_view message);

} // namespace FormsRuntime
