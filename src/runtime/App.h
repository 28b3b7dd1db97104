#pragma once

#include "runtime/Text.h"

#include <cstdint>

namespace FormsRuntime {

// The application's identity as the program reads it: fixed when the program is built.
struct AppInfo {
    TextView Title;
    std::int16_t Major = 0;
    std::int16_t Minor = 0;
    std::int16_t Revision = 0;
};

// The App record of the running program, read-only. Reading it before the runtime has
// started is a run-time error.
struct AppRecord {
    Text Title() const;
    std::int16_t Major() const;
    std::int16_t Minor() const;
    std::int16_t Revision() const;
};

inline constexpr AppRecord App{};

} // namespace FormsRuntime
