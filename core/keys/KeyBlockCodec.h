// Assignments in the keyboard's own form, and the operations on a profile's block of records.
//
// The keyboard stores each of the 126 keys of a profile as a three-byte entry; a KeyBlock is
// the 126 entries in the order of the keyboard's default (factory) layout, 378 bytes:
//   00 00 00   no function               05 01 n    play the macro at list position n
//   02 01 bits modifier key(s)           05 02 00   stop the playing macro
//   02 02 u    Keyboard-page usage u     05 05 f    office function f
//   03 lo hi   Consumer-page usage       04 lo hi   Generic Desktop usage (system control)
//
// Encoding walks the default layout: each entry whose code (CodeOfEntry) is a known key takes
// the assignment of that key's slot; other entries keep their default bytes. G keys have no
// entry, so their assignments never reach the keyboard. Decoding maps every entry that differs
// from the default layout back onto the slot of the default entry's key; an entry none of the
// forms explains makes that key "disabled", never "default".
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "core/device/ConfigBlock.h"
#include "core/keys/KeyAssignment.h"
#include "core/keys/KeyTable.h"

namespace talvenix::keys {

using AssignmentBlock = std::array<KeyAssignment, kSlotsPerBlock>;

// Block `block` (0..3) of the default table: all zero, except that block 0's G slots 256..273
// carry their G-key numbers (kind 0).
AssignmentBlock DefaultAssignmentBlock(int block);

// The block a decode starts from: all zero with the G-key numbers in 256..273.
AssignmentBlock DecodedBlockStart();

// The three bytes an assignment encodes to at an entry whose default bytes are `defaultEntry`.
// Kinds 0 and 3, and values that name nothing (unknown kind, media index beyond 17), keep the
// default bytes; kinds 1 and 6 give 00 00 00.
std::array<std::uint8_t, 3> EncodeAssignment(
    const KeyAssignment& record, std::array<std::uint8_t, 3> defaultEntry,
    const std::function<std::uint8_t(std::uint16_t macroId)>& macroPositionOfId);

// Encodes one profile's 512 records against the default layout. `macroPositionOfId` gives the
// 0-based position of a macro id in the downloaded macro list (0 for an unknown id); when empty,
// every macro encodes as position 0.
device::KeyBlock EncodeKeyBlock(std::span<const KeyAssignment, kSlotsPerBlock> profileBlock,
                                const device::KeyBlock& defaultLayout,
                                const std::function<std::uint8_t(std::uint16_t macroId)>& macroPositionOfId);

// Decodes a key block read from the keyboard. Only the first 378 bytes of each input are used;
// nullopt when either is shorter (never a read past the end). Read-back macro ids are 1..n in
// list order, so entry 05 01 n decodes to macro id n + 1.
std::optional<AssignmentBlock> DecodeKeyBlock(std::span<const std::uint8_t> readBlock,
                                              std::span<const std::uint8_t> defaultLayout);

// One entry read back at a key whose default entry is `defaultEntry`, by the rules of
// DecodeKeyBlock: kind 0 when the two are equal (tag and extra bytes zero).
KeyAssignment DecodeAssignment(std::array<std::uint8_t, 3> read, std::array<std::uint8_t, 3> defaultEntry);

// The restore-defaults command on one profile's block: zeroes the whole record of the nine G
// slots of the current bank and of the slots of the 104 key buttons. Other slots (keys without
// a button, the other bank's G slots) keep their records; the zeroed G records lose their
// G-key number. The key string table is not touched.
void ResetKeyAssignments(std::span<KeyAssignment, kSlotsPerBlock> block, bool bankB);

// Name of a macro by id; nullopt when no macro has the id.
using MacroNameLookup = std::function<std::optional<std::string>(std::uint16_t macroId)>;

// The tooltip text of a button showing `record`: `buttonName`, then for any kind but 0
// "Keys, Set: " and, by kind, "Key(" target ")", "Macro(" name ")", "Media(" name ")" or
// "Function(" text ")". Language texts are the current ones.
std::string AssignmentSummary(std::string_view buttonName, const KeyAssignment& record,
                              const MacroNameLookup& macroName);
// For a key button: the name is KeyNameOf(code).
std::string AssignmentSummaryOfKey(KeyCode code, const KeyAssignment& record,
                                   const MacroNameLookup& macroName);
// For G button `number` (1..9): the name is "G<number>".
std::string AssignmentSummaryOfG(int number, const KeyAssignment& record, const MacroNameLookup& macroName);

// Whether a button showing `record` gets the assigned face (any kind but 0).
inline bool ShowsAssignedFace(const KeyAssignment& record) { return record.kind != 0; }

}  // namespace talvenix::keys
