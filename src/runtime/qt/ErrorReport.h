#pragma once

#include "runtime/Text.h"

namespace FormsRuntime {

class RuntimeError;

// Tells the user about a run-time error: one line on standard error and a modal message box.
void ReportRunTimeError(const RuntimeError& error, TextView appTitle);

} // namespace FormsRuntime
