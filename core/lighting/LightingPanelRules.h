// The lighting panel's rules, kept here so the panel itself only draws:
//  - which controls an effect shows;
//  - where the direction pictures sit and which pair they show;
//  - the slider faces;
//  - how the R, G, B edit boxes are cut and where their colour goes;
//  - where a click picks a colour from the colour wheel.
//
// Visibility by effect code (a control not named is hidden; the trigger pictures and the JT,
// TS and CD groups are always hidden):
//   effect combo, brightness caption and slider   1..18, 20
//   speed caption and slider                       1..5, 7..15
//   direction caption and both pictures            1, 2, 3, 12, 18
//   preset-colour pictures                         17
//   FY caption, colour button, random toggle       6, 16
//   HX caption, colour button, random toggle       1, 2, 3, 5, 7, 8, 9, 10, 13, 14, 15
//   USER group (colour buttons, tools, set combo)  20
// Code 19 and unknown codes show none of the lighting controls.
#pragma once

#include <optional>
#include <string_view>

#include "core/lighting/EffectCode.h"

namespace talvenix::lighting {

struct EffectControls {
    bool effectCombo = false;
    bool brightness = false;
    bool speed = false;
    bool direction = false;
    bool presetColours = false;
    bool fyGroup = false;
    bool hxGroup = false;
    bool userGroup = false;
    DirectionPictures directionPictures = DirectionPictures::None;
    // Suffix of the direction controls' layout keys (CONTROL_BLFXStatic, CONTROL_BLFXLStaPic,
    // CONTROL_BLFXRStaPic): "2" for effects 1..3, "3" for 12, none otherwise.
    std::string_view directionLayoutSuffix;
};

constexpr EffectControls VisibleControls(EffectCode code) {
    const EffectTraits t = TraitsOf(code);
    EffectControls c;
    if (!t.known) return c;
    c.effectCombo = true;
    c.brightness = t.brightness;
    c.speed = t.speed;
    c.direction = t.direction != DirectionPictures::None;
    c.directionPictures = t.direction;
    c.presetColours = t.colours == ColourControls::PresetColours;
    c.fyGroup = t.colours == ColourControls::FyColour;
    c.hxGroup = t.colours == ColourControls::HxColour;
    c.userGroup = t.colours == ColourControls::UserColours;
    c.directionLayoutSuffix = (code >= 1 && code <= 3) ? "2" : code == 12 ? "3" : "";
    return c;
}

// The direction picture pair the panel shows for an effect: spread/converge for 18, up/down for
// 12, left/right for every other effect (normal and pressed pictures of the first and second
// button).
struct DirectionPictureNames {
    std::string_view firstNormal, firstPressed, secondNormal, secondPressed;
};

constexpr DirectionPictureNames DirectionPicturesOf(EffectCode code) {
    if (code == 18) return {"kuosan.bmp", "kuosandown.bmp", "julong.bmp", "julongdown.bmp"};
    if (code == 12) return {"upup.bmp", "updown.bmp", "downup.bmp", "downdown.bmp"};
    return {"leftup.bmp", "leftdown.bmp", "rightup.bmp", "rightdown.bmp"};
}

// The first button (left / up / spread) is the chosen one for any non-zero direction byte.
constexpr bool DirectionIsFirst(unsigned direction) { return direction != 0; }

// Slider faces: picture k for brightness position k, picture 6 + k for speed position k.
constexpr int BrightnessFacePicture(int position) { return position; }
constexpr int SpeedFacePicture(int position) { return 6 + position; }

// An R, G or B edit box value: 256 or more becomes 255; below 0 becomes 0.
constexpr int ClampRgbComponent(int value) { return value > 255 ? 255 : value < 0 ? 0 : value; }

// The text of an R, G or B edit box as a component: digits only (spaces around them allowed),
// an empty box reads 0 (the user is retyping), and any longer number reads 255 without
// overflowing. Nullopt for anything else, so the box can refuse it and keep its value.
constexpr std::optional<int> ParseRgbBox(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    int value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return std::nullopt;
        value = ClampRgbComponent(value * 10 + (ch - '0'));
    }
    return value;
}

// The colour wheel: a left click at (x, y), measured from the main window's top-left corner,
// picks the screen pixel under the cursor when it lies within 63 pixels of (140, 144).
inline constexpr int kColourWheelCentreX = 140;
inline constexpr int kColourWheelCentreY = 144;
inline constexpr int kColourWheelRadius = 63;

constexpr bool IsOnColourWheel(int x, int y) {
    const long long dx = static_cast<long long>(x) - kColourWheelCentreX;
    const long long dy = static_cast<long long>(y) - kColourWheelCentreY;
    if (dx < -kColourWheelRadius || dx > kColourWheelRadius || dy < -kColourWheelRadius ||
        dy > kColourWheelRadius) {
        return false;
    }
    return dx * dx + dy * dy <= static_cast<long long>(kColourWheelRadius) * kColourWheelRadius;
}

// Where the colour of the R, G, B boxes goes: only while the colour-keys mode is on, by the
// effect the combo shows: 1..3, 5..10, 13..16 -> the HX colour (SetColour); 20 -> the base
// colour with tool 1 or the paint colour with tool 0; anything else -> nowhere.
enum class RgbTarget { None, HxColour, BaseColour, PaintColour };

constexpr RgbTarget RouteRgbEdit(bool colourKeysMode, EffectCode shown, int tool) {
    if (!colourKeysMode) return RgbTarget::None;
    if ((shown >= 1 && shown <= 3) || (shown >= 5 && shown <= 10) || (shown >= 13 && shown <= 16)) {
        return RgbTarget::HxColour;
    }
    if (shown == kEffectPerKeyColours) {
        if (tool == 1) return RgbTarget::BaseColour;
        if (tool == 0) return RgbTarget::PaintColour;
    }
    return RgbTarget::None;
}

}  // namespace talvenix::lighting
