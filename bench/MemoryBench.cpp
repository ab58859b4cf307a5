// Starts the real program with "/Start --simulate" (a factory keyboard) and prints its memory:
// hidden in the notification area after settling, then shown (asked for by a second start, as
// a user does) after settling again. RSS from /proc/<pid>/status, PSS from smaps_rollup.
// Also prints how long the window took from the request to its first paint.
// Usage: bench_memory [settle-seconds-hidden] [settle-seconds-shown]   (defaults 30 and 5)
#include <cstdio>
#include <cstdlib>

#include "bench/GuiBench.h"

using namespace talvenix::bench;

namespace {

double MiB(long kib) { return static_cast<double>(kib) / 1024.0; }

}  // namespace

int main(int argc, char** argv) {
    const double settleHidden = argc > 1 ? std::atof(argv[1]) : 30;
    const double settleShown = argc > 2 ? std::atof(argv[2]) : 5;
    Sandbox sandbox;
    TrayHost trayHost;
    std::printf("bench_memory: settling %.0f s hidden, %.0f s shown, %s\n", settleHidden, settleShown,
                trayHost.Describe().c_str());
    GuiProcess program(sandbox, GuiOptions{});
    if (!program.WaitFor("tray-ready") || !program.WaitFor("read-back-complete")) {
        std::fprintf(stderr, "the program did not come up\n");
        return 1;
    }
    SleepSeconds(settleHidden);
    const long hiddenRss = RssKiB(program.Pid());
    const long hiddenPss = PssKiB(program.Pid());
    const auto showMs = program.Show();
    if (!showMs) {
        std::fprintf(stderr, "the window did not show\n");
        return 1;
    }
    SleepSeconds(settleShown);
    const long shownRss = RssKiB(program.Pid());
    const long shownPss = PssKiB(program.Pid());
    std::printf("  hidden: RSS %6.1f MiB  PSS %6.1f MiB\n", MiB(hiddenRss), MiB(hiddenPss));
    std::printf("  shown:  RSS %6.1f MiB  PSS %6.1f MiB\n", MiB(shownRss), MiB(shownPss));
    std::printf("  show request -> first paint: %.1f ms\n", *showMs);
    Figure("memory_hidden_rss_mib", MiB(hiddenRss), "MiB");
    Figure("memory_hidden_pss_mib", MiB(hiddenPss), "MiB");
    Figure("memory_shown_rss_mib", MiB(shownRss), "MiB");
    Figure("memory_shown_pss_mib", MiB(shownPss), "MiB");
    Figure("show_request_to_paint_ms", *showMs, "ms");
    return 0;
}
