#pragma once

#include "runtime/Layout.h"

#include <string>

class QWidget;

namespace FormsRuntime {

// Makes the widget for one control of a layout inside its container, with every property
// of the layout applied. Failures are run-time errors of the named object.
QWidget* CreateControl(const ControlLayout& control, QWidget& container, const std::string& object);

} // namespace FormsRuntime
