// colours: the per-key colour sets of effect 20 and their user colour files (one per profile in
// the Talvenix folder of the Documents folder). show reads the file only; the other commands
// change the file and send the colours to the keyboard, as the colour-keys mode of the
// configurator does.
#include <cctype>
#include <memory>
#include <optional>
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/Language.h"
#include "cli/Names.h"
#include "cli/ProfileListing.h"
#include "core/keys/KeyButtons.h"
#include "core/keys/KeyTable.h"
#include "core/lighting/ColourKeysMode.h"
#include "core/lighting/EffectCode.h"
#include "core/lighting/LightingController.h"
#include "core/lighting/LightingResult.h"
#include "core/lighting/PaintButton.h"
#include "core/lighting/UserColourSet.h"
#include "core/lighting/UserColours.h"
#include "core/profiles/ProfileStore.h"
#include "core/text/IniFile.h"
#include "core/text/Utf.h"
#include "platform/InstallLayout.h"
#include "platform/UserFolders.h"

namespace talvenix::cli {

namespace {

struct ColourArgs {
    int profile = -1;
    std::string key;
    std::string colour;
    int set = 0;
};

std::filesystem::path ColourFolder() { return profiles::ProfileStore(platform::DocumentsFolder()).Folder(); }

// The configurator copies the template files at its first start; a CLI-only user gets the same.
void EnsureColourFiles() {
    const auto folder = ColourFolder();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const auto templ = lighting::UserColourTemplatePath(platform::SkinFolder());
    if (std::filesystem::exists(templ, ec)) {
        lighting::InstallUserColourFiles(folder / lighting::kSettingsFileName, templ, folder);
    }
}

// The paint button a key name stands for: a key of the on-screen keyboard, G1..G9 or FN.
lighting::PaintButton PaintButtonOfName(const std::string& name) {
    std::string up = name;
    for (char& c : up) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (up == "FN") return lighting::kFnButton;
    if (up.size() == 2 && up[0] == 'G' && up[1] >= '1' && up[1] <= '9') return lighting::GButton(up[1] - '1');
    const auto code = KeyCodeOfName(name);
    if (code) {
        const auto button = keys::KeyButtonOfCode(*code);
        if (button) return *button;
    }
    FailBadInput("'" + name + "' is not a key of the keyboard (names as in to-json, G1..G9, FN)");
}

void CheckColourResult(int result, const std::string& what) {
    if (result == lighting::kLightingOk) return;
    if (result == lighting::kLightingBadArgument) FailBadInput(what + ": value refused");
    if (result == lighting::kColourFileError) {
        FailBadInput(what + ": the keyboard took the change, but the colour file could not be written");
    }
    CheckDeviceResult(result, what);
}

struct Open {
    std::unique_ptr<lighting::LightingController> lighting;
    std::unique_ptr<lighting::UserColours> colours;
};

// `writesFiles`: the command stores its change in the colour file, so a folder that cannot hold
// the files is refused before the keyboard is touched.
Open OpenColours(Context& ctx, int profile, bool writesFiles = true) {
    Session& kb = ctx.AttachedKeyboard();
    EnsureColourFiles();
    std::error_code ec;
    if (writesFiles && !std::filesystem::is_directory(ColourFolder(), ec)) {
        FailBadInput(ColourFolder().string() + ": cannot be created, so the colour files cannot be written");
    }
    Open o;
    lighting::LightingFiles files;
    files.skinMain = platform::SkinFolder() / "Main.ini";
    files.settings = ColourFolder() / lighting::kSettingsFileName;
    o.lighting = std::make_unique<lighting::LightingController>(kb.Transport(), files);
    if (profile < 0) profile = kb.ReadConfig().CurrentProfile();
    if (!o.lighting->SetProfile(profile)) {
        throw CliError(kExitKeyboardError, "the keyboard reports profile " + std::to_string(profile));
    }
    if (o.lighting->ReadLighting(CliLanguageIndex()) != 0) {
        throw CliError(kExitKeyboardError,
                       "reading the lighting of profile " + std::to_string(profile) + " failed");
    }
    o.colours = std::make_unique<lighting::UserColours>(*o.lighting, ColourFolder());
    o.colours->ReloadSetNames();
    return o;
}

int ProfileForFiles(Context& ctx, int profile) {
    if (profile >= 0) return profile;
    return ctx.AttachedKeyboard().ReadConfig().CurrentProfile();
}

void RunShow(Context& ctx, int profileArg) {
    const int profile = ProfileForFiles(ctx, profileArg);
    if (profile < 0 || profile > 2)
        throw CliError(kExitKeyboardError, "the keyboard reports profile " + std::to_string(profile));
    EnsureColourFiles();
    const auto file = lighting::UserColourFilePath(ColourFolder(), profile);
    const text::IniFile ini(file);
    auto& out = ctx.Out();
    int set = ini.GetInt(lighting::kPresentModeSection, lighting::kPresentModeKey, 0);
    if (set < 0 || set >= lighting::kColourSets) set = 0;
    const std::string section = lighting::ColourSetSection(set);
    out << "profile: " << profile << "  file: " << file.string()
        << (ini.Loaded() ? "" : " (missing: defaults)") << '\n';
    out << "sets:\n";
    for (int s = 0; s < lighting::kColourSets; ++s) {
        out << (s == set ? "  * " : "    ") << s << "  "
            << ini.Get(lighting::kSetNamesSection, std::to_string(s), lighting::kSetNameDefault) << '\n';
    }
    const int tool = ini.GetInt(section, lighting::kToolKey, 0);
    out << "tool: " << (tool == 1 ? "base colour" : tool == 0 ? "colour" : std::to_string(tool)) << '\n';
    out << "colour: "
        << FormatColour(
               lighting::ParseRgb(ini.Get(section, lighting::kPaintColourKey, lighting::kRgbDefault)))
        << '\n';
    out << "base colour: "
        << FormatColour(lighting::ParseRgb(ini.Get(section, lighting::kBaseColourKey, lighting::kRgbDefault)))
        << '\n';
    out << "keys (colour, * = painted with the base colour):\n";
    auto entryLine = [&](const std::string& name, int slot) {
        const auto e =
            lighting::ParseSlotEntry(ini.Get(section, std::to_string(slot), lighting::kSlotEntryDefault));
        out << "  " << Pad(name, 18) << FormatColour(e.colour) << (e.baseFlag ? " *" : "") << '\n';
    };
    for (const auto& b : keys::kKeyButtons) entryLine(keys::KeyNameOf(b.code), b.lightingSlot);
    entryLine("Fn", lighting::kFnSlot);
    entryLine("G1..G9", lighting::kGKeySlot);
}

void RunApply(Context& ctx, int profile) {
    Open o = OpenColours(ctx, profile, false);
    CheckColourResult(o.colours->ApplyUserColourSet(), "sending the colour set");
}

void RunPaint(Context& ctx, const ColourArgs& a) {
    const lighting::PaintButton button = PaintButtonOfName(a.key);
    const lighting::Colour colour = ParseColourArgument(a.colour);
    Open o = OpenColours(ctx, a.profile);
    if (o.lighting->CurrentEffect() != lighting::kEffectPerKeyColours) {
        FailBadInput(
            "keys can be painted only while the per-key colour effect (20) is selected; "
            "select it with 'lighting set --effect 20'");
    }
    CheckColourResult(o.colours->ApplyUserColourSet(), "loading the colour set");
    if (o.colours->Tool() != 0) CheckColourResult(o.colours->SelectTool(0), "choosing the paint tool");
    CheckColourResult(o.colours->SetPaintColour(colour), "setting the paint colour");
    CheckColourResult(o.colours->PaintKey(button), "painting the key");
}

void RunBase(Context& ctx, const ColourArgs& a) {
    const lighting::Colour colour = ParseColourArgument(a.colour);
    Open o = OpenColours(ctx, a.profile);
    CheckColourResult(o.colours->ApplyUserColourSet(), "loading the colour set");
    CheckColourResult(o.colours->SetBaseColour(colour), "setting the base colour");
}

void RunSelectSet(Context& ctx, const ColourArgs& a) {
    Open o = OpenColours(ctx, a.profile);
    CheckColourResult(o.colours->SelectSet(a.set), "choosing the colour set");
}

}  // namespace

void AddColourCommands(CLI::App& app, Context& ctx, Action& run) {
    auto* group = app.add_subcommand(
        "colours",
        "The per-key colour sets of effect 20 (ten named sets per profile, kept in the user colour files)");
    group->alias("colors");
    group->require_subcommand(1);
    auto args = std::make_shared<ColourArgs>();
    auto addProfile = [&](CLI::App* c) {
        c->add_option("--profile", args->profile, "the hardware profile 0..2 (default: the current one)")
            ->check(CLI::Range(0, 2));
    };

    auto* show = group->add_subcommand(
        "show", "List the sets, the current set's tool and colours, and every key's colour");
    addProfile(show);
    show->callback([&ctx, &run, args] { run = [&ctx, args] { RunShow(ctx, args->profile); }; });

    auto* apply =
        group->add_subcommand("apply", "Send the current set of the profile's colour file to the keyboard");
    addProfile(apply);
    apply->callback([&ctx, &run, args] { run = [&ctx, args] { RunApply(ctx, args->profile); }; });

    auto* paint = group->add_subcommand(
        "paint", "Paint one key with a colour (only while effect 20 is selected); G1..G9 share one light");
    paint
        ->add_option("KEY", args->key, "the key: a name as in to-json (A, ESC, F1, LCTRL, ...), G1..G9 or FN")
        ->required();
    paint->add_option("RRGGBB", args->colour, "the colour")->required();
    addProfile(paint);
    paint->callback([&ctx, &run, args] { run = [&ctx, args] { RunPaint(ctx, *args); }; });

    auto* base = group->add_subcommand(
        "base", "Set the base colour: every key painted with the base colour takes the new one");
    base->add_option("RRGGBB", args->colour, "the colour")->required();
    addProfile(base);
    base->callback([&ctx, &run, args] { run = [&ctx, args] { RunBase(ctx, *args); }; });

    auto* set = group->add_subcommand("set", "Make set N (0..9) the current one and send it to the keyboard");
    set->add_option("N", args->set, "the set")->required()->check(CLI::Range(0, 9));
    addProfile(set);
    set->callback([&ctx, &run, args] { run = [&ctx, args] { RunSelectSet(ctx, *args); }; });
}

}  // namespace talvenix::cli
