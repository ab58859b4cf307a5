#include "core/lighting/LightingActions.h"

#include "core/lighting/Colour.h"
#include "core/lighting/LightingResult.h"

namespace talvenix::lighting {

RgbEditOutcome ApplyRgbBoxes(LightingController& lighting, UserColours& userColours, int r, int g, int b) {
    RgbEditOutcome out;
    out.shown = {ClampRgbComponent(r), ClampRgbComponent(g), ClampRgbComponent(b)};
    const Colour colour =
        MakeColour(static_cast<std::uint8_t>(out.shown[0]), static_cast<std::uint8_t>(out.shown[1]),
                   static_cast<std::uint8_t>(out.shown[2]));
    out.target = RouteRgbEdit(lighting.ColourKeysMode(), lighting.CurrentEffect(), userColours.Tool());
    switch (out.target) {
        case RgbTarget::HxColour:
            out.result = lighting.SetColour(colour, ColourButton::Hx);
            break;
        case RgbTarget::BaseColour:
            out.result = userColours.SetBaseColour(colour);
            break;
        case RgbTarget::PaintColour:
            out.result = userColours.SetPaintColour(colour);
            break;
        case RgbTarget::None:
            break;
    }
    return out;
}

int RestoreLightingDefaults(LightingController& lighting, UserColours& userColours) {
    if (!lighting.ColourKeysMode()) return kLightingOk;
    int result = kLightingOk;
    auto keep = [&result](int r) {
        if (result == kLightingOk && r != kLightingOk) result = r;
    };
    if (lighting.ComboMap().IndexOf(1) >= 0) keep(lighting.SelectEffectCode(1));
    if (lighting.Effects().Offers(kEffectPerKeyColours)) keep(userColours.ResetUserColours());
    keep(lighting.ResetLighting());
    return result;
}

}  // namespace talvenix::lighting
