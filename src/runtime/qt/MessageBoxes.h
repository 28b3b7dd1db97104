#pragma once

// The message box and the run-time error box as Qt shows them. Screen readers are told what
// each says as it opens.

#include "runtime/Backend.h"

#include <optional>
#include <string_view>

namespace FormsRuntime {

std::optional<MsgBoxResult> ShowQtMessageBox(const MessageBoxRequest& request);

void ShowQtRunTimeError(TextView title, std::string_view message, TextView spoken);

} // namespace FormsRuntime
