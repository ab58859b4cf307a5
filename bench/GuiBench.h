// What the GUI benchmarks share: a private home for the program, starting and stopping it, its
// milestones (TALVENIX_MILESTONES), and the figures /proc gives about it. The program and the
// simulated keyboard are taken from the folder this benchmark lives in.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace talvenix::bench {

using Ns = std::int64_t;

Ns Now();  // CLOCK_MONOTONIC, the clock the program stamps its milestones with
double Ms(Ns ns);
std::string ProgramFolder();

// One line per figure for scripts/bench: "FIGURE <key> <value> <unit>".
void Figure(const std::string& key, double value, const std::string& unit);

struct Spread {
    double median = 0;
    double min = 0;
    double max = 0;
};
Spread SpreadOf(std::vector<double> values);

// A throw-away HOME with its own config, state and runtime folders; removed at the end.
class Sandbox {
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const std::string& Root() const { return root_; }
    // The environment of this process with the sandbox's folders and `extra` on top.
    std::vector<std::string> Environment(const std::map<std::string, std::string>& extra) const;

private:
    std::string root_;
};

// A notification area under Xvfb (bench_tray_host), when there is a display and none yet.
class TrayHost {
public:
    TrayHost();
    ~TrayHost();
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;
    // Which platform the program will run on and whether it has a tray there.
    std::string Describe() const;

private:
    pid_t pid_ = -1;
};

struct Milestone {
    std::string name;
    Ns at = 0;
    std::string detail;  // "key=value ..." after the time
    // The value of `key` in the detail, or -1.
    long long Value(const std::string& key) const;
};

struct GuiOptions {
    long latencyUs = 1000;  // the simulated keyboard's reply latency
    std::string stateFile;  // the simulated keyboard's memory; empty: factory memory, in the process
    std::vector<std::string> arguments{"/Start", "--simulate"};
};

// The real program, started by exec; stopped (SIGTERM) when this object goes.
class GuiProcess {
public:
    GuiProcess(const Sandbox& sandbox, const GuiOptions& options);
    ~GuiProcess();
    GuiProcess(const GuiProcess&) = delete;
    GuiProcess& operator=(const GuiProcess&) = delete;

    pid_t Pid() const { return pid_; }
    Ns Started() const { return started_; }  // just before the exec
    // The first milestone `name` the program wrote, waiting up to `timeoutSeconds`.
    std::optional<Milestone> WaitFor(const std::string& name, double timeoutSeconds = 20);
    // Asks for the window as a user does, by starting the program a second time, and waits for
    // its first paint. Returns the time from the request reaching the program to that paint.
    std::optional<double> Show(double timeoutSeconds = 20);
    bool Alive();
    void Stop();

private:
    std::vector<Milestone> Read() const;

    const Sandbox& sandbox_;
    GuiOptions options_;
    std::string milestones_;
    pid_t pid_ = -1;
    Ns started_ = 0;
};

// Runs a program to its end with the sandbox's environment; returns its exit status.
int RunToEnd(const Sandbox& sandbox, const std::vector<std::string>& argv,
             const std::map<std::string, std::string>& extra);

// --- /proc ---
long RssKiB(pid_t pid);
long PssKiB(pid_t pid);
struct ThreadSample {
    std::string name;
    std::uint64_t cpuNs = 0;
    std::uint64_t slices = 0;  // times the thread was put on a CPU: its wake-ups
};
std::map<int, ThreadSample> SampleThreads(pid_t pid);

void SleepSeconds(double seconds);

}  // namespace talvenix::bench
