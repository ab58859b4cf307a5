// Colours as the program passes them around: 24-bit values with red in bits 0..7, green in
// 8..15 and blue in 16..23. The keyboard takes them as three bytes R, G, B in that order.
#pragma once

#include <array>
#include <cstdint>

namespace talvenix::lighting {

using Colour = std::uint32_t;

inline constexpr Colour kColourMask = 0xFFFFFF;
inline constexpr Colour kRed = 0x0000FF;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kBlack = 0x000000;

constexpr Colour MakeColour(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
constexpr std::uint8_t RedOf(Colour c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t GreenOf(Colour c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t BlueOf(Colour c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }

// True when the value fits in 24 bits.
constexpr bool IsColour(std::uint32_t value) { return (value & ~kColourMask) == 0; }

// The three bytes the keyboard stores: R, G, B.
constexpr std::array<std::uint8_t, 3> ColourBytes(Colour c) { return {RedOf(c), GreenOf(c), BlueOf(c)}; }

// Each component multiplied by k (0..255) and divided by 255, rounding down: how the preview
// dims a colour.
constexpr Colour ScaleColour(Colour c, int k) {
    auto scale = [k](std::uint8_t v) { return static_cast<std::uint8_t>(v * k / 255); };
    return MakeColour(scale(RedOf(c)), scale(GreenOf(c)), scale(BlueOf(c)));
}

}  // namespace talvenix::lighting
