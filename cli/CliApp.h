// talvenix-cli: every keyboard operation of the configurator for scripts, terminals and SSH.
// RunCli() parses the command line, runs one command and returns the process exit code
// (see CliError.h); failures print one line to `err`.
#pragma once

#include <ostream>

namespace talvenix::cli {

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace talvenix::cli
