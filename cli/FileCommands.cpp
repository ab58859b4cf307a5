// Profile files: validate, show, to-json, from-json (files only), and backup / restore (the
// whole keyboard to and from a profile file).
#include <memory>
#include <optional>
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/FileIo.h"
#include "cli/ProfileJson.h"
#include "cli/ProfileListing.h"
#include "cli/Progress.h"
#include "cli/Storable.h"
#include "core/device/ResultCodes.h"
#include "core/macros/MacroDownload.h"
#include "core/macros/MacroImage.h"
#include "core/macros/WorkingConfig.h"
#include "core/profiles/KeyboardState.h"
#include "core/profiles/ProfileFile.h"
#include "core/profiles/ProfileStore.h"
#include "core/profiles/ProfileTransfer.h"
#include "core/profiles/ReadBack.h"
#include "core/text/AtomicFile.h"
#include "core/text/LanguageTable.h"
#include "core/text/Utf.h"
#include "platform/UserFolders.h"

namespace talvenix::cli {

namespace {

// A valid header can still front damaged contents (the import reads them all the same, with
// the damage repaired): say so on stderr, so a "valid" file does not hide what was lost.
void NoteDamagedParts(Context& ctx, const std::string& file, std::span<const std::uint8_t> bytes,
                      const char* consequence) {
    const auto repairs = profiles::ParseProfileFile(bytes).repairs;
    if (!repairs.Any()) return;
    ctx.Err() << "talvenix-cli: note: " << PrintableText(file) << " has damaged parts (";
    const char* sep = "";
    auto item = [&](bool on, const char* what) {
        if (!on) return;
        ctx.Err() << sep << what;
        sep = ", ";
    };
    item(repairs.actionsCapped, "a macro counts more than 2000 actions");
    item(repairs.namesTerminated, "a macro name has no end");
    item(repairs.stringsDropped != 0, "a key's string lies outside the string block");
    item(repairs.macrosTruncated || repairs.stringsTruncated, "the file ends early");
    item(repairs.macrosCapped, "more than 100 macros");
    item(repairs.idsRenumbered,
         "a macro id outside 1..100 or used twice was renumbered, so keys bound to it play another macro or "
         "none");
    ctx.Err() << "); " << consequence << '\n';
}

void RunValidate(Context& ctx, const std::string& file) {
    const auto bytes = ReadWholeFile(file);
    const macros::Configuration cfg = ParseValidProfileFile(bytes, file);
    ctx.Out() << PrintableText(file) << ": valid profile file (" << cfg.macros.size()
              << (cfg.macros.size() == 1 ? " macro, " : " macros, ") << cfg.strings.TotalSize()
              << " bytes of strings)\n";
    NoteDamagedParts(ctx, file, bytes, "a restore takes only what can be read");
}

void RunShow(Context& ctx, const std::string& file) {
    const auto bytes = ReadWholeFile(file);
    const macros::Configuration cfg = ParseValidProfileFile(bytes, file);
    PrintProfileListing(cfg, ctx.Out());
    NoteDamagedParts(ctx, file, bytes, "the listing shows what could be read");
}

void RunToJson(Context& ctx, const std::string& file) {
    const auto bytes = ReadWholeFile(file);
    ParseValidProfileFile(bytes, file);  // the detailed reason for a refused file
    ctx.Out() << ProfileFileToJson(bytes);
    NoteDamagedParts(ctx, file, bytes, "the JSON holds what could be read");
}

// Says what the keyboard will not keep as given, one line each.
void WarnUnstorable(Context& ctx, const std::vector<std::string>& findings) {
    for (const auto& f : findings) ctx.Err() << "talvenix-cli: warning: " << PrintableText(f) << '\n';
}

void RunFromJson(Context& ctx, const std::string& json, const std::string& outFile) {
    const auto bytes = ReadWholeFile(json);
    const std::vector<std::uint8_t> file = ProfileFileFromJson(std::string(bytes.begin(), bytes.end()));
    WriteWholeFile(outFile, file);
    // No keyboard is at hand: an assignment's form does not depend on which keys a keyboard
    // has, so every key any keyboard can have is checked.
    const macros::Configuration cfg = profiles::ParseProfileFile(file).config;
    WarnUnstorable(ctx, UnstorableAssignments(cfg, keys::EverySlotEntry()));
    WarnUnstorable(ctx, UnstorableMacroActions(cfg));
}

// The keyboard facts backup and restore need (default layout, macro space).
void ReadKeyboardState(Session& kb, profiles::KeyboardState& state) {
    const auto reads = state.OnKeyboardArrived(kb.Transport());
    CheckDeviceResult(reads.layoutResult, "reading the default key layout");
    CheckDeviceResult(reads.configResult, "reading the configuration block");
}

std::u16string MacroNamePrefix() {
    std::string prefix = text::LanguageText(text::TextId::MACRO_NEW_PREFIX);
    if (prefix.empty() || prefix == text::kMissingText) prefix = "Macro";
    return text::Utf8ToUtf16(prefix);
}

void RunBackup(Context& ctx, const std::string& file) {
    if (file.empty() || file == "-") FailBadInput("an output file name is needed");
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) FailBadInput(file + ": is a folder");
    const auto parent = std::filesystem::absolute(file, ec).parent_path();
    if (!std::filesystem::is_directory(parent, ec)) FailBadInput(parent.string() + ": no such folder");
    // Refuse a target that would be refused anyway before the keyboard is read.
    std::string refused;
    if (!text::ResolveWriteTarget(file, refused)) FailBadInput(refused);

