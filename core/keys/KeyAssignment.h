// What one key (or G key) of one hardware profile does: the 16-byte assignment record.
// The same bytes are stored in profile files, so the layout binds.
#pragma once

#include <array>
#include <cstdint>

namespace talvenix::keys {

enum class AssignmentKind : std::uint16_t {
    Default = 0,    // the key does what it does on the keyboard by default
    Disabled = 1,   // the key does nothing
    Key = 2,        // acts as the key whose KeyCode is `value`
    Launch = 3,     // launch a program (path in the string table / string block)
    Macro = 4,      // play the macro whose id is the low 16 bits of `value`
    StopMacro = 5,  // stop the playing macro
    Text = 6,       // type a text block (text in the string table / string block)
    Media = 7,      // multimedia function, media index 0..17
    Function = 8,   // office function, function index 0..10
};

#pragma pack(push, 1)
struct KeyAssignment {
    std::uint16_t kind = 0;               // AssignmentKind
    std::uint16_t tag = 0;                // G-key number on G slots; macro cycles on kind 4; else 0
    std::uint32_t value = 0;              // by kind
    std::array<std::uint8_t, 8> extra{};  // not part of the assignment; writes keep it

    AssignmentKind Kind() const { return static_cast<AssignmentKind>(kind); }
    bool operator==(const KeyAssignment&) const = default;
};
#pragma pack(pop)
static_assert(sizeof(KeyAssignment) == 16, "KeyAssignment is 16 bytes");

// Slot numbering inside one profile's block of 512 records.
inline constexpr int kSlotsPerBlock = 512;
inline constexpr int kBlockCount = 4;    // profiles 0..2, plus block 3 carried along, never sent
inline constexpr int kGSlotBankA = 256;  // G key n+1 of bank A is slot 256 + n
inline constexpr int kGSlotBankB = 265;  // G key n+1 of bank B is slot 265 + n
inline constexpr int kGKeyCount = 9;
inline constexpr int kUsedSlots = 274;

// The record of profile p, slot s inside the key table of four blocks.
inline constexpr int RecordIndex(int profile, int slot) { return kSlotsPerBlock * profile + slot; }

// True for the 18 G-key slots 256..273.
inline constexpr bool IsGSlot(int slot) { return slot >= kGSlotBankA && slot < kUsedSlots; }

// Writes what an assignment is (bytes 0..7: kind, tag, value) and keeps bytes 8..15, which
// belong to the button-flag bookkeeping of the dialogs.
inline void StoreAssignmentFields(KeyAssignment& record, const KeyAssignment& assignment) {
    record.kind = assignment.kind;
    record.tag = assignment.tag;
    record.value = assignment.value;
}

// The G-key number stored in the tag of the G slots of the default table.
inline constexpr std::uint16_t GKeyNumber(int slot) {
    return slot >= kGSlotBankB ? static_cast<std::uint16_t>(0x1301 + (slot - kGSlotBankB))
                               : static_cast<std::uint16_t>(0x0301 + (slot - kGSlotBankA));
}

}  // namespace talvenix::keys
