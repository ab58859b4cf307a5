// Starts the real program N times with "/Start --simulate" and prints the median and spread of
//  - exec -> tray ready (the deferred start ran: icon added, window hidden), and
//  - exec -> read-back complete (the keyboard's configuration read and shown),
// for a factory keyboard and for one holding 100 macros (restored into its memory by the CLI
// first), alternating the two. The read-back is also given against the latency model's
// minimum: the exchanges it took times the simulated keyboard's reply latency.
// Usage: bench_startup [runs] [latency-us]   (defaults 7 and 1000)
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/GuiBench.h"
#include "core/macros/WorkingConfig.h"
#include "core/profiles/ProfileFile.h"

using namespace talvenix;
using namespace talvenix::bench;

namespace {

// 100 macros of a few key strokes each: what a heavy user keeps on the keyboard.
bool WriteHundredMacros(const std::string& path) {
    macros::Configuration config;
    for (int i = 0; i < macros::kMaxMacros; ++i) {
        macros::MacroRecord m;
        m.id = static_cast<std::uint16_t>(i + 1);
        const std::string name = "Macro " + std::to_string(i + 1);
        m.SetName(std::u16string(name.begin(), name.end()));
        m.cycles = 1;
        m.actionCount = 8;
        for (int a = 0; a < 8; ++a)
            m.actions[static_cast<std::size_t>(a)] = {20, static_cast<std::uint16_t>(0x010 + a / 2),
                                                      static_cast<std::uint16_t>(a % 2)};
        config.macros.push_back(m);
    }
    config.RefreshHeader();
    return profiles::SaveProfileFile(path, config);
}

struct Kind {
    const char* name;
    const char* key;
    std::string stateFile;
    std::vector<double> tray, readBack;
    long long exchanges = -1;
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    const long latencyUs = argc > 2 ? std::atol(argv[2]) : 1000;
    Sandbox sandbox;
    TrayHost trayHost;
    std::printf("bench_startup: %d runs each, reply latency %ld us, %s\n", runs, latencyUs,
                trayHost.Describe().c_str());

    const std::string profile = sandbox.Root() + "/hundred-macros.tvx";
    const std::string macroState = sandbox.Root() + "/hundred-macros.state";
    if (!WriteHundredMacros(profile)) {
        std::fprintf(stderr, "cannot write %s\n", profile.c_str());
        return 1;
    }
    if (const int rc =
            RunToEnd(sandbox, {ProgramFolder() + "/talvenix-cli", "--simulate", "restore", profile},
                     {{"TALVENIX_SIM_STATE", macroState}, {"TALVENIX_SIM_LATENCY_US", "0"}});
        rc != 0) {
        std::fprintf(stderr, "talvenix-cli restore of the 100 macros failed (status %d)\n", rc);
        return 1;
    }

    std::vector<Kind> kinds = {{"factory keyboard", "factory", "", {}, {}},
                               {"100 macros", "macros", macroState, {}, {}}};
    // One start that is not counted: the first start of a program fills the file caches.
    {
        GuiOptions options;
        options.latencyUs = latencyUs;
        GuiProcess warmUp(sandbox, options);
        warmUp.WaitFor("read-back-complete");
    }
    for (int run = 0; run < runs; ++run) {
        for (auto& kind : kinds) {
            GuiOptions options;
            options.latencyUs = latencyUs;
            options.stateFile = kind.stateFile;
            GuiProcess program(sandbox, options);
            const auto tray = program.WaitFor("tray-ready");
            const auto readBack = program.WaitFor("read-back-complete");
            if (!tray || !readBack) {
                std::fprintf(stderr, "run %d (%s): the program did not reach %s\n", run + 1, kind.name,
                             tray ? "read-back complete" : "tray ready");
                return 1;
            }
            kind.tray.push_back(Ms(tray->at - program.Started()));
            kind.readBack.push_back(Ms(readBack->at - program.Started()));
            kind.exchanges = readBack->Value("exchanges");
        }
    }

    for (auto& kind : kinds) {
        const Spread tray = SpreadOf(kind.tray);
        const Spread readBack = SpreadOf(kind.readBack);
        const double minimum = static_cast<double>(kind.exchanges) * static_cast<double>(latencyUs) / 1000.0;
        std::printf("%s:\n", kind.name);
        std::printf("  exec -> tray ready          median %7.1f ms  (%.1f .. %.1f)\n", tray.median, tray.min,
                    tray.max);
        std::printf("  exec -> read-back complete  median %7.1f ms  (%.1f .. %.1f)\n", readBack.median,
                    readBack.min, readBack.max);
        std::printf("  read-back: %lld exchanges, latency minimum %.1f ms, ratio %.2f, %.1f ms over it\n",
                    kind.exchanges, minimum, minimum > 0 ? readBack.median / minimum : 0.0,
                    readBack.median - minimum);
        const std::string key = kind.key;
        Figure("startup_tray_" + key + "_ms", tray.median, "ms");
        Figure("startup_readback_" + key + "_ms", readBack.median, "ms");
        Figure("startup_readback_" + key + "_over_latency_ms", readBack.median - minimum, "ms");
        if (minimum > 0) Figure("startup_readback_" + key + "_ratio", readBack.median / minimum, "x");
        Figure("startup_readback_" + key + "_exchanges", static_cast<double>(kind.exchanges), "");
    }
    return 0;
}
