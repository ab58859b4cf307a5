// Measures the report transport against the simulated keyboard and prints figures:
//  (a) exchanges per second at zero reply latency;
//  (b) a full write (begin, a 16384-byte macro image, three key blocks, end) and
//  (c) a full read-back of the same, at a USB-like reply latency, each with its ratio to the
//      latency model's minimum: exchanges x latency (+ the end command's 10 ms pause for writes);
//  (d) the write of (b) verified by reading it back: exchanges and time against the bare write;
//  (e) talvenix-cli --simulate restore of a profile file with 100 macros, and (f) backup of the
//      keyboard it leaves, each a whole process run at the same latency: the median wall time
//      against exchanges x latency (the simulator counts the frames it received).
// Besides the text, each ratio is printed as "FIGURE <key> <value> x" for scripts.
// Loads libPelloranSim.so the way the program does.
// Usage: bench_transport [latency-us] [exchanges] [cli-runs]; TALVENIX_BENCH_CLI names another
// talvenix-cli to time (an older build, for a before-and-after figure).
#include <dlfcn.h>
#include <poll.h>
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
#include <string>
#include <vector>

#include "core/device/Commands.h"
#include "core/device/DeviceLink.h"
#include "core/device/VerifyWrites.h"
#include "core/keys/KeyAssignment.h"
#include "core/macros/WorkingConfig.h"
#include "core/profiles/ProfileFile.h"
#include "platform/ServiceLibraryLoader.h"

using namespace talvenix;
using Clock = std::chrono::steady_clock;

namespace {

using ControlFn = int (*)(const char*, char*, std::size_t);

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void Figure(const char* key, double value) { std::printf("FIGURE %s %.3f x\n", key, value); }

// 100 macros of 30 actions with 16-character names, the letters and digits bound to the first
// 36: the image fills 15816 of the keyboard's 16384 bytes of macro space, as a full keyboard does.
std::vector<std::uint8_t> HundredMacroProfile() {
    macros::Configuration c;
    for (int i = 0; i < 100; ++i) {
        macros::MacroRecord m;
        m.id = static_cast<std::uint16_t>(i + 1);
        char name[32];
        std::snprintf(name, sizeof name, "Bench macro #%03d", i + 1);
        m.SetName(std::u16string(name, name + std::strlen(name)));
        m.cycles = 1;
        m.actionCount = 30;
        for (int a = 0; a < 30; ++a) {
            m.actions[static_cast<std::size_t>(a)] = {static_cast<std::uint32_t>(10 * (a + 1)),
                                                      static_cast<std::uint16_t>(0x10 + (i + a / 2) % 26),
                                                      static_cast<std::uint16_t>(a % 2)};
        }
        c.macros.push_back(m);
    }
    // Letters and digits play macros 1..36.
    const std::uint16_t slots[] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26,
                                   0x32, 0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D,
                                   0x15, 0x2C, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B};
    for (std::size_t k = 0; k < std::size(slots); ++k) {
        keys::KeyAssignment play;
        play.kind = 4;
        play.tag = 1;
        play.value = static_cast<std::uint32_t>(k + 1);
        c.StoreAssignment(0, slots[k], play);
    }
    c.RefreshHeader();
    return profiles::SerializeProfileFile(c);
}

struct CliRun {
    double seconds = 0;
    long frames = -1;  // as the simulator counted them; -1 when it did not say
    int exitCode = -1;
    std::string err;
};

