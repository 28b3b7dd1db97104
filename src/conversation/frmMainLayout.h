#pragma once

#include "runtime/Layout.h"

// The conversation window as designed: the window, its menu and its controls.
extern const FormsRuntime::WindowLayout frmMainLayout;
