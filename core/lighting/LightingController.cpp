#include "core/lighting/LightingController.h"

#include <algorithm>

#include "core/device/Commands.h"
#include "core/device/DeviceReport.h"
#include "core/device/ResultCodes.h"
#include "core/lighting/ColourKeysMode.h"
#include "core/lighting/EffectNames.h"
#include "core/lighting/LightingResult.h"
#include "core/text/IniFile.h"

namespace talvenix::lighting {

namespace {

using O = LightingRecord::Offset;

std::vector<std::uint8_t> Byte(int value) { return {static_cast<std::uint8_t>(value)}; }

std::vector<std::uint8_t> Rgb(Colour c) {
    const auto b = ColourBytes(c);
    return {b.begin(), b.end()};
}

}  // namespace

LightingController::LightingController(device::ReportTransport& transport, LightingFiles files)
    : transport_(transport), files_(std::move(files)) {}

bool LightingController::SetProfile(int profile) {
    if (profile < 0 || profile >= kLightingProfiles) return false;
    profile_ = profile;
    return true;
}

int LightingController::ReadLighting(int languageIndex) {
    comboItems_.clear();
    combo_.Clear();
    effects_.Clear();

    device::ConfigBlock block;
    if (device::ReadConfigBlock(transport_, block) != device::kOk) return -1;
    config_ = block;
    effects_ = EffectList::FromConfigBlock(block);

    std::array<bool, kLightingProfiles> read{};
    device::RunWriteSequence(transport_, [&] {
        for (int p = 0; p < kLightingProfiles; ++p) {
            std::array<std::uint8_t, device::kMaxPayload> buffer{};
            if (device::ReadLighting(transport_, buffer, device::kMaxPayload, LightingAddress(p, 0)) ==
                device::kOk) {
                std::copy_n(buffer.begin(), LightingRecord::kSize,
                            records_[static_cast<std::size_t>(p)].bytes.begin());
                read[static_cast<std::size_t>(p)] = true;
            }
        }
        return device::kOk;
    });
    const bool currentRead = read[static_cast<std::size_t>(profile_)];
    if (currentRead) mirror_.FillFromRecord(records_[static_cast<std::size_t>(profile_)]);

    colourKeysMode_ = !files_.settings.empty() && ReadColourKeysMode(files_.settings);

    combo_ = EffectComboMap::FromList(effects_);
    const text::IniFile skin = files_.skinMain.empty() ? text::IniFile() : text::IniFile(files_.skinMain);
    for (std::size_t i = 0; i < combo_.Size(); ++i) {
        const int index = static_cast<int>(i);
        const EffectCode code = *combo_.CodeAt(index);
        comboItems_.push_back({index, code, EffectName(skin, languageIndex, code)});
    }
    return currentRead ? 0 : -1;
}

int LightingController::Send(const std::vector<Write>& writes) {
    auto& record = records_[static_cast<std::size_t>(profile_)];
    for (const auto& [offset, bytes] : writes)
        std::copy(bytes.begin(), bytes.end(), record.bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    if (writes.empty()) return kLightingOk;
    return device::RunWriteSequence(transport_, [&] {
        // Every write of the transaction goes out even when an earlier one failed: the
        // keyboard gets as much of the change as it takes; the first failure is reported.
        int result = device::kOk;
        for (const auto& [offset, bytes] : writes) {
            const int r = device::WriteLighting(transport_, bytes, LightingAddress(profile_, offset));
            if (result == device::kOk && r != device::kOk) result = r;
        }
        return result;
    });
}

int LightingController::SelectEffect(int comboIndex) {
    const auto code = combo_.CodeAt(comboIndex);
    if (!code) return kLightingBadArgument;
    mirror_.effect = *code;
    switch (TraitsOf(*code).selection) {
        case SelectionWrites::CodeAndRandomFlag:
            return Send({{O::kEffect, Byte(*code)}, {O::kRandom, Byte(mirror_.random ? 1 : 0)}});
        case SelectionWrites::CodeOnly:
            return Send({{O::kEffect, Byte(*code)}});
        case SelectionWrites::Nothing:
            break;
    }
    return kLightingOk;
}

int LightingController::SelectEffectCode(EffectCode code) {
    const int index = combo_.IndexOf(code);
    if (index < 0) return kLightingBadArgument;
    return SelectEffect(index);
}

int LightingController::SetBrightness(int position) {
    if (position < 0 || position > kSliderMax) return kLightingBadArgument;
    // The mirror shows an out-of-range byte capped at 5; only a keyboard that already holds
    // the position makes the move a no-op, or choosing 5 would never reach it.
    if (position == mirror_.brightness && HeldByte(O::kBrightness) == position) return kLightingOk;
    mirror_.brightness = position;
    return Send({{O::kBrightness, Byte(position)}});
}

int LightingController::SetSpeed(int position) {
    if (position < 0 || position > kSliderMax) return kLightingBadArgument;
    const int value = kSliderMax - position;
    if (value == mirror_.speed && HeldByte(O::kSpeed) == value) return kLightingOk;
    mirror_.speed = value;
    return Send({{O::kSpeed, Byte(value)}});
}

int LightingController::SetDirection(DirectionButton button) {
    mirror_.direction = button == DirectionButton::First ? kDirectionFirst : kDirectionSecond;
    return Send({{O::kDirection, Byte(mirror_.direction)}});
}

int LightingController::SetColour(Colour colour, ColourButton button) {
    if (!IsColour(colour)) return kLightingBadArgument;
    mirror_.random = false;
    mirror_.colour = colour;
    if (button == ColourButton::Fy) mirror_.effectSevenFlag = false;
    return Send({{O::kRandom, Byte(0)}, {O::kColour, Rgb(colour)}});
}

int LightingController::ToggleRandom(ColourButton toggle) {
    mirror_.random = !mirror_.random;
    if (toggle == ColourButton::Fy) mirror_.effectSevenFlag = !mirror_.effectSevenFlag;
    return Send({{O::kRandom, Byte(mirror_.random ? 1 : 0)}});
}

int LightingController::SetTrigger(Trigger kind) {
    if (mirror_.IsTrigger(kind)) return kLightingOk;
    mirror_.SetTrigger(kind);
    return Send({{O::kTrigger, Byte(kind == Trigger::Single ? 0 : 1)}});
}

int LightingController::SetSecondColour(Colour colour) {
    if (!IsColour(colour)) return kLightingBadArgument;
    mirror_.secondRandom = false;
    mirror_.secondColour = colour;
    return Send({{O::kSecondRandom, Byte(0)}, {O::kSecondColour, Rgb(colour)}});
}

int LightingController::SetThirdColour(Colour colour) {
    if (!IsColour(colour)) return kLightingBadArgument;
    mirror_.thirdRandom = false;
    mirror_.thirdColour = colour;
    return Send({{O::kThirdRandom, Byte(0)}, {O::kThirdColour, Rgb(colour)}});
}

int LightingController::ToggleSecondRandom() {
    mirror_.secondRandom = !mirror_.secondRandom;
    return Send({{O::kSecondRandom, Byte(mirror_.secondRandom ? 1 : 0)}});
}

int LightingController::ToggleThirdRandom() {
    mirror_.thirdRandom = !mirror_.thirdRandom;
    return Send({{O::kThirdRandom, Byte(mirror_.thirdRandom ? 1 : 0)}});
}

int LightingController::SetPresetColour(int index) {
    if (index < 0 || index > kPresetColourMax) return kLightingBadArgument;
    mirror_.presetColour = index;
    return Send({{O::kPresetColour, Byte(index)}});
}

int LightingController::SetReportRate(int index) {
    if (index < 0 || index > kReportRateMax) return kLightingBadArgument;
    mirror_.reportRate = index;
    return Send({{O::kReportRate, Byte(index)}});
}

int LightingController::ResetLighting() {
    const int result =
        Send({{0, std::vector<std::uint8_t>(kLightingResetImage.begin(), kLightingResetImage.end())}});
    mirror_.FillFromRecord(records_[static_cast<std::size_t>(profile_)]);
    return result;
}

bool LightingController::SetColourKeysMode(bool on) {
    colourKeysMode_ = on;
    if (files_.settings.empty()) return true;
    return WriteColourKeysMode(files_.settings, on);
}

}  // namespace talvenix::lighting
