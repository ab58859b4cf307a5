#include "core/lighting/LightingMirror.h"

#include <algorithm>

namespace talvenix::lighting {

void LightingMirror::FillFromRecord(const LightingRecord& record) {
    using O = LightingRecord::Offset;
    const auto& b = record.bytes;
    effect = b[O::kEffect];
    // A byte beyond the slider's six positions would leave the slider without a face.
    brightness = std::min<int>(b[O::kBrightness], kSliderMax);
    speed = std::min<int>(b[O::kSpeed], kSliderMax);
    direction = b[O::kDirection];
    presetColour = b[O::kPresetColour] <= kPresetColourMax ? b[O::kPresetColour] : 0;
    reportRate = std::min<int>(b[O::kReportRate], kReportRateMax);
    colour = record.ColourAt(O::kColour);
    if (effect == kEffectSeven && b[O::kEffectSevenFlag] <= 1) effectSevenFlag = b[O::kEffectSevenFlag] == 1;
    if (b[O::kTrigger] <= 1) SetTrigger(b[O::kTrigger] == 0 ? Trigger::Single : Trigger::Grid);
    random = b[O::kRandom] != 0;
    secondColour = record.ColourAt(O::kSecondColour);
    secondRandom = b[O::kSecondRandom] != 0;
    thirdColour = record.ColourAt(O::kThirdColour);
    thirdRandom = b[O::kThirdRandom] != 0;
}

}  // namespace talvenix::lighting
