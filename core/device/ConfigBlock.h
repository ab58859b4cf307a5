// Shared memory-area types of the keyboard: the configuration block and the key block.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace talvenix::device {

// The keyboard's 44-byte configuration block (command 3 reads it, command 4 writes it).
//   byte 10: the active hardware profile; byte 11: macro memory capacity in 128-byte units;
//   bytes 12..43: up to 32 offered lighting-effect codes, 0 for an empty slot.
// Bytes 0..9 mean nothing to us; a read-modify-write keeps them.
struct ConfigBlock {
    static constexpr std::size_t kSize = 44;
    static constexpr std::size_t kCurrentProfileOffset = 10;
    static constexpr std::size_t kMacroSpaceOffset = 11;
    static constexpr std::size_t kEffectsOffset = 12;
    static constexpr std::size_t kEffectSlots = 32;

    std::array<std::uint8_t, kSize> bytes{};

    int CurrentProfile() const { return bytes[kCurrentProfileOffset]; }
    void SetCurrentProfile(int p) { bytes[kCurrentProfileOffset] = static_cast<std::uint8_t>(p); }
    // Macro memory capacity in bytes.
    int MacroSpace() const { return bytes[kMacroSpaceOffset] * 128; }
    std::uint8_t EffectSlot(std::size_t i) const { return bytes[kEffectsOffset + i]; }
};

// One profile's key area: 126 positions x 3 bytes, in the keyboard's own key order.
// The factory (default) layout has the same form.
inline constexpr std::size_t kKeyBlockEntries = 126;
inline constexpr std::size_t kKeyBlockSize = kKeyBlockEntries * 3;  // 378
using KeyBlock = std::array<std::uint8_t, kKeyBlockSize>;

inline constexpr int kProfileCount = 3;

}  // namespace talvenix::device
