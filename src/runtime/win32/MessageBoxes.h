#pragma once

#include "runtime/Backend.h"

#include <optional>
#include <string_view>

namespace FormsRuntime::win32 {

// The system's message box with the decoded style, over the active window. F1 (and the Help
// button, where asked for) shows what help there is in a box of its own and leaves the question
// open.
std::optional<MsgBoxResult> ShowSystemMessageBox(const MessageBoxRequest& request);

// The run-time error box: the message (UTF-8), an error icon and OK.
void ShowErrorBox(TextView title, std::string_view message);

} // namespace FormsRuntime::win32
