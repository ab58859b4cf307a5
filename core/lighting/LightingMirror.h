// The host's copy of the current profile's lighting values. It is refreshed from the record
// on every read-back and updated by every write, whether or not the keyboard took the write,
// so the panel always shows what the user last chose.
#pragma once

#include <cstdint>

#include "core/lighting/Colour.h"
#include "core/lighting/EffectCode.h"
#include "core/lighting/LightingRecord.h"

namespace talvenix::lighting {

enum class Trigger { Single = 0, Grid = 1 };

struct LightingMirror {
    EffectCode effect = 0;
    int brightness = 0;          // 0..5 as stored (= slider position)
    int speed = 0;               // 0..5 as stored (slider position = 5 - speed)
    std::uint8_t direction = 0;  // 0xFF first button, 0x00 second
    int presetColour = 0;        // 0..3
    int reportRate = 0;          // 0..3
    bool random = false;         // record offset 4 != 0
    bool effectSevenFlag = false;
    bool triggerSingle = false;  // the trigger kind as a pair, as the panel holds it:
    bool triggerGrid = false;    // both false until a record says otherwise
    Colour colour = 0;
    Colour secondColour = 0;
    Colour thirdColour = 0;
    bool secondRandom = false;
    bool thirdRandom = false;

    // Refreshes every field from a record read back from the keyboard:
    //  - brightness and speed above 5 are shown as 5;
    //  - the report rate is capped at 3;
    //  - a preset colour above 3 is shown as 0;
    //  - the effect-7 flag is taken only when the effect is 7 and the byte is 0 or 1;
    //  - the trigger kind is taken only when the byte is 0 or 1.
    // Fields whose byte is not taken keep their value.
    void FillFromRecord(const LightingRecord& record);

    bool IsTrigger(Trigger t) const { return t == Trigger::Single ? triggerSingle : triggerGrid; }
    void SetTrigger(Trigger t) {
        triggerSingle = t == Trigger::Single;
        triggerGrid = t == Trigger::Grid;
    }
    // Slider positions as the panel shows them.
    int BrightnessPosition() const { return brightness; }
    int SpeedPosition() const { return kSliderMax - speed; }
};

}  // namespace talvenix::lighting
