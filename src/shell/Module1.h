#pragma once

#include "conversation/frmMain.h"

#include <memory>

namespace Module1 {

// The one conversation window, created by Main and kept for the whole run.
extern std::unique_ptr<frmMain> mainWindow;

// Puts the splash on the screen, builds the conversation window while the splash is up,
// then takes the splash away and shows the conversation window.
void Main();

} // namespace Module1
