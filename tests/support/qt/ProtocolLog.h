#pragma once

// What the Wayland client library tells of the protocol it speaks (WAYLAND_DEBUG=client), kept
// for the driver to read: the requests the program made and the compositor's events, in the
// order the program made and dispatched them.

#include <string>
#include <vector>

namespace TestDriver::ProtocolLog {

// Before the toolkit connects: asks the client library to log, and reads standard error from
// then on, keeping the protocol lines and passing every other line on.
void Start();
// The protocol lines logged so far; empty if the log was not started.
std::vector<std::string> Lines();

} // namespace TestDriver::ProtocolLog
