#include "cli/CliApp.h"

#include <CLI/CLI.hpp>
#include <exception>
#include <sstream>

#include "TalvenixVersion.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/Context.h"
#include "cli/Language.h"
#include "core/text/Utf.h"

namespace talvenix::cli {

namespace {

constexpr const char* kProgram = "talvenix-cli";

constexpr const char* kDescription =
    "Configure the keyboard from a terminal or a script: back up and restore its whole\n"
    "configuration, inspect and convert profile files, switch the hardware profile, and set\n"
    "lighting and per-key colours.\n"
    "\n"
    "Exit codes: 0 success; 1 bad input (a file or value was refused, nothing changed);\n"
    "2 wrong usage; 3 no keyboard attached; 4 keyboard or service library error.\n"
    "Run 'talvenix-cli COMMAND --help' for the options of each command.";

constexpr const char* kFooter =
    "Environment: TALVENIX_SIM_STATE names the simulated keyboard's state file (with --simulate;\n"
    "default ~/.local/state/talvenix/simulated-keyboard.state, shared with the configurator);\n"
    "TALVENIX_PROGRAM_DIR overrides the folder of the service library and Skins.";

// One line per failure: CLI11's own messages may span lines, and a parser's message may quote
// raw input bytes (control characters, malformed UTF-8) that must not reach the terminal as is.
std::string OneLine(const std::string& text) {
    std::string line = PrintableText(text);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    Context ctx(out, err);
    CLI::App app(kDescription, kProgram);
    app.footer(kFooter);
    app.require_subcommand(1);
    app.fallthrough();  // global options are also accepted after the command
    app.add_flag("--simulate", ctx.options.simulate,
                 "talk to the simulated keyboard (libPelloranSim.so) instead of the real one");
    app.add_option("--lang", ctx.options.language,
                   "language of key, media, function and effect names: en or zh "
                   "(default: the configurator's setting, else the system language)");
    app.set_version_flag("--version", std::string(kProgram) + " " + TALVENIX_VERSION);

    Action run;
    AddDeviceCommands(app, ctx, run);
    AddFileCommands(app, ctx, run);
    AddLightingCommands(app, ctx, run);
    AddColourCommands(app, ctx, run);
    AddSimCommands(app, ctx, run);

    // CLI11 reports a mistyped command as a missing one; name it instead. Groups (lighting,
    // colours, sim) are checked the same way one level down.
    CLI::App* level = &app;
    std::string path;
    for (int i = 1; i < argc && level != nullptr; ++i) {
        const std::string arg = argv[i];
        if (arg == "--lang") {
            ++i;
            continue;
        }
        if (arg.empty() || arg[0] == '-') continue;
        CLI::App* found = nullptr;
        for (CLI::App* sub : level->get_subcommands([](CLI::App*) { return true; })) {
            if (sub->check_name(arg)) found = sub;
        }
        if (found == nullptr) {
            err << kProgram << ": unknown command '" << path << arg << "' (see " << kProgram << ' ' << path
                << "--help)\n";
            return kExitUsage;
        }
        path += found->get_name() + ' ';
        level = found->get_subcommands([](CLI::App*) { return true; }).empty() ? nullptr : found;
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        std::ostringstream help;
        app.exit(e, help, err);
        out << help.str();
        return kExitOk;
    } catch (const CLI::CallForAllHelp& e) {
        std::ostringstream help;
        app.exit(e, help, err);
        out << help.str();
        return kExitOk;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << '\n';
        return kExitOk;
    } catch (const CLI::ConversionError& e) {
        err << kProgram << ": " << OneLine(e.what()) << '\n';
        return kExitBadInput;
    } catch (const CLI::ValidationError& e) {
        err << kProgram << ": " << OneLine(e.what()) << '\n';
        return kExitBadInput;
    } catch (const CLI::ParseError& e) {
        err << kProgram << ": " << OneLine(e.what()) << " (see " << kProgram << " --help)\n";
        return kExitUsage;
    } catch (const CliError& e) {
        err << kProgram << ": " << OneLine(e.what()) << '\n';
        return e.ExitCode();
    }

    try {
        SelectCliLanguage(ctx.options.language);
        if (run) run();
        ctx.Close();
        out.flush();
        // A full disk or another failed write must not pass for a complete listing or JSON.
        if (!out) {
            err << kProgram << ": the output could not be written\n";
            return kExitBadInput;
        }
        return kExitOk;
    } catch (const CliError& e) {
        ctx.Close();
        err << kProgram << ": " << OneLine(e.what()) << '\n';
        return e.ExitCode();
    } catch (const std::exception& e) {
        ctx.Close();
        err << kProgram << ": " << OneLine(e.what()) << '\n';
        return kExitBadInput;
    }
}

}  // namespace talvenix::cli
