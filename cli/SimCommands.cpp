// sim: drive a running simulated keyboard (the configurator's or another program's) through its
// control socket. Nothing here loads a service library.
#include <string>
#include <vector>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "service/simulator/SimControlClient.h"

namespace talvenix::cli {

namespace {

void Send(Context& ctx, const std::string& line) {
    std::string reply;
    std::string error;
    if (!service::sim::SendSimCommand(line, reply, error)) {
        throw CliError(kExitNoKeyboard, error);
    }
    if (reply.rfind("error", 0) == 0) {
        std::string reason = reply.substr(5);
        if (!reason.empty() && reason[0] == ':') reason.erase(0, 1);
        if (!reason.empty() && reason[0] == ' ') reason.erase(0, 1);
        FailBadInput("the simulated keyboard refused '" + line + "': " + reason);
    }
    ctx.Out() << PrintableText(reply) << '\n';  // the reply comes from whoever listens there
}

}  // namespace

void AddSimCommands(CLI::App& app, Context& ctx, Action& run) {
    auto* sim = app.add_subcommand("sim",
                                   "Drive a running simulated keyboard through its control socket "
                                   "($TALVENIX_SIM_SOCKET, else $XDG_RUNTIME_DIR/talvenix-sim.sock)");
    sim->require_subcommand(1);

    auto simple = [&](const char* name, const char* help) {
        auto* c = sim->add_subcommand(name, help);
        c->callback([&ctx, &run, name] { run = [&ctx, name] { Send(ctx, name); }; });
    };
    simple("plug", "attach the keyboard");
    simple("unplug", "remove the keyboard");
    simple("gbank", "press the G-bank key (consumer usage 0x02FF)");
    simple("status", "show whether it is attached, its profile, latency and queued faults");

    auto* sw =
        sim->add_subcommand("switch-profile", "switch to profile N on the keyboard itself (usage 0x0401)");
    auto profile = std::make_shared<int>(0);
    sw->add_option("N", *profile, "profile 0..2")->required()->check(CLI::Range(0, 2));
    sw->callback([&ctx, &run, profile] {
        run = [&ctx, profile] { Send(ctx, "switch-profile " + std::to_string(*profile)); };
    });

    auto* fault = sim->add_subcommand(
        "fault",
        "make the next COUNT control frames misbehave: KIND is drop, wrong-echo, status-ff, "
        "status-fe, late or refuse-write; 'fault clear' forgets queued faults");
    auto kind = std::make_shared<std::string>();
    auto count = std::make_shared<int>(0);
    fault->add_option("KIND", *kind, "the fault")
        ->required()
        ->check(
            CLI::IsMember({"drop", "wrong-echo", "status-ff", "status-fe", "late", "refuse-write", "clear"}));
    fault->add_option("COUNT", *count, "how many frames (default 1)")->check(CLI::Range(1, 1000000));
    fault->callback([&ctx, &run, kind, count] {
        run = [&ctx, kind, count] {
            std::string line = "fault " + *kind;
            if (*count > 0) {
                if (*kind == "clear") FailUsage("'sim fault clear' takes no COUNT");
                line += " " + std::to_string(*count);
            }
            Send(ctx, line);
        };
    });

    auto* latency = sim->add_subcommand("latency", "set the reply latency in microseconds (0..10000000)");
    auto micros = std::make_shared<long>(0);
    latency->add_option("MICROSECONDS", *micros, "the latency")->required()->check(CLI::Range(0L, 10000000L));
    latency->callback(
        [&ctx, &run, micros] { run = [&ctx, micros] { Send(ctx, "latency " + std::to_string(*micros)); }; });
}

}  // namespace talvenix::cli
