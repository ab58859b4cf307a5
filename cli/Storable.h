// What the keyboard cannot store, said before it is written: assignments whose 3-byte form
// reads back as something else, and macro actions whose key has no place in the macro image.
// Each finding is one line naming the key (or macro and action) and what the keyboard will do.
#pragma once

#include <string>
#include <vector>

#include "core/device/ConfigBlock.h"
#include "core/macros/WorkingConfig.h"

namespace talvenix::cli {

// Profiles 0..2 against the keyboard's default layout. Keys the keyboard does not have, and
// launch and text keys (the program's own), are not reported.
std::vector<std::string> UnstorableAssignments(const macros::Configuration& config,
                                               const device::KeyBlock& layout);

std::vector<std::string> UnstorableMacroActions(const macros::Configuration& config);

}  // namespace talvenix::cli
