// What the keyboard cannot store, said before it is written: assignments whose 3-byte form
// reads back as something else, keys bound to a macro the file does not hold, and macro actions
// whose key has no place in the macro image. Each finding is one line naming the key (or macro
// and action) and what the keyboard will do.
#pragma once

#include <string>
#include <vector>

#include "core/keys/StoredAssignment.h"
#include "core/macros/WorkingConfig.h"

namespace talvenix::cli {

// Profiles 0..2 against the keys a keyboard has (keys::SlotEntriesOfLayout of its default
// layout, or keys::EverySlotEntry() for any keyboard). Launch and text keys (the program's own)
// and G keys are not reported.
std::vector<std::string> UnstorableAssignments(const macros::Configuration& config,
                                               const keys::SlotEntries& keyboardKeys);

std::vector<std::string> UnstorableMacroActions(const macros::Configuration& config);

}  // namespace talvenix::cli
