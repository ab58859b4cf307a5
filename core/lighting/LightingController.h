// Lighting of the current hardware profile: read-back from the keyboard and every change the
// lighting panel (or the CLI) makes.
//
// Each change is one keyboard transaction: begin (command 1), one or more lighting writes
// (command 6) at keyboard address profile x 42 + record offset, end (command 2). The mirror
// and the held copy of the record follow every write whether or not the keyboard took it,
// so the panel shows what the user chose; the operation returns the device result (1 on
// success, else the first failure of begin, writes and end) so callers can tell the user that
// the keyboard did not take the change. An operation with nothing to send returns 1; an
// argument out of range returns kLightingBadArgument and changes nothing.
//
// Writes by operation (offset: bytes):
//   SelectEffect      0: code, then 4: random flag (codes 1,2,3,5,7,8,9,13,14,15)
//                     0: code only (4,6,10,11,12,16,17,18,20); nothing for any other code
//   SetBrightness     1: position             (nothing when unchanged)
//   SetSpeed          2: 5 - position         (nothing when unchanged; "unchanged" means the
//                                              mirror and the held record agree, so a byte
//                                              above 5 shown capped is still overwritten)
//   SetDirection      3: 0xFF first / 0x00 second
//   SetColour         4: 0, then 5..7: R G B  (random flag off; the FY button also clears
//                                              the effect-7 flag)
//   ToggleRandom      4: new flag (1 / 0)     (the FY toggle flips the effect-7 flag with it)
//   SetTrigger        19: 0 single / 1 grid   (nothing when already that kind)
//   SetSecondColour   28: 0, then 25..27      ToggleSecondRandom  28
//   SetThirdColour    33: 0, then 30..32      ToggleThirdRandom   33
//   SetPresetColour   17: index 0..3          SetReportRate       15: index 0..3
//   ResetLighting     0..34: the reset image, one write
//
// Single-threaded: the owner serialises calls (the GUI thread, or one CLI command).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <utility>
#include <vector>

#include "core/device/ConfigBlock.h"
#include "core/device/ReportTransport.h"
#include "core/lighting/Colour.h"
#include "core/lighting/EffectList.h"
#include "core/lighting/LightingMirror.h"
#include "core/lighting/LightingRecord.h"

namespace talvenix::lighting {

// Files the read-back consults. Empty paths are skipped (names default to "1", mode off).
struct LightingFiles {
    std::filesystem::path skinMain;  // Skins/Main.ini: effect names
    std::filesystem::path settings;  // <Documents>/Talvenix/wskb.ini: the colour-keys mode
};

enum class DirectionButton { First, Second };  // left/up/spread, right/down/converge
enum class ColourButton { Hx, Fy };

class LightingController {
public:
    explicit LightingController(device::ReportTransport& transport, LightingFiles files = {});

    // The hardware profile (0..2) whose record every write addresses. False for another value.
    bool SetProfile(int profile);
    int Profile() const { return profile_; }

    // Reads the configuration block and the three records, refreshes the mirror from the
    // current profile's record, reads the colour-keys mode and rebuilds the effect combo with
    // the names of `languageIndex`. Returns 0, or -1 when the configuration block could not be
    // read (combo left empty, mirror unchanged) or when the current profile's record could not
    // be read (mirror unchanged; the combo is rebuilt). A record that could not be read keeps
    // its previous contents.
    int ReadLighting(int languageIndex);

    int SelectEffect(int comboIndex);
    // Selects by code through the combo map; kLightingBadArgument when the code is not offered.
    int SelectEffectCode(EffectCode code);
    int SetBrightness(int position);
    int SetSpeed(int position);
    int SetDirection(DirectionButton button);
    int SetColour(Colour colour, ColourButton button = ColourButton::Hx);
    int ToggleRandom(ColourButton toggle = ColourButton::Hx);
    int SetTrigger(Trigger kind);
    int SetSecondColour(Colour colour);
    int SetThirdColour(Colour colour);
    int ToggleSecondRandom();
    int ToggleThirdRandom();
    int SetPresetColour(int index);
    int SetReportRate(int index);
    int ResetLighting();

    // The colour-keys mode as last read or written. Writing stores it in the settings file;
    // false when that failed (the held value changes anyway, as the panel does).
    bool ColourKeysMode() const { return colourKeysMode_; }
    bool SetColourKeysMode(bool on);

    const LightingMirror& Mirror() const { return mirror_; }
    const LightingRecord& Record(int profile) const { return records_.at(static_cast<std::size_t>(profile)); }
    const device::ConfigBlock& Config() const { return config_; }
    const EffectList& Effects() const { return effects_; }
    const EffectComboMap& ComboMap() const { return combo_; }
    // The combo's items (index, code, name), in combo order.
    const std::vector<EffectComboItem>& ComboItems() const { return comboItems_; }
    // The effect the combo shows: the mirror's effect.
    EffectCode CurrentEffect() const { return mirror_.effect; }
    device::ReportTransport& Transport() { return transport_; }
    const LightingFiles& Files() const { return files_; }

private:
    using Write = std::pair<std::size_t, std::vector<std::uint8_t>>;  // record offset, bytes
    int Send(const std::vector<Write>& writes);
    // The current profile's record byte as last read or written.
    int HeldByte(std::size_t offset) const {
        return records_[static_cast<std::size_t>(profile_)].bytes[offset];
    }

    device::ReportTransport& transport_;
    LightingFiles files_;
    int profile_ = 0;
    device::ConfigBlock config_{};
    std::array<LightingRecord, kLightingProfiles> records_{};
    LightingMirror mirror_;
    EffectList effects_;
    EffectComboMap combo_;
    std::vector<EffectComboItem> comboItems_;
    bool colourKeysMode_ = false;
};

}  // namespace talvenix::lighting
