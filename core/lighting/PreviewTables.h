// Fixed tables of the effect preview (see EffectPreview.h).
//
// Keys are named by PaintButton (PaintButton.h): the 104 key buttons in binding order plus Fn.
// The preview animates the 104 keys of the physical keyboard: the 103 key buttons other than
// the right Windows key (the keyboard has Fn in its place) and Fn. The right Windows button and
// the G buttons are never painted by the preview.
//
//  - Preview grid: 6 rows x 23 columns by physical position; a wide key fills several cells,
//    empty cells hold kNoKey. Row 5 lists 21 cells; its last two columns are empty.
//  - Snake order: a serpentine path through the 104 keys, starting at Pause. Positions in this
//    order ("preview positions", 0..103) index the per-key state of the renderer.
//  - Twinkle order: a fixed permutation of the 104 preview positions (effect 10).
//  - Ring bands: 12 bands of keys at growing distance from the O key (effect 18).
//  - Hue wheel (192 colours), brightness wave (96), pulse (128 used) and breathing (128) tables.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/lighting/Colour.h"
#include "core/lighting/PaintButton.h"

namespace talvenix::lighting::preview {

inline constexpr int kGridRows = 6;
inline constexpr int kGridColumns = 23;
inline constexpr int kPreviewKeys = 104;
inline constexpr PaintButton kNoKey = -1;

inline constexpr int kWheelSize = 192;
inline constexpr int kWaveSize = 96;
inline constexpr int kPulseRange = 128;
inline constexpr int kBreathingSize = 128;
inline constexpr int kRingBands = 12;

using GridRow = std::array<PaintButton, kGridColumns>;
extern const std::array<GridRow, kGridRows> kGrid;
extern const std::array<PaintButton, kPreviewKeys> kSnakeOrder;
extern const std::array<std::uint8_t, kPreviewKeys> kTwinkleOrder;  // preview positions

extern const std::array<Colour, kWheelSize> kHueWheel;
extern const std::array<std::uint8_t, kWaveSize> kBrightnessWave;
extern const std::array<std::uint8_t, kPulseRange> kPulse;  // the listed values, then zeros
extern const std::array<std::uint8_t, kBreathingSize> kBreathing;

// The keys of ring band b (0..11).
std::span<const PaintButton> RingBand(int band);

// The preview position (0..103) of a button; -1 when the preview never paints it.
int PreviewPosition(PaintButton button);

}  // namespace talvenix::lighting::preview
