#pragma once

#include "runtime/Layout.h"

// The splash window as designed: a white panel with a black band along the top, a red bar
// down the left side, a small picture and the product's labels.
extern const FormsRuntime::WindowLayout frmSplashLayout;
