// Starts the real program with "/Start --simulate" (a factory keyboard) and counts what it does
// while nobody uses it: wake-ups (times a thread was put on a CPU) and CPU time per minute, from
// /proc/<pid>/task/*/schedstat, hidden in the notification area and then shown (asked for by a
// second start), naming the threads that woke.
// Usage: bench_idle [seconds-per-phase] [settle-seconds]   (defaults 60 and 5)
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "bench/GuiBench.h"

using namespace talvenix::bench;

namespace {

struct Phase {
    double wakeUpsPerMinute = 0;
    double cpuMsPerMinute = 0;
};

Phase Measure(pid_t pid, double seconds, const char* label) {
    const auto before = SampleThreads(pid);
    const Ns start = Now();
    SleepSeconds(seconds);
    const auto after = SampleThreads(pid);
    const double minutes = Ms(Now() - start) / 60000.0;
    Phase phase;
    std::printf("  %s, %.0f s:\n", label, seconds);
    for (const auto& [tid, s] : after) {
        const auto it = before.find(tid);
        const std::uint64_t slices0 = it == before.end() ? 0 : it->second.slices;
        const std::uint64_t cpu0 = it == before.end() ? 0 : it->second.cpuNs;
        const double wakeUps = static_cast<double>(s.slices - slices0) / minutes;
        const double cpuMs = static_cast<double>(s.cpuNs - cpu0) / 1e6 / minutes;
        phase.wakeUpsPerMinute += wakeUps;
        phase.cpuMsPerMinute += cpuMs;
        if (s.slices != slices0)
            std::printf("    thread %-16s %8.1f wake-ups/min  %8.2f ms CPU/min\n", s.name.c_str(), wakeUps,
                        cpuMs);
    }
    std::printf("    all threads      %8.1f wake-ups/min  %8.2f ms CPU/min\n", phase.wakeUpsPerMinute,
                phase.cpuMsPerMinute);
    return phase;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60;
    const double settle = argc > 2 ? std::atof(argv[2]) : 5;
    Sandbox sandbox;
    TrayHost trayHost;
    std::printf("bench_idle: %.0f s per phase after %.0f s settling, %s\n", seconds, settle,
                trayHost.Describe().c_str());
    GuiProcess program(sandbox, GuiOptions{});
    if (!program.WaitFor("tray-ready") || !program.WaitFor("read-back-complete")) {
        std::fprintf(stderr, "the program did not come up\n");
        return 1;
    }
    SleepSeconds(settle);
    const Phase hidden = Measure(program.Pid(), seconds, "hidden");
    if (!program.Show()) {
        std::fprintf(stderr, "the window did not show\n");
        return 1;
    }
    SleepSeconds(settle);
    const Phase shown = Measure(program.Pid(), seconds, "shown, idle");
    Figure("idle_hidden_wakeups_per_min", hidden.wakeUpsPerMinute, "/min");
    Figure("idle_hidden_cpu_ms_per_min", hidden.cpuMsPerMinute, "ms/min");
    Figure("idle_shown_wakeups_per_min", shown.wakeUpsPerMinute, "/min");
    Figure("idle_shown_cpu_ms_per_min", shown.cpuMsPerMinute, "ms/min");
    return 0;
}
