// The client end of the simulated keyboard's control socket, for `talvenix-cli sim ...`.
// One text line per command, one reply line back ("ok ..." or "error: ..."); the commands are
// listed in PelloranSim.h.
#pragma once

#include <string>

namespace talvenix::service::sim {

// Where the simulator listens: $TALVENIX_SIM_SOCKET, else $XDG_RUNTIME_DIR/talvenix-sim.sock,
// else /tmp/talvenix-sim-<uid>.sock. Empty when TALVENIX_SIM_SOCKET is "none".
std::string SimControlSocketPath();

// Sends `line` (one command, no newline) and waits up to five seconds for the reply line,
// returned without its newline. True when a reply arrived (it may still be "error: ...");
// false with `error` set when no simulator answered.
bool SendSimCommand(const std::string& line, std::string& reply, std::string& error);

}  // namespace talvenix::service::sim

// Also reachable unqualified.
using talvenix::service::sim::SendSimCommand;
using talvenix::service::sim::SimControlSocketPath;
