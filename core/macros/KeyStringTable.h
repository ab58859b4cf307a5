// The paths (launch program) and texts (text block) that key assignments carry, one slot per
// key record of the key table (slot 512 * profile + key slot). The keyboard never sees them;
// profile files keep them in their string block.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/macros/ProfileImage.h"

namespace talvenix::macros {

class KeyStringTable {
public:
    // Whether slot `slot` holds a string (an empty text still counts: it takes 2 bytes).
    bool Has(int slot) const;
    // The text of slot `slot`; empty when there is none or the slot is out of range.
    const std::u16string& Text(int slot) const;
    // Size of slot `slot` in bytes including the terminating NUL; 0 = no string.
    std::uint32_t SizeOf(int slot) const;
    // Stores `text` (cut at its first NUL) in slot `slot`; ignored for a slot out of range.
    void Set(int slot, std::u16string_view text);
    void Clear(int slot);
    void Clear();  // every slot
    // The sum of every slot's size in bytes: the size of the string block a save writes.
    std::uint32_t TotalSize() const { return total_; }

    bool operator==(const KeyStringTable&) const = default;

private:
    struct Slot {
        std::u16string text;
        bool present = false;
        bool operator==(const Slot&) const = default;
    };
    std::array<Slot, kKeyRecords> slots_{};
    std::uint32_t total_ = 0;
};

// Whether records of this kind own a string (launch program and text block).
bool KindOwnsString(std::uint16_t kind);

// Builds the string block of a save: TotalSize() bytes, zero where no string lies. Walking the
// key records in order with a running offset from 0, each record of kind 3 or 6 whose slot holds
// a string that still fits gets it copied at the offset (rounded down to even) and the offset
// stored in its value field. A record of kind 3 or 6 that gets no string has the block size
// stored instead, so it cannot pick up another record's string when the file is loaded again.
// Other records and their slots are left alone.
std::vector<std::uint8_t> PackKeyStrings(ProfileImage& image, const KeyStringTable& strings);

// The reverse, bounded to `block`: each record of kind 3 or 6 takes the string at its offset
// (rounded down to even). An offset outside the block, or a string with no NUL inside it, leaves
// that record without a string. Returns how many records were left without one that way; an
// offset equal to the block size (a save's mark for "no string") is not counted.
int UnpackKeyStrings(const ProfileImage& image, std::span<const std::uint8_t> block, KeyStringTable& strings);

}  // namespace talvenix::macros
