// Loads the HID service library by name and resolves its twelve entry points.
#pragma once

#include <filesystem>
#include <string>
#include <variant>

#include "core/device/ServiceLibraryLink.h"

namespace talvenix::platform {

inline constexpr const char* kRealServiceLibrary = "libPelloran.so";
inline constexpr const char* kSimulatedServiceLibrary = "libPelloranSim.so";

struct LoadedServiceLibrary {
    device::ServiceLibraryLink link;
    std::string error;  // empty on success: else one line naming the missing file or entry point
    bool ok() const { return error.empty(); }
};

// dlopen()s `path` and resolves every entry point by name. On failure the library is closed
// again and `error` says which file or symbol is missing.
LoadedServiceLibrary LoadServiceLibrary(const std::filesystem::path& path);

// Closes a library loaded by LoadServiceLibrary (after its DeviceLink is gone).
void UnloadServiceLibrary(device::ServiceLibraryLink& link);

// The service library beside the program: the simulator when `simulate` is set.
std::filesystem::path ServiceLibraryPath(bool simulate);

// Where the simulated keyboard keeps its memory between runs unless TALVENIX_SIM_STATE says
// otherwise: $XDG_STATE_HOME/talvenix/simulated-keyboard.state (~/.local/state by default).
std::filesystem::path DefaultSimulatorStatePath();

// Before loading the simulator: gives it the default state file when TALVENIX_SIM_STATE is
// unset, so the configurator and the CLI see the same simulated keyboard, and what was written
// to it survives the program. An empty TALVENIX_SIM_STATE keeps the memory in the process only.
void PrepareSimulatorEnvironment();

}  // namespace talvenix::platform
