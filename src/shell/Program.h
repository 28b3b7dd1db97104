#pragma once

#include "runtime/Runtime.h"

// Quibly as the runtime starts it: its identity and its start-up procedure.
extern const FormsRuntime::Program QuiblyProgram;
