#include "bench/GuiBench.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace talvenix::bench {

namespace fs = std::filesystem;

Ns Now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<Ns>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

double Ms(Ns ns) { return static_cast<double>(ns) / 1e6; }

std::string ProgramFolder() { return fs::read_symlink("/proc/self/exe").parent_path().string(); }

void Figure(const std::string& key, double value, const std::string& unit) {
    std::printf("FIGURE %s %.3f %s\n", key.c_str(), value, unit.c_str());
    std::fflush(stdout);
}

Spread SpreadOf(std::vector<double> values) {
    Spread s;
    if (values.empty()) return s;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    s.min = values.front();
    s.max = values.back();
    return s;
}

void SleepSeconds(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

namespace {

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, bool quiet) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", args[0], std::strerror(rc));
        std::exit(1);
    }
    return pid;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

Sandbox::Sandbox() {
    char pattern[] = "/tmp/talvenix-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    root_ = pattern;
    for (const char* sub : {"home", "home/Documents", "config", "state", "data", "cache", "run"})
        fs::create_directories(root_ + "/" + sub);
    chmod((root_ + "/run").c_str(), 0700);
}

Sandbox::~Sandbox() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::vector<std::string> Sandbox::Environment(const std::map<std::string, std::string>& extra) const {
    std::map<std::string, std::string> vars;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const auto eq = entry.find('=');
        if (eq != std::string::npos) vars[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    // Nothing of the user's own configuration, store or running instance leaks in.
    vars["HOME"] = root_ + "/home";
    vars["XDG_CONFIG_HOME"] = root_ + "/config";
    vars["XDG_STATE_HOME"] = root_ + "/state";
    vars["XDG_DATA_HOME"] = root_ + "/data";
    vars["XDG_CACHE_HOME"] = root_ + "/cache";
    vars["XDG_RUNTIME_DIR"] = root_ + "/run";
    vars.erase("TALVENIX_SIM_COMMANDS");
    vars.erase("TALVENIX_SIM_UNPLUGGED");
    for (const auto& [k, v] : extra) vars[k] = v;
    std::vector<std::string> out;
    for (const auto& [k, v] : vars) out.push_back(k + "=" + v);
    return out;
}

TrayHost::TrayHost() {
    const char* display = std::getenv("DISPLAY");
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!display || !*display || (platform && std::string(platform) != "xcb")) return;
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    pid_ = Spawn({ProgramFolder() + "/bench_tray_host"}, env, true);
    SleepSeconds(0.3);  // it owns the selection before the program looks for it
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) pid_ = -1;  // another tray was there already
}

TrayHost::~TrayHost() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

std::string TrayHost::Describe() const {
    const char* display = std::getenv("DISPLAY");
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && std::string(platform) == "offscreen")
        return "offscreen platform (no notification area: hiding minimises)";
    if (!display || !*display) return "no display";
    return std::string("X display ") + display + (pid_ > 0 ? " with bench_tray_host" : " with its own tray");
}

long long Milestone::Value(const std::string& key) const {
    const std::string needle = key + "=";
    const auto pos = detail.find(needle);
    if (pos == std::string::npos) return -1;
    return std::atoll(detail.c_str() + pos + needle.size());
}

GuiProcess::GuiProcess(const Sandbox& sandbox, const GuiOptions& options)
    : sandbox_(sandbox), options_(options) {
    static int serial = 0;
    milestones_ = sandbox.Root() + "/milestones-" + std::to_string(++serial);
    std::remove(milestones_.c_str());
    std::vector<std::string> argv{ProgramFolder() + "/talvenix"};
    argv.insert(argv.end(), options.arguments.begin(), options.arguments.end());
    const auto env = sandbox.Environment({{"TALVENIX_MILESTONES", milestones_},
                                          {"TALVENIX_SIM_STATE", options.stateFile},
                                          {"TALVENIX_SIM_LATENCY_US", std::to_string(options.latencyUs)}});
    started_ = Now();
    pid_ = Spawn(argv, env, true);
}

GuiProcess::~GuiProcess() { Stop(); }

bool GuiProcess::Alive() { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

void GuiProcess::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

std::vector<Milestone> GuiProcess::Read() const {
    std::vector<Milestone> out;
    std::istringstream lines(ReadFile(milestones_));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        Milestone m;
        if (!(fields >> m.name >> m.at)) continue;
        std::getline(fields, m.detail);
        out.push_back(std::move(m));
    }
    return out;
}

std::optional<Milestone> GuiProcess::WaitFor(const std::string& name, double timeoutSeconds) {
    const Ns deadline = Now() + static_cast<Ns>(timeoutSeconds * 1e9);
    while (Now() < deadline) {
        for (const auto& m : Read())
            if (m.name == name) return m;
        if (!Alive()) return std::nullopt;
        SleepSeconds(0.001);
    }
    return std::nullopt;
}

std::optional<double> GuiProcess::Show(double timeoutSeconds) {
    std::size_t shownBefore = 0;
    for (const auto& m : Read()) shownBefore += m.name == "shown";
    const int status = RunToEnd(
        sandbox_, {ProgramFolder() + "/talvenix", "--simulate"},
        {{"TALVENIX_SIM_STATE", options_.stateFile}, {"TALVENIX_MILESTONES", milestones_ + "-second"}});
    if (status != 0) {
        std::fprintf(stderr, "the second start ended with status %d\n", status);
        return std::nullopt;
    }
    const Ns deadline = Now() + static_cast<Ns>(timeoutSeconds * 1e9);
    while (Now() < deadline && Alive()) {
        Ns requested = 0;
        std::size_t shown = 0;
        for (const auto& m : Read()) {
            if (m.name == "show-requested") requested = m.at;
            if (m.name == "shown" && ++shown > shownBefore && requested) return Ms(m.at - requested);
        }
        SleepSeconds(0.002);
    }
    return std::nullopt;
}

int RunToEnd(const Sandbox& sandbox, const std::vector<std::string>& argv,
             const std::map<std::string, std::string>& extra) {
    const pid_t pid = Spawn(argv, sandbox.Environment(extra), true);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

namespace {

long FieldKiB(const std::string& path, const std::string& field) {
    std::istringstream lines(ReadFile(path));
    std::string line;
    while (std::getline(lines, line))
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + field.size());
    return -1;
}

}  // namespace

long RssKiB(pid_t pid) { return FieldKiB("/proc/" + std::to_string(pid) + "/status", "VmRSS:"); }

long PssKiB(pid_t pid) { return FieldKiB("/proc/" + std::to_string(pid) + "/smaps_rollup", "Pss:"); }

std::map<int, ThreadSample> SampleThreads(pid_t pid) {
    std::map<int, ThreadSample> out;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(tasks, ec)) {
        const int tid = std::atoi(entry.path().filename().c_str());
        ThreadSample s;
        std::istringstream stat(ReadFile(entry.path().string() + "/schedstat"));
        std::uint64_t wait = 0;
        if (!(stat >> s.cpuNs >> wait >> s.slices)) continue;
        s.name = ReadFile(entry.path().string() + "/comm");
        while (!s.name.empty() && s.name.back() == '\n') s.name.pop_back();
        out[tid] = s;
    }
    return out;
}

}  // namespace talvenix::bench
