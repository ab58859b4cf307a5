// Measures the report transport against the simulated keyboard and prints figures:
//  (a) exchanges per second at zero reply latency;
//  (b) a full write (begin, a 16384-byte macro image, three key blocks, end) and
//  (c) a full read-back of the same, at a USB-like reply latency, each with its ratio to the
//      latency model's minimum: exchanges x latency (+ the end command's 10 ms pause for writes);
//  (d) the write of (b) verified by reading it back: exchanges and time against the bare write.
// Loads libPelloranSim.so the way the program does. Usage: bench_transport [latency-us] [exchanges]
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/device/Commands.h"
#include "core/device/DeviceLink.h"
#include "core/device/VerifyWrites.h"
#include "platform/ServiceLibraryLoader.h"

using namespace talvenix;
using Clock = std::chrono::steady_clock;

namespace {

using ControlFn = int (*)(const char*, char*, std::size_t);

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

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
    return rc;
}
