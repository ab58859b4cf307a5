// What the keyboard really holds for an assignment: the three-byte form it is written as, read
// back. Some assignments do not survive that trip (a key with no Keyboard-page usage becomes
// 02 02 00, which reads back as disabled; a media index beyond the list keeps the key's own
// entry), and the dialogs and the command line say so before anything is written.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "core/keys/KeyAssignment.h"
#include "core/keys/KeyTable.h"

namespace talvenix::keys {

using EntryBytes = std::array<std::uint8_t, 3>;

// The default entry a layout gives the key of `slot`: 02 01 bit for a modifier, else 02 02 u,
// 03 lo hi or 04 lo hi by the page of its device byte. nullopt for a slot no layout can name:
// the G slots, unused slots, keys without a device byte, and codes that share their device byte
// with a lower one (their entry names the other code's slot).
std::optional<EntryBytes> NaturalEntryOfSlot(int slot);

// The default entry of every slot a keyboard has; nullopt where it has none.
using SlotEntries = std::array<std::optional<EntryBytes>, kSlotsPerBlock>;
// From a layout as read from the keyboard (378 bytes; a shorter span gives no slot at all).
SlotEntries SlotEntriesOfLayout(std::span<const std::uint8_t> layout);
// Every slot a layout can name: the encoding does not depend on which keys a keyboard has, so
// this answers for any keyboard, as far as the key is on it.
const SlotEntries& EverySlotEntry();

struct KeptAssignment {
    // What a read-back gives for the key: kind 0 when the key keeps its default entry. A
    // macro binding carries the macro's list position + 1 (as a read-back numbers macros).
    KeyAssignment stored;
    // The keyboard does what the record says. Launch and text records are the program's own
    // (the keyboard keeps the default, or nothing) and count as kept; so does a macro binding,
    // whose id only the macro list can check.
    bool faithful = true;
};

// What the key whose default entry is `defaultEntry` does once `wanted` is written, a macro
// binding encoding as `macroPosition`.
KeptAssignment KeyboardKeeps(const KeyAssignment& wanted, const EntryBytes& defaultEntry,
                             std::uint8_t macroPosition = 0);

}  // namespace talvenix::keys
