#pragma once

#include "runtime/SettledWindow.h"

#include <cstddef>
#include <string>

class QWidget;

namespace FormsRuntime {

// Makes the widget for control `index` of the window inside its container, with every settled
// property applied. Failures are run-time errors of the named object.
QWidget* CreateControl(const SettledWindow& window, std::size_t index, QWidget& container,
                       const std::string& object);

} // namespace FormsRuntime
