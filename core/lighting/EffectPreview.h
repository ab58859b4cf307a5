// The on-screen preview of a lighting effect: every tick (the panel runs one each 50 ms while
// the colour-keys mode is on) turns the mirror's effect code, colour, random-colour flag and
// direction byte into a colour, or none, for every key button. Nothing is sent to the keyboard.
//
// Conventions (tables in PreviewTables.h):
//  - "colour x k" scales each of R, G, B by k / 255, rounding down;
//  - a phase that "steps n" moves n per tick, forward when the direction byte is non-zero and
//    backward when it is 0, wrapping within its range; every effect keeps its own phase, and
//    phases survive effect changes;
//  - the phase moves before the frame is drawn (effect 4 with direction 0 shows wheel[190],
//    wheel[188], ... from phase 0);
//  - column effects paint a wide key once per cell it fills, left to right, so it shows the
//    colour of its rightmost cell.
//
//  effect  random colour on                               random colour off
//  1       phase +-9 on the wheel; column c: wheel[phase+9c]  phase +-7 on the wave;
//                                                         column c: colour x wave[phase+7c]
//  2       phase +-4 on the wheel; column c: wheel[phase+5c]  phase +4 (mod 128, any direction);
//                                                         column c: colour x pulse[phase+-5c]
//                                                         (+ when the direction byte is 0xFF)
//  3       phase +-4; snake key i: wheel[phase+5i]        phase +-4 on the wave;
//                                                         snake key i: colour x wave[phase+5i]
//  4       phase +-2; every key wheel[phase]              same
//  5       phase +2 (mod 128); column c: wheel[7c] x breathing[phase]; off: colour x breathing
//  6       column c: wheel[9c] (column 22: wheel[0])      every key the colour; both fixed
//  10      3 more keys of the twinkle order per tick get brightness 255 and a random hue;
//          keys show wheel[hue] x brightness (off: colour x brightness)
//  11      snake key k starts at hue 33(k+1) mod 192; every hue moves +3 per tick, 192 or more
//          becomes 0; keys show wheel[hue] (random flag ignored)
//  12      phase +-3; row r: wheel[phase+32r]             same
//  13..16  wave fronts (below)
//  18      phase +-2; ring band b: wheel[phase+21(b+1)]   same
//  20      no animation: the frame says "unchanged" so the stored per-key colours stay
//  other   (7, 8, 9, 17, 19, ...) every key cleared
//
// Effects 10 and 13..16 keep a brightness (0..255) and a hue (0..191) per key. Every tick each
// brightness first decays: 128 or more falls by 20 (effect 14: 30), 64..127 by 16 (effect 14:
// 20), 32..63 by 10, 17..31 by 5, 1..16 by 1.
//
// Wave fronts (13..16) run on four bit grids of 23 x 6 cells, each moving one cell per tick:
// up, down, left, right; bits leaving the grid vanish. A tick: decay; move the grids; add the
// effect's sources; then every key with a set cell in any grid gets brightness 255 (and, with
// random colour on, a new random hue). The grids start empty; "pressing" a cell sets it in all
// four grids, so a press spreads as a cross. Sources:
//  13  when every grid is empty, press two fixed cells: row 1 column 5 (the 4 key) and row 4
//      column 17 (Up); so the first tick starts them and they restart whenever they run out.
//  14  a scripted game of presses in five stages over a 40-tick loop: W at tick 0, A at 6,
//      S at 12, D at 18, Space at 24 of the loop (the loop counter is the effect's phase).
//  15  rain: every tick three drops in row 0 of the down grid, at columns p, p+3, p+6 (mod 23),
//      then p moves on by 9 (mod 23), so the drops advance by 3 columns and wrap after 22.
//  16  when every grid is empty, a bar in column 1 (all six rows, starting at row 0) is put in
//      the right grid and sweeps across the keyboard.
//
// A change of effect since the last tick clears the brightness and hue arrays and empties the
// grids first; phases keep their values. Random numbers come from the injected source.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/lighting/Colour.h"
#include "core/lighting/EffectCode.h"
#include "core/lighting/LightingMirror.h"
#include "core/lighting/PaintButton.h"
#include "core/lighting/PreviewTables.h"

namespace talvenix::lighting {

struct PreviewInput {
    EffectCode effect = 0;
    Colour colour = 0;
    bool random = false;
    std::uint8_t direction = 0;

    static PreviewInput FromMirror(const LightingMirror& m) {
        return {m.effect, m.colour, m.random, m.direction};
    }
};

struct PreviewFrame {
    // True when the buttons keep what they show (effect 20: the stored per-key colours).
    bool unchanged = false;
    // Per paint button (PaintButton.h): the colour to show, or none to clear it. The right
    // Windows key and the G keys are always none: the preview does not paint them.
    std::array<std::optional<Colour>, kPaintButtonCount> colours{};
};

class EffectPreview {
public:
    // Returns a uniformly distributed 32-bit number.
    using RandomSource = std::function<std::uint32_t()>;

    // Without a source, a Mersenne twister seeded from std::random_device is used.
    explicit EffectPreview(RandomSource random = {});

    PreviewFrame Tick(const PreviewInput& input);
    PreviewFrame Tick(const LightingMirror& mirror) { return Tick(PreviewInput::FromMirror(mirror)); }

    // The phase counter of an effect (0 for codes outside 0..20).
    int Phase(EffectCode code) const;
    // Per-key brightness and hue of effects 10 and 13..16, by preview position (0..103).
    int Brightness(int position) const { return brightness_.at(static_cast<std::size_t>(position)); }
    int Hue(int position) const { return hue_.at(static_cast<std::size_t>(position)); }

private:
    using Grid = std::array<std::uint32_t, preview::kGridRows>;  // one bit per column
    enum GridDirection { kUp, kDown, kLeft, kRight };

    void ResetEffectState();
    int& PhaseOf(EffectCode code) { return phases_[static_cast<std::size_t>(code)]; }
    void Step(int& phase, int n, int range, bool forward);
    void Decay(EffectCode code);
    void Light(int position, bool random);
    void Press(int row, int column);
    void MoveGrids();
    bool GridsEmpty() const;
    void RunWaveFronts(const PreviewInput& in);
    void RunTwinkle(const PreviewInput& in);
    std::uint32_t NextRandom();

    RandomSource random_;
    std::array<int, kLastEffect + 1> phases_{};
    std::optional<EffectCode> lastEffect_;
    bool drawing_ = false;
    std::array<std::uint8_t, preview::kPreviewKeys> brightness_{};
    std::array<std::uint8_t, preview::kPreviewKeys> hue_{};
    std::array<int, preview::kPreviewKeys> effect11Hue_{};
    std::array<Grid, 4> grids_{};
};

}  // namespace talvenix::lighting
