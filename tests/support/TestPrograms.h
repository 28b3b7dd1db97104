#pragma once

// Programs of the tests' own, for what Quibly itself never does: a run-time error in Main and
// in a handler, and the splash with another identity. They are built into the scenario tests
// and, for the web edition, into a test site of their own, which chooses one by name.

#include "runtime/Runtime.h"

#include <string_view>

namespace TestPrograms {

extern const FormsRuntime::Program failureInMain;
extern const FormsRuntime::Program failureInHandler;
extern const FormsRuntime::Program otherIdentity;

// How far the failing procedures ran: set where they run, and told back from a page.
struct Progress {
    bool reachedAfterFailure = false;
    bool heldObjectReleased = false;
};
extern Progress progress;
// The trace step by which a procedure in a page tells its progress ("TestPrograms", what).
inline constexpr std::string_view traceObject = "TestPrograms";
void Reached(std::string_view what);

// The name a test site knows a program by, or empty; and the program of a name, or nullptr.
std::string_view NameOf(const FormsRuntime::Program& program);
const FormsRuntime::Program* Named(std::string_view name);

} // namespace TestPrograms
