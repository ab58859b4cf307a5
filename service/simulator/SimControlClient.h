// The client end of the simulated keyboard's control socket, for `talvenix-cli sim ...`.
// One text line per command, one reply line back ("ok ..." or "error: ..."); the commands are
// listed in PelloranSim.h.
#pragma once

#include <string>

namespace talvenix::service::sim {

// Where the simulator listens: $TALVENIX_SIM_SOCKET, else talvenix-sim.sock in the private
// runtime folder (platform/RuntimeDir.h). Empty when TALVENIX_SIM_SOCKET is "none", or when the
// runtime folder is refused (`error`, when given, then says why).
std::string SimControlSocketPath(std::string* error = nullptr);

// Sends `line` (one command, no newline) and waits up to five seconds for the reply line,
// returned without its newline. True when a reply arrived (it may still be "error: ...");
// false with `error` set when no simulator answered, or when whoever listens on the socket
// runs as another user (it is then never sent the command).
bool SendSimCommand(const std::string& line, std::string& reply, std::string& error);

}  // namespace talvenix::service::sim

// Also reachable unqualified.
using talvenix::service::sim::SendSimCommand;
using talvenix::service::sim::SimControlSocketPath;
