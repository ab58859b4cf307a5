// One profile's per-key colours as the host holds them: 126 LED slots x R, G, B (the keyboard's
// 6 x 21 matrix, slot = row x 21 + column), and alongside, one base-colour flag per paint
// button (PaintButton.h; 1 = painted with the base colour, so a new base colour repaints it).
// Flags belong to buttons, not slots: the nine G keys share slot 125 but keep a flag each.
//
// The keyboard holds the same colours in a 512-byte bank per profile, written with command 17
// at address profile x 512 + first slot x 3. The whole table goes out as eight 54-byte chunks
// (18 slots each) from slots 0, 18, ..., 126; the last chunk reaches past slot 125 and carries
// zeros there.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/lighting/Colour.h"
#include "core/lighting/PaintButton.h"

namespace talvenix::lighting {

struct KeyColourTable {
    static constexpr int kChunkSlots = 18;
    static constexpr std::size_t kChunkBytes = kChunkSlots * 3;  // 54
    static constexpr int kChunks = 8;

    std::array<std::uint8_t, kLedSlots * 3> rgb{};
    std::array<bool, kPaintButtonCount> baseFlag{};

    Colour SlotColour(int slot) const;
    void SetSlotColour(int slot, Colour colour);
    // 54 bytes from `firstSlot` on; slots past 125 read as zero.
    std::array<std::uint8_t, kChunkBytes> Chunk(int firstSlot) const;
};

}  // namespace talvenix::lighting