// Runs talvenix-cli --simulate ARGS in `home` at `latencyUs`, timing fork to exit.
CliRun RunCli(const std::filesystem::path& home, long latencyUs, const std::vector<std::string>& args) {
    CliRun run;
    int errPipe[2];
    if (::pipe(errPipe) != 0) return run;
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(errPipe[1], STDERR_FILENO);
        ::close(errPipe[0]);
        ::close(errPipe[1]);
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        ::setenv("XDG_DOCUMENTS_DIR", (home / "Documents").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (home / "run").c_str(), 1);
        ::setenv("TALVENIX_SIM_STATE", (home / "keyboard.state").c_str(), 1);
        ::setenv("TALVENIX_SIM_LATENCY_US", std::to_string(latencyUs).c_str(), 1);
        ::setenv("TALVENIX_SIM_TALLY", "1", 1);
        const char* other = std::getenv("TALVENIX_BENCH_CLI");
        std::string binary = other != nullptr && *other != '\0' ? other : TALVENIX_CLI_BINARY;
        std::string simulate = "--simulate";
        std::vector<std::string> copy = args;
        std::vector<char*> argv{binary.data(), simulate.data()};
        for (auto& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(binary.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(errPipe[1]);
    char buf[4096];
    for (ssize_t n; (n = ::read(errPipe[0], buf, sizeof buf)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        run.err.append(buf, static_cast<std::size_t>(n));
    }
    ::close(errPipe[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.seconds = Seconds(Clock::now() - start);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const std::string tag = "PelloranSim: tally frames=";
    if (const auto at = run.err.find(tag); at != std::string::npos)
        run.frames = std::atol(run.err.c_str() + at + tag.size());
    return run;
}

// Median ratio of `runs` runs of ARGS; prints the line and returns the ratio, or -1 on failure.
double CliRatio(const char* label, const std::filesystem::path& home, long latencyUs, int runs,
                const std::vector<std::string>& args) {
    std::vector<double> seconds;
    long frames = -1;
    for (int i = 0; i < runs; ++i) {
        const CliRun r = RunCli(home, latencyUs, args);
        if (r.exitCode != 0 || r.frames <= 0 || (frames >= 0 && r.frames != frames)) {
            std::fprintf(stderr, "%s: exit %d, frames %ld (before %ld): %s\n", label, r.exitCode, r.frames,
                         frames, r.err.c_str());
            return -1;
        }
        frames = r.frames;
        seconds.push_back(r.seconds);
    }
    std::sort(seconds.begin(), seconds.end());
    const double median = seconds[seconds.size() / 2];
    const double minimum = static_cast<double>(frames) * latencyUs / 1e6;
    std::printf(
        "%s, %ld exchanges at %ld us: median %.3f s of %d runs (%.3f..%.3f), minimum %.3f s, ratio %.3f "
        "(target <= 1.15)\n",
        label, frames, latencyUs, median, runs, seconds.front(), seconds.back(), minimum, median / minimum);
    return median / minimum;
}

void SetLatency(ControlFn control, long us) {
    char reply[256];
    const std::string command = "latency " + std::to_string(us);
    if (control(command.c_str(), reply, sizeof reply) != 0) {
        std::fprintf(stderr, "simulator refused '%s': %s\n", command.c_str(), reply);
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const long latencyUs = argc > 1 ? std::atol(argv[1]) : 1000;
    const int exchanges = argc > 2 ? std::atoi(argv[2]) : 20000;
    const int cliRuns = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;

    setenv("TALVENIX_SIM_LATENCY_US", "0", 1);
    unsetenv("TALVENIX_SIM_STATE");
    auto loaded = platform::LoadServiceLibrary(platform::ServiceLibraryPath(true));
    if (!loaded.ok()) {
        std::fprintf(stderr, "%s\n", loaded.error.c_str());
        return 1;
    }
    auto control = reinterpret_cast<ControlFn>(dlsym(loaded.link.module, "PelloranSimControl"));
    if (control == nullptr) {
        std::fprintf(stderr, "PelloranSimControl missing in the simulator\n");
        return 1;
    }
    int rc = 0;
    {
        device::DeviceLink link(loaded.link);
        if (!link.Ready()) {
            std::fprintf(stderr, "the simulator's Init failed\n");
            return 1;
        }
        link.RegisterStandingReads();
        auto& t = link.Transport();

        // (a) round trips at zero latency.
        SetLatency(control, 0);
        device::ConfigBlock config;
        const auto a0 = Clock::now();
        for (int i = 0; i < exchanges; ++i) {
            if (device::ReadConfigBlock(t, config) != device::kOk) {
                std::fprintf(stderr, "exchange %d failed\n", i);
                return 1;
            }
        }
        const double aSec = Seconds(Clock::now() - a0);
        const double perSecond = exchanges / aSec;
        std::printf("(a) %d exchanges at 0 us latency: %.3f s, %.0f exchanges/s (target > 20000)%s\n",
                    exchanges, aSec, perSecond, perSecond > 20000 ? "" : "  BELOW TARGET");

        // (b) full write and (c) full read-back at the USB-like latency.
        SetLatency(control, latencyUs);
        std::vector<std::uint8_t> image(16384);
        for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 31 + 7);
        device::KeyBlock block{};
        const int imageFrames = static_cast<int>((image.size() + 55) / 56);
        const int writeExchanges = 1 + imageFrames + 3 * 7 + 1;
        const auto b0 = Clock::now();
        const int wr = device::RunWriteSequence(t, [&] {
            int r = device::WriteMacroMemory(t, image);
            for (int p = 0; p < 3 && r == device::kOk; ++p) r = device::WriteKeyBlock(t, block, p);
            return r;
        });
        const double bSec = Seconds(Clock::now() - b0);
        const double bMin = writeExchanges * latencyUs / 1e6 + 0.010;
        std::printf(
            "(b) full write, %d exchanges at %ld us: %.3f s, minimum %.3f s, ratio %.3f (target <= 1.10)%s\n",
            writeExchanges, latencyUs, bSec, bMin, bSec / bMin, wr == device::kOk ? "" : "  WRITE FAILED");

        std::vector<std::uint8_t> back(image.size());
        const int readExchanges = imageFrames + 3 * 7;
        const auto c0 = Clock::now();
        int rr = device::ReadMacroMemory(t, back);
        for (int p = 0; p < 3 && rr == device::kOk; ++p) rr = device::ReadKeyBlock(t, block, p);
        const double cSec = Seconds(Clock::now() - c0);
        const double cMin = readExchanges * latencyUs / 1e6;
        std::printf(
            "(c) full read-back, %d exchanges at %ld us: %.3f s, minimum %.3f s, ratio %.3f (target <= "
            "1.10)%s\n",
            readExchanges, latencyUs, cSec, cMin, cSec / cMin,
            rr == device::kOk && back == image ? "" : "  READ-BACK DIFFERS");
        if (wr != device::kOk || rr != device::kOk || back != image) rc = 1;
        Figure("transport_write_ratio", bSec / bMin);
        Figure("transport_read_ratio", cSec / cMin);

        // (d) the same write verified: read back the image and the three blocks, compare.
        const auto d0 = Clock::now();
        const auto s0 = t.Stats();
        const int dw = device::RunWriteSequence(t, [&] {
            int r = device::WriteMacroMemory(t, image);
            for (int p = 0; p < 3 && r == device::kOk; ++p) r = device::WriteKeyBlock(t, block, p);
            return r;
        });
        const auto s1 = t.Stats();
        const double dWriteSec = Seconds(Clock::now() - d0);
        bool verified = dw == device::kOk && device::VerifyMacroMemory(t, image).Ok();
        for (int p = 0; p < 3 && verified; ++p) verified = device::VerifyKeyBlock(t, block, p).Ok();
        const auto s2 = t.Stats();
        const double dSec = Seconds(Clock::now() - d0);
        const auto written = s1.exchanges - s0.exchanges;
        const auto total = s2.exchanges - s0.exchanges;
        const double ratio = static_cast<double>(total) / static_cast<double>(written);
        std::printf(
            "(d) verified write: %llu exchanges for the write, %llu with the read-back (%.2fx, target <= 2), "
            "%.3f s against %.3f s unverified (%.2fx)%s\n",
            static_cast<unsigned long long>(written), static_cast<unsigned long long>(total), ratio, dSec,
            dWriteSec, dSec / dWriteSec, verified ? "" : "  VERIFY FAILED");
        if (!verified || ratio > 2.0) rc = 1;
    }
    platform::UnloadServiceLibrary(loaded.link);

    // (e) and (f): the CLI end to end, in a HOME of its own.
    char pattern[] = "/tmp/talvenix-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path home = pattern;
    for (const char* sub : {"config", "Documents", "run"}) std::filesystem::create_directories(home / sub);
    std::filesystem::permissions(home / "run", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    const auto profile = HundredMacroProfile();
    // The configurator's store is there as well, so restore writes it too, as for its users.
    std::filesystem::create_directories(home / "Documents" / "Talvenix");
    for (const auto& file : {home / "hundred.tvx", home / "Documents" / "Talvenix" / "$Profile0"}) {
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(profile.data()),
                   static_cast<std::streamsize>(profile.size()));
    }
    const double restore = CliRatio("(e) talvenix-cli restore, 100 macros", home, latencyUs, cliRuns,
                                    {"restore", (home / "hundred.tvx").string()});
    const double backup = CliRatio("(f) talvenix-cli backup, 100 macros", home, latencyUs, cliRuns,
                                   {"backup", (home / "back.tvx").string()});
    if (restore > 0) Figure("cli_restore_ratio", restore);
    if (backup > 0) Figure("cli_backup_ratio", backup);
    if (restore < 0 || backup < 0) rc = 1;
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    return rc;
}