    Session& kb = ctx.AttachedKeyboard();
    Progress progress("reading the keyboard");
    profiles::KeyboardState state;
    ReadKeyboardState(kb, state);
    const auto outcome = profiles::ReadBackToStore(file, state, kb.Transport(), MacroNamePrefix());
    using R = profiles::ReadBackOutcome::Result;
    switch (outcome.result) {
        case R::Ok:
            break;
        case R::ProfileUnknown:  // the keyboard is attached (checked above): it answered, but not with 0..3
            throw CliError(kExitKeyboardError,
                           "the keyboard reports no valid current profile; nothing was written");
        case R::NoDefaultLayout:
            throw CliError(kExitKeyboardError, "the keyboard's default key layout could not be read");
        case R::KeyBlockReadFailed:
            CheckDeviceResult(outcome.deviceResult, "reading the key blocks");
            break;
        case R::MacroReadFailed:
            CheckDeviceResult(outcome.deviceResult, "reading the macro memory");
            break;
        case R::MacroImageDamaged:
            throw CliError(kExitKeyboardError, "the keyboard's macro memory is damaged; nothing was written");
        case R::StoreWriteFailed:
            FailBadInput(file + ": cannot be written");
        case R::OutOfMemory:
            throw CliError(kExitKeyboardError, "out of memory");
    }
    // Any result above that is not Ok has thrown; a device failure reported as success would
    // land here, so say it plainly rather than claim a backup.
    if (!outcome.Ok()) throw CliError(kExitKeyboardError, "the backup failed");
}

void RunRestore(Context& ctx, const std::string& file) {
    // The import reads the file by name, so standard input cannot stand in for it.
    if (file == "-") FailBadInput("restore needs a file name; it does not read standard input");
    // Refuse a bad file before anything is touched, with the field that is wrong.
    const auto bytes = ReadWholeFile(file);
    const macros::Configuration cfg = ParseValidProfileFile(bytes, file);

    Session& kb = ctx.AttachedKeyboard();
    std::optional<Progress> progress(std::in_place, "writing the keyboard");
    profiles::KeyboardState state;
    ReadKeyboardState(kb, state);
    // The import would save the store before the keyboard refused a file too large for it.
    const auto sizes = macros::MacroImageSize(cfg.macros);
    if (static_cast<int>(sizes.withoutNames) > state.MacroSpace()) {
        FailBadInput(file + ": its macros need " + std::to_string(sizes.withoutNames) +
                     " bytes, the keyboard has " + std::to_string(state.MacroSpace()) +
                     "; nothing was changed");
    }

    if (const auto layout = state.DefaultLayout()) {
        progress.reset();
        WarnUnstorable(ctx, UnstorableAssignments(cfg, keys::SlotEntriesOfLayout(*layout)));
        WarnUnstorable(ctx, UnstorableMacroActions(cfg));
        progress.emplace("writing the keyboard");
    }

    macros::WorkingConfig working;
    macros::DownloadSnapshot snapshot;
    const profiles::ProfileStore store(platform::DocumentsFolder());
    const auto outcome = profiles::ImportProfileFile(file, working, snapshot, store, state, kb.Transport());
    using R = profiles::ImportOutcome::Result;
    switch (outcome.result) {
        case R::Imported:
            break;
        case R::Invalid:
            FailBadInput(file +
                         ": not a valid profile file: " + ExplainProfileFileCheck(bytes, outcome.check));
        case R::LoadFailed:
            FailBadInput(file + ": cannot be read");
        case R::DownloadFailed: {
            using D = macros::DownloadOutcome::Result;
            const auto& d = outcome.download;
            if (d.result == D::DeviceFailed) CheckDeviceResult(d.deviceResult, "writing the keyboard");
            if (d.result == D::VerifyFailed) CheckVerifyResult(d.verify);
            if (d.result == D::MacroSpaceExceeded) {
                FailBadInput(file + ": the macros do not fit the keyboard's macro space");
            }
            throw CliError(kExitKeyboardError, "writing the keyboard failed");
        }
    }
    progress.reset();  // its line is cleared before the note goes out
    if (outcome.download.namesDropped) {
        ctx.Err() << "talvenix-cli: note: not enough macro space for the macro names; the macros were "
                     "written without them\n";
    }
}

template <typename F>
void OnRun(CLI::App* cmd, Action& run, F f) {
    cmd->callback([&run, f] { run = f; });
}

}  // namespace

