#pragma once

// A window's layout as the page builds it: boxes in CSS pixels (one per device-independent
// pixel), colours as CSS values, fonts, pictures as files of the site, the order in which the
// controls are laid on their containers and the tab order.

#include "runtime/Backend.h"

#include <string>

namespace FormsRuntime::web {

// The description as JSON. An unknown colour or a picture that is not one of the program's is
// a run-time error naming the control.
std::string DescribeWindow(const FormEvents& events);

} // namespace FormsRuntime::web
