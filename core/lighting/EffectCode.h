// Lighting effect codes (1..20) and what each one uses. The keyboard lists the codes it offers
// in its configuration block (see EffectList.h); the host knows what every code needs:
//
//   code            speed  direction pictures      writes on selection   colour controls
//   1, 2, 3         yes    left / right            code, random flag     HX colour + random
//   4               yes    -                       code                  -
//   5,7,8,9,13..15  yes    -                       code, random flag     HX colour + random
//   6, 16           no     -                       code                  FY colour + random
//   10              yes    -                       code                  HX colour + random
//   11              yes    -                       code                  -
//   12              yes    up / down               code                  -
//   17              no     -                       code                  four preset colours
//   18              no     spread / converge       code                  -
//   20              no     -                       code                  per-key colours (USER)
//
// Every code above also uses brightness. Code 19 and anything outside 1..20 use nothing: they
// send nothing when selected and show no lighting controls.
#pragma once

#include <cstdint>

namespace talvenix::lighting {

using EffectCode = int;

inline constexpr EffectCode kFirstEffect = 1;
inline constexpr EffectCode kLastEffect = 20;
inline constexpr EffectCode kEffectSeven = 7;  // carries the effect-7 flag at record offset 18
inline constexpr EffectCode kEffectPresetColours = 17;
inline constexpr EffectCode kEffectPerKeyColours = 20;

// What selecting an effect writes into the lighting record.
enum class SelectionWrites {
    Nothing,
    CodeOnly,           // offset 0
    CodeAndRandomFlag,  // offset 0, then offset 4
};

// Which pair of direction pictures an effect shows (first button = direction byte 0xFF).
enum class DirectionPictures {
    None,
    LeftRight,
    UpDown,
    SpreadConverge,
};

// Which colour controls an effect shows.
enum class ColourControls {
    None,
    HxColour,       // HX colour button with its random-colour toggle
    FyColour,       // FY colour button with its random-colour toggle
    PresetColours,  // the four preset colour pictures
    UserColours,    // the per-key colour tools and the colour-set combo
};

struct EffectTraits {
    bool known = false;  // has lighting controls at all (1..18, 20)
    bool brightness = false;
    bool speed = false;
    DirectionPictures direction = DirectionPictures::None;
    SelectionWrites selection = SelectionWrites::Nothing;
    ColourControls colours = ColourControls::None;
};

constexpr EffectTraits TraitsOf(EffectCode code) {
    EffectTraits t;
    if (code < kFirstEffect || code > kLastEffect || code == 19) return t;
    t.known = true;
    t.brightness = true;
    switch (code) {
        case 1:
        case 2:
        case 3:
            t.speed = true;
            t.direction = DirectionPictures::LeftRight;
            t.selection = SelectionWrites::CodeAndRandomFlag;
            t.colours = ColourControls::HxColour;
            break;
        case 5:
        case 7:
        case 8:
        case 9:
        case 13:
        case 14:
        case 15:
            t.speed = true;
            t.selection = SelectionWrites::CodeAndRandomFlag;
            t.colours = ColourControls::HxColour;
            break;
        case 4:
        case 11:
            t.speed = true;
            t.selection = SelectionWrites::CodeOnly;
            break;
        case 6:
        case 16:
            t.selection = SelectionWrites::CodeOnly;
            t.colours = ColourControls::FyColour;
            break;
        case 10:
            t.speed = true;
            t.selection = SelectionWrites::CodeOnly;
            t.colours = ColourControls::HxColour;
            break;
        case 12:
            t.speed = true;
            t.direction = DirectionPictures::UpDown;
            t.selection = SelectionWrites::CodeOnly;
            break;
        case 17:
            t.selection = SelectionWrites::CodeOnly;
            t.colours = ColourControls::PresetColours;
            break;
        case 18:
            t.direction = DirectionPictures::SpreadConverge;
            t.selection = SelectionWrites::CodeOnly;
            break;
        case 20:
            t.selection = SelectionWrites::CodeOnly;
            t.colours = ColourControls::UserColours;
            break;
        default:
            break;
    }
    return t;
}

}  // namespace talvenix::lighting
