// info and profile: what the keyboard says about itself, and its current hardware profile.
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/Language.h"
#include "cli/Names.h"
#include "cli/ProfileListing.h"
#include "core/keys/KeyTable.h"
#include "core/keys/MediaCatalogue.h"
#include "core/lighting/EffectList.h"
#include "core/profiles/KeyboardState.h"

namespace talvenix::cli {

namespace {

void RunInfo(Context& ctx) {
    Session& kb = ctx.Keyboard();
    if (!kb.KeyboardPresent()) {
        ctx.Out() << "keyboard: not attached\n";
        throw CliError(kExitNoKeyboard, "no keyboard attached");
    }
    const device::ConfigBlock config = kb.ReadConfig();
    auto& out = ctx.Out();
    out << "keyboard: attached" << (kb.Simulated() ? " (simulated)" : "") << '\n';
    out << "current profile: " << config.CurrentProfile() << '\n';
    out << "macro space: " << config.MacroSpace() << " bytes\n";
    const auto effects = lighting::EffectList::FromConfigBlock(config);
    out << "effects:\n";
    int offered = 0;
    for (std::uint8_t code : effects.codes) {
        if (code == 0) continue;
        ++offered;
        out << "  " << static_cast<int>(code) << "  " << EffectName(code) << '\n';
    }
    if (offered == 0) out << "  (none)\n";
}

void RunProfile(Context& ctx, int requested) {
    Session& kb = ctx.AttachedKeyboard();
    profiles::KeyboardState state;
    const int current = state.GetCurrentProfile(kb.Transport());
    if (current < 0) throw CliError(kExitKeyboardError, "reading the current profile failed");
    if (requested < 0) {
        ctx.Out() << current << '\n';
        return;
    }
    if (current == requested) return;  // nothing to write
    CheckDeviceResult(state.SetCurrentProfile(kb.Transport(), requested), "setting the current profile");
}

// Every name the JSON form and `colours paint` accept, with what it shows as in this language.
void RunNames(Context& ctx) {
    auto& out = ctx.Out();
    out << "keys (name, code, display name):\n";
    for (int i = 0; i < keys::kKeyTableSize; ++i) {
        const auto code = keys::KeyCodeOf(static_cast<keys::KeyIndex>(i));
        if (!keys::KeyEntryOf(code).HasName()) continue;
        out << "  " << Pad(KeyCodeName(code), 18) << Hex(code, 3) << "  " << keys::KeyNameOf(code) << '\n';
    }
    out << "G keys: G1A..G9A, G1B..G9B (colours paint: G1..G9, FN)\n";
    out << "kinds:";
    for (std::uint16_t k = 0; !KindWord(k).empty(); ++k) out << ' ' << KindWord(k);
    out << "\nmedia:\n";
    for (int m = 0; m < keys::kMediaCount; ++m)
        out << "  " << Pad(std::string(MediaWord(m)), 18) << keys::MediaName(m) << '\n';
    out << "functions:\n";
    for (int f = 0; f < keys::kFunctionTextCount; ++f) {
        out << "  " << Pad(std::string(FunctionWord(f)), 18) << keys::FunctionText(f) << '\n';
    }
    out << "play modes:";
    for (std::uint16_t p = 0; !PlayModeWord(p).empty(); ++p) out << ' ' << PlayModeWord(p);
    out << "\ndirections: down up\n";
}

}  // namespace

void AddDeviceCommands(CLI::App& app, Context& ctx, Action& run) {
    auto* info = app.add_subcommand(
        "info",
        "Show whether a keyboard is attached, its current profile, its macro space and the "
        "lighting effects it offers (exit 3 when no keyboard is attached)");
    info->callback([&ctx, &run] { run = [&ctx] { RunInfo(ctx); }; });

    auto* names =
        app.add_subcommand("names",
                           "List the names of keys, kinds, media and office functions that the JSON form and "
                           "'colours paint' accept, with their display names");
    names->callback([&ctx, &run] { run = [&ctx] { RunNames(ctx); }; });

    auto* profile = app.add_subcommand(
        "profile", "Print the keyboard's current hardware profile (0..2), or make N the current one");
    auto requested = std::make_shared<int>(-1);
    profile->add_option("N", *requested, "the profile to make current")->check(CLI::Range(0, 2));
    profile->callback([&ctx, &run, requested] { run = [&ctx, requested] { RunProfile(ctx, *requested); }; });
}

}  // namespace talvenix::cli
