// What a configuration loses on its way into the keyboard, as data the command line and the
// dialogs word for themselves: key assignments whose three-byte form reads back as something
// else, keys bound to a macro the list does not hold, and macro actions whose key has no place
// in the macro memory.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/keys/KeyAssignment.h"
#include "core/keys/KeyTable.h"
#include "core/keys/StoredAssignment.h"
#include "core/macros/MacroRecord.h"
#include "core/macros/WorkingConfig.h"

namespace talvenix::profiles {

struct UnstorableAssignment {
    int profile = 0;  // 0..2
    int slot = 0;
    keys::KeyAssignment wanted;
    // What the key will do. For a macro binding the value is the id of the macro it will play
    // (the list's first, as an unknown id encodes as position 0), or 0 when the list is empty
    // and the key plays nothing.
    keys::KeyAssignment stored;
    bool DanglingMacro() const { return wanted.Kind() == keys::AssignmentKind::Macro; }
};

// Profiles 0..2 of `config` against the default entries of the keyboard's keys (from its layout,
// or keys::EverySlotEntry() when no keyboard is at hand). Slots the keyboard does not have,
// launch and text keys (the program's own) and the G keys (never sent) are not reported.
std::vector<UnstorableAssignment> UnstorableAssignments(const macros::Configuration& config,
                                                        const keys::SlotEntries& entries);

// The key a macro action with `code` plays back once in the keyboard's macro memory: the code
// itself, another code of the same usage (one key to the keyboard), or 0 when the memory has no
// form for it and the action presses nothing.
keys::KeyCode MacroMemoryKeyOf(keys::KeyCode code);
bool MacroMemoryHolds(keys::KeyCode code);

struct UnstorableMacroAction {
    int macro = 0;  // list position
    std::uint16_t macroId = 0;
    int action = 0;  // 0-based
    keys::KeyCode wanted = 0;
    keys::KeyCode stored = 0;
};
std::vector<UnstorableMacroAction> UnstorableMacroActions(std::span<const macros::MacroRecord> macros);

}  // namespace talvenix::profiles
