#include "core/lighting/KeyColourTable.h"

namespace talvenix::lighting {

Colour KeyColourTable::SlotColour(int slot) const {
    if (slot < 0 || slot >= kLedSlots) return kBlack;
    const auto i = static_cast<std::size_t>(slot) * 3;
    return MakeColour(rgb[i], rgb[i + 1], rgb[i + 2]);
}

void KeyColourTable::SetSlotColour(int slot, Colour colour) {
    if (slot < 0 || slot >= kLedSlots) return;
    const auto i = static_cast<std::size_t>(slot) * 3;
    const auto b = ColourBytes(colour);
    rgb[i] = b[0];
    rgb[i + 1] = b[1];
    rgb[i + 2] = b[2];
}

std::array<std::uint8_t, KeyColourTable::kChunkBytes> KeyColourTable::Chunk(int firstSlot) const {
    std::array<std::uint8_t, kChunkBytes> out{};
    for (std::size_t k = 0; k < kChunkBytes; ++k) {
        const std::size_t i = static_cast<std::size_t>(firstSlot) * 3 + k;
        if (i < rgb.size()) out[k] = rgb[i];
    }
    return out;
}

}  // namespace talvenix::lighting
