// The command groups of talvenix-cli. Each Add* function registers its subcommands on the
// application; a chosen subcommand stores its work in `run`, which RunCli() calls after the
// whole command line has been parsed.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <string>

#include "cli/Context.h"

namespace talvenix::cli {

using Action = std::function<void()>;

void AddDeviceCommands(CLI::App& app, Context& ctx, Action& run);  // info, profile
void AddFileCommands(CLI::App& app, Context& ctx,
                     Action& run);  // backup, restore, validate, show, to-json, from-json
void AddLightingCommands(CLI::App& app, Context& ctx, Action& run);  // lighting show|set|reset
void AddColourCommands(CLI::App& app, Context& ctx, Action& run);    // colours ...
void AddSimCommands(CLI::App& app, Context& ctx, Action& run);       // sim ...

// Parses a colour written RRGGBB (optionally with a leading '#') into the program's 24-bit form
// (red in the low byte); throws CliError (exit 1) otherwise.
std::uint32_t ParseColourArgument(const std::string& text);
// The RRGGBB form of a 24-bit colour (red in the low byte).
std::string FormatColour(std::uint32_t colour);

}  // namespace talvenix::cli
