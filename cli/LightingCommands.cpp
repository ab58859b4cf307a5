// lighting show | set | reset: the lighting record of one hardware profile, changed through the
// same operations as the configurator's lighting panel, so each option sends exactly the bytes
// the panel would, one transaction per change.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/Language.h"
#include "core/device/VerifyWrites.h"
#include "core/lighting/ColourKeysMode.h"
#include "core/lighting/LightingController.h"
#include "core/lighting/LightingResult.h"
#include "platform/UserFolders.h"

namespace talvenix::cli {

namespace {

struct SetOptions {
    int profile = -1;
    std::optional<int> effect;
    std::optional<int> brightness;
    std::optional<int> speed;
    std::optional<std::string> direction;
    std::optional<std::string> colour;
    std::optional<std::string> random;
    std::optional<int> preset;
    std::optional<int> reportRate;
};

void CheckLightingResult(int result, const std::string& what) {
    if (result == lighting::kLightingOk) return;
    if (result == lighting::kLightingBadArgument) FailBadInput(what + ": value refused");
    CheckDeviceResult(result, what);
}

// A controller for `profile` (-1: the keyboard's current profile), with the records read.
std::unique_ptr<lighting::LightingController> OpenLighting(Context& ctx, int profile) {
    Session& kb = ctx.AttachedKeyboard();
    lighting::LightingFiles files;
    files.skinMain = platform::ProgramFolder() / "Skins" / "Main.ini";
    auto controller = std::make_unique<lighting::LightingController>(kb.Transport(), files);
    if (profile < 0) {
        profile = kb.ReadConfig().CurrentProfile();
        if (profile > 2)
            throw CliError(kExitKeyboardError, "the keyboard reports profile " + std::to_string(profile));
    }
    controller->SetProfile(profile);
    if (controller->ReadLighting(CliLanguageIndex()) != 0) {
        throw CliError(kExitKeyboardError,
                       "reading the lighting of profile " + std::to_string(profile) + " failed");
    }
    return controller;
}

// What the controller believes the profile's record now holds must be what the keyboard holds.
void VerifyRecord(Context& ctx, const lighting::LightingController& lc) {
    const lighting::LightingRecord& r = lc.Record(lc.Profile());
    CheckVerifyResult(device::VerifyLighting(ctx.AttachedKeyboard().Transport(), r.bytes,
                                             static_cast<std::uint16_t>(lc.Profile() * r.bytes.size())));
}

const char* PresetName(int index) {
    static const char* names[] = {"red", "yellow", "green", "blue"};
    return index >= 0 && index <= 3 ? names[index] : "?";
}

std::string DirectionText(std::uint8_t byte) {
    if (byte == lighting::kDirectionFirst) return "first (0xFF)";
    if (byte == lighting::kDirectionSecond) return "second (0x00)";
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%02X", byte);
    return buf;
}

std::string OnOff(bool on) { return on ? "on" : "off"; }

void RunShow(Context& ctx, int profile) {
    auto lc = OpenLighting(ctx, profile);
    const lighting::LightingRecord& r = lc->Record(lc->Profile());
    using O = lighting::LightingRecord::Offset;
    auto& out = ctx.Out();
    const int code = r.bytes[O::kEffect];
    out << "profile: " << lc->Profile() << '\n';
    out << "effect: " << code << " (" << EffectName(code) << ")"
        << (lc->Effects().Offers(code) ? "" : " [not offered by the keyboard]") << '\n';
    out << "brightness: " << static_cast<int>(r.bytes[O::kBrightness]) << '\n';
    const int storedSpeed = r.bytes[O::kSpeed];
    out << "speed: " << (storedSpeed <= lighting::kSliderMax ? lighting::kSliderMax - storedSpeed : 0)
        << " (stored as " << storedSpeed << ")\n";
    out << "direction: " << DirectionText(r.bytes[O::kDirection]) << '\n';
    out << "colour: " << FormatColour(r.ColourAt(O::kColour))
        << "  random: " << OnOff(r.bytes[O::kRandom] != 0) << '\n';
    out << "second colour: " << FormatColour(r.ColourAt(O::kSecondColour))
        << "  random: " << OnOff(r.bytes[O::kSecondRandom] != 0) << '\n';
    out << "third colour: " << FormatColour(r.ColourAt(O::kThirdColour))
        << "  random: " << OnOff(r.bytes[O::kThirdRandom] != 0) << '\n';
    const int preset = r.bytes[O::kPresetColour];
    const int shownPreset = preset <= lighting::kPresetColourMax ? preset : 0;
    out << "preset colour: " << shownPreset << " (" << PresetName(shownPreset) << ")";
    if (preset != shownPreset) out << " (stored as " << preset << ")";
    out << '\n';
    const int rate = r.bytes[O::kReportRate];
    out << "report rate: " << (rate > lighting::kReportRateMax ? lighting::kReportRateMax : rate);
    if (rate > lighting::kReportRateMax) out << " (stored as " << rate << ")";
    out << '\n';
    const int trigger = r.bytes[O::kTrigger];
    out << "trigger: " << (trigger == 0 ? "single" : trigger == 1 ? "grid" : std::to_string(trigger)) << '\n';
}

void RunSet(Context& ctx, const SetOptions& o) {
    // Everything is checked before anything is sent: a refused value changes nothing.
    std::optional<lighting::Colour> colour;
    if (o.colour) colour = ParseColourArgument(*o.colour);
    const bool nothing = !o.effect && !o.brightness && !o.speed && !o.direction && !o.colour && !o.random &&
                         !o.preset && !o.reportRate;
    if (nothing) FailUsage("lighting set: give at least one option to change (see --help)");

    auto lc = OpenLighting(ctx, o.profile);
    if (o.effect && lc->ComboMap().IndexOf(*o.effect) < 0) {
        FailBadInput("effect " + std::to_string(*o.effect) + " is not offered by the keyboard (see 'info')");
    }

    if (o.effect) CheckLightingResult(lc->SelectEffectCode(*o.effect), "setting the effect");
    if (o.brightness) CheckLightingResult(lc->SetBrightness(*o.brightness), "setting the brightness");
    if (o.speed) CheckLightingResult(lc->SetSpeed(*o.speed), "setting the speed");
    if (o.direction) {
        const auto button =
            *o.direction == "first" ? lighting::DirectionButton::First : lighting::DirectionButton::Second;
        CheckLightingResult(lc->SetDirection(button), "setting the direction");
    }
    if (colour) CheckLightingResult(lc->SetColour(*colour), "setting the colour");
    if (o.random) {
        const bool want = *o.random == "on";
        if (lc->Mirror().random != want) CheckLightingResult(lc->ToggleRandom(), "setting random colours");
    }
    if (o.preset) CheckLightingResult(lc->SetPresetColour(*o.preset), "setting the preset colour");
    if (o.reportRate) CheckLightingResult(lc->SetReportRate(*o.reportRate), "setting the report rate");
    VerifyRecord(ctx, *lc);
}

void RunReset(Context& ctx, int profile) {
    auto lc = OpenLighting(ctx, profile);
    CheckLightingResult(lc->ResetLighting(), "resetting the lighting");
    VerifyRecord(ctx, *lc);
}

}  // namespace

std::uint32_t ParseColourArgument(const std::string& textIn) {
    std::string text = textIn;
    if (!text.empty() && text[0] == '#') text.erase(0, 1);
    if (text.size() != 6) FailBadInput("colour '" + textIn + "' is not RRGGBB (six hex digits)");
    std::uint32_t rgb = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            FailBadInput("colour '" + textIn + "' is not RRGGBB (six hex digits)");
        rgb = (rgb << 4) | static_cast<std::uint32_t>(d);
    }
    return lighting::MakeColour(static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                                static_cast<std::uint8_t>(rgb));
}