void AddFileCommands(CLI::App& app, Context& ctx, Action& run) {
    auto file = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();

    auto* backup = app.add_subcommand(
        "backup",
        "Read the whole keyboard (key assignments of the three profiles and the macros) into a "
        "profile file, written atomically");
    backup->add_option("FILE", *file, "the profile file to write (*.tvx)")->required();
    OnRun(backup, run, [&ctx, file] { RunBackup(ctx, *file); });

    auto* restore = app.add_subcommand(
        "restore",
        "Check a profile file, then write its three profiles and its macros to the keyboard "
        "(and to the configurator's store, when it has one). An invalid file is refused with "
        "the reason and nothing is changed");
    restore->add_option("FILE", *file, "the profile file to restore")->required();
    OnRun(restore, run, [&ctx, file] { RunRestore(ctx, *file); });

    auto* validate = app.add_subcommand(
        "validate", "Check a profile file: exit 0 when valid, else exit 1 naming the field that is wrong");
    validate->add_option("FILE", *file, "the profile file")->required();
    OnRun(validate, run, [&ctx, file] { RunValidate(ctx, *file); });

    auto* show = app.add_subcommand(
        "show",
        "List a profile file readably: every assigned key per profile, the G keys per bank, "
        "the macros with their actions, the strings of launch and text keys");
    show->add_option("FILE", *file, "the profile file")->required();
    OnRun(show, run, [&ctx, file] { RunShow(ctx, *file); });

    auto* toJson = app.add_subcommand(
        "to-json", "Print a profile file as editable JSON (keys, targets and kinds by name; see the manual)");
    toJson->add_option("FILE", *file, "the profile file")->required();
    OnRun(toJson, run, [&ctx, file] { RunToJson(ctx, *file); });

    auto* fromJson = app.add_subcommand(
        "from-json",
        "Build a profile file from its JSON form (as to-json prints it); written atomically, "
        "and not at all when the JSON is refused");
    fromJson->add_option("JSON", *file, "the JSON file, or - for standard input")->required();
    fromJson->add_option("OUT", *out, "the profile file to write")->required();
    OnRun(fromJson, run, [&ctx, file, out] { RunFromJson(ctx, *file, *out); });
}

}  // namespace talvenix::cli
