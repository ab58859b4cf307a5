// Panel actions that combine the lighting controller and the per-key colours.
#pragma once

#include <array>

#include "core/lighting/LightingController.h"
#include "core/lighting/LightingPanelRules.h"
#include "core/lighting/UserColours.h"

namespace talvenix::lighting {

struct RgbEditOutcome {
    std::array<int, 3> shown{};          // the box values after clamping (R, G, B)
    RgbTarget target = RgbTarget::None;  // where the colour went
    int result = 1;                      // the operation's result (1 when it went nowhere)
};

// One of the R, G, B boxes changed: clamps the three values and, while the colour-keys mode is
// on, applies the colour R + G x 256 + B x 65536 as RouteRgbEdit says.
RgbEditOutcome ApplyRgbBoxes(LightingController& lighting, UserColours& userColours, int r, int g, int b);

// The lighting half of "restore the default settings", done only while the colour-keys mode
// is on: select effect 1 (when the keyboard offers it), reset the per-key colours of the
// current profile (when the keyboard offers effect 20), then write the reset image. The panel
// then shows the mirror (effect 1, brightness 4, speed position 4, red, random on). Returns 1
// or the first failure.
int RestoreLightingDefaults(LightingController& lighting, UserColours& userColours);

}  // namespace talvenix::lighting
