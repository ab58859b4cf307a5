// The keyboard's per-profile lighting record: 42 bytes at keyboard address profile x 42
// (profiles 0..2 occupy addresses 0..125 of the lighting area).
//
//   offset width field
//     0     1   effect code
//     1     1   brightness 0..5 (the brightness slider position)
//     2     1   speed 0..5 = 5 - speed slider position
//     3     1   direction: 0xFF first button (left / up / spread), 0x00 second (right / down / converge)
//     4     1   random colour: 0 = use the colour at 5..7, else random (we write 1)
//     5     3   colour R, G, B
//     8     7   (kept and forwarded, not interpreted)
//    15     1   report-rate index 0..3 (a value above 3 is shown as 3)
//    16     1   (kept)
//    17     1   preset colour for effect 17: 0 red, 1 yellow, 2 green, 3 blue
//    18     1   effect-7 flag (0 / 1), meaningful only while the effect is 7
//    19     1   trigger kind: 0 single-key, 1 grid
//    20     5   (kept)
//    25     3   second colour R, G, B      28  1  second random flag
//    29     1   (kept)
//    30     3   third colour R, G, B       33  1  third random flag
//    34     8   (kept)
//
// The reset image is the first 35 bytes written by "restore the default settings": effect 1,
// brightness 4, speed 1, direction 0x00, random colour on, colour red, report-rate byte 0xFF,
// preset colour 0, single-key trigger, second and third colours white with random off.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/lighting/Colour.h"

namespace talvenix::lighting {

inline constexpr int kLightingProfiles = 3;

struct LightingRecord {
    static constexpr std::size_t kSize = 42;

    enum Offset : std::size_t {
        kEffect = 0,
        kBrightness = 1,
        kSpeed = 2,
        kDirection = 3,
        kRandom = 4,
        kColour = 5,
        kReportRate = 15,
        kPresetColour = 17,
        kEffectSevenFlag = 18,
        kTrigger = 19,
        kSecondColour = 25,
        kSecondRandom = 28,
        kThirdColour = 30,
        kThirdRandom = 33,
    };

    std::array<std::uint8_t, kSize> bytes{};

    Colour ColourAt(std::size_t offset) const {
        return MakeColour(bytes[offset], bytes[offset + 1], bytes[offset + 2]);
    }
    void SetColourAt(std::size_t offset, Colour c) {
        const auto b = ColourBytes(c);
        bytes[offset] = b[0];
        bytes[offset + 1] = b[1];
        bytes[offset + 2] = b[2];
    }
};

// Keyboard address of `offset` in the record of `profile` (0..2).
constexpr std::uint16_t LightingAddress(int profile, std::size_t offset) {
    return static_cast<std::uint16_t>(profile * static_cast<int>(LightingRecord::kSize) +
                                      static_cast<int>(offset));
}

inline constexpr std::size_t kResetImageSize = 35;
inline constexpr std::array<std::uint8_t, kResetImageSize> kLightingResetImage = {
    0x01, 0x04, 0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x08, 0xFF, 0xFF, 0xFF,
    0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00,
    0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00,
};

// Direction byte values.
inline constexpr std::uint8_t kDirectionFirst = 0xFF;
inline constexpr std::uint8_t kDirectionSecond = 0x00;

// Brightness and speed slider positions, report-rate and preset-colour indexes.
inline constexpr int kSliderMax = 5;
inline constexpr int kReportRateMax = 3;
inline constexpr int kPresetColourMax = 3;

}  // namespace talvenix::lighting