std::string FormatColour(std::uint32_t colour) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X%02X%02X", lighting::RedOf(colour), lighting::GreenOf(colour),
                  lighting::BlueOf(colour));
    return buf;
}

void AddLightingCommands(CLI::App& app, Context& ctx, Action& run) {
    auto* group = app.add_subcommand("lighting", "Show or change the lighting of a hardware profile");
    group->require_subcommand(1);

    auto showProfile = std::make_shared<int>(-1);
    auto* show = group->add_subcommand(
        "show",
        "Show the effect (code and name), brightness, speed, direction, colours, random flags, "
        "preset colour and report rate");
    show->add_option("--profile", *showProfile, "the hardware profile 0..2 (default: the current one)")
        ->check(CLI::Range(0, 2));
    show->callback([&ctx, &run, showProfile] { run = [&ctx, showProfile] { RunShow(ctx, *showProfile); }; });

    auto opts = std::make_shared<SetOptions>();
    auto* set = group->add_subcommand(
        "set",
        "Change lighting values; each option is sent to the keyboard at once as its own transaction, "
        "in the order listed here");
    set->add_option("--profile", opts->profile, "the hardware profile 0..2 (default: the current one)")
        ->check(CLI::Range(0, 2));
    set->add_option("--effect", opts->effect, "effect code, one the keyboard offers (see 'info')")
        ->check(CLI::Range(1, 20));
    set->add_option("--brightness", opts->brightness, "brightness 0..5")->check(CLI::Range(0, 5));
    set->add_option("--speed", opts->speed,
                    "speed 0..5 as the panel's slider shows it (the keyboard stores 5 - speed)")
        ->check(CLI::Range(0, 5));
    set->add_option("--direction", opts->direction,
                    "first (left, up or spread) or second (right, down or converge)")
        ->check(CLI::IsMember({"first", "second"}));
    set->add_option("--colour,--color", opts->colour, "colour RRGGBB (turns random colours off)");
    set->add_option("--random", opts->random, "random colours on or off")
        ->check(CLI::IsMember({"on", "off"}));
    set->add_option("--preset", opts->preset, "preset colour of effect 17: 0 red, 1 yellow, 2 green, 3 blue")
        ->check(CLI::Range(0, 3));
    set->add_option("--report-rate", opts->reportRate, "report rate index 0..3")->check(CLI::Range(0, 3));
    set->callback([&ctx, &run, opts] { run = [&ctx, opts] { RunSet(ctx, *opts); }; });

    auto resetProfile = std::make_shared<int>(-1);
    auto* reset =
        group->add_subcommand("reset", "Write the default lighting (the configurator's restore defaults)");
    reset->add_option("--profile", *resetProfile, "the hardware profile 0..2 (default: the current one)")
        ->check(CLI::Range(0, 2));
    reset->callback(
        [&ctx, &run, resetProfile] { run = [&ctx, resetProfile] { RunReset(ctx, *resetProfile); }; });
}

}  // namespace talvenix::cli
