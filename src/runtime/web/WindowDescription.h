#pragma once

// A window as the runtime settled it, described to the page: colours as CSS values, pictures as
// files of the site.

#include "runtime/Backend.h"

#include <string>

namespace FormsRuntime::web {

// The description as JSON. A picture that is not one of the program's is a run-time error naming
// the control.
std::string DescribeWindow(const FormEvents& events);

} // namespace FormsRuntime::web
