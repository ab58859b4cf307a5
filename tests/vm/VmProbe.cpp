// talvenix-vm-probe: drives a service library the way the configurator does (standing reads,
// exchanges, the LED write) and prints what it hears, for the VM suite's scripts.
//
//   talvenix-vm-probe LIBRARY [--wait-attached SECONDS] [--until FILE] [--led]
//                     [--usages 0xNNNN,...] [--timeout SECONDS]
//
// --until keeps the library running (hearing arrivals and removals) until FILE exists.
//
// Prints "attached" once a keyboard is there (and a control exchange works), then, with
// --usages, waits for each consumer usage in turn. Exit 0 when everything asked for happened.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/device/Commands.h"
#include "core/device/DeviceLink.h"
#include "platform/ServiceLibraryLoader.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace device = talvenix::device;

class Sink : public device::DeviceEventSink {
public:
    void OnConsumerUsage(std::uint16_t usage) override {
        std::lock_guard lock(mutex_);
        usages_.push_back(usage);
        changed_.notify_all();
    }
    void OnDeviceCountChanged(int count) override {
        std::printf("count %d\n", count);
        std::fflush(stdout);
    }
    bool WaitUsage(std::uint16_t usage, Clock::time_point deadline) {
        std::unique_lock lock(mutex_);
        for (;;) {
            while (!usages_.empty()) {
                const std::uint16_t got = usages_.front();
                usages_.pop_front();
                std::printf("heard 0x%04X\n", got);
                std::fflush(stdout);
                if (got == usage) return true;
            }
            if (changed_.wait_until(lock, deadline) == std::cv_status::timeout && usages_.empty())
                return false;
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::uint16_t> usages_;
};

double Seconds(const char* text) { return std::strtod(text, nullptr); }

Clock::time_point After(double seconds) {
    return Clock::now() + std::chrono::milliseconds(static_cast<long>(seconds * 1000));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: talvenix-vm-probe LIBRARY [options]\n");
        return 2;
    }
    double waitAttached = 5, timeout = 10;
    std::string until;
    bool led = false;
    std::vector<std::uint16_t> usages;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--wait-attached" && hasValue) {
            waitAttached = Seconds(argv[++i]);
        } else if (arg == "--until" && hasValue) {
            until = argv[++i];
        } else if (arg == "--timeout" && hasValue) {
            timeout = Seconds(argv[++i]);
        } else if (arg == "--led") {
            led = true;
        } else if (arg == "--usages" && hasValue) {
            std::stringstream list(argv[++i]);
            for (std::string item; std::getline(list, item, ',');)
                usages.push_back(static_cast<std::uint16_t>(std::strtoul(item.c_str(), nullptr, 16)));
        } else {
            std::fprintf(stderr, "talvenix-vm-probe: unknown argument '%s'\n", arg.c_str());
            return 2;
        }
    }

    auto loaded = talvenix::platform::LoadServiceLibrary(argv[1]);
    if (!loaded.ok()) {
        std::fprintf(stderr, "talvenix-vm-probe: %s\n", loaded.error.c_str());
        return 1;
    }
    loaded.link.Debug(1);
    Sink sink;
    int status = 0;
    {
        device::DeviceLink link(loaded.link);
        if (!link.Ready()) {
            std::fprintf(stderr, "talvenix-vm-probe: Init refused\n");
            return 1;
        }
        link.SetEventSink(&sink);
        link.RegisterStandingReads();
        // Hot-plug checks: the library must survive a storm of arrivals and removals.
        const auto untilLimit = After(300);
        while (!until.empty() && !std::filesystem::exists(until) && Clock::now() < untilLimit)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));

        const auto attachedBy = After(waitAttached);
        device::ConfigBlock config;
        int result = 0;
        while (Clock::now() < attachedBy) {
            if (link.Transport().DeviceCount() > 0 &&
                (result = device::ReadConfigBlock(link.Transport(), config)) == 1)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (result != 1) {
            std::printf("not attached (last exchange result %d)\n", result);
            status = 1;
        } else {
            std::printf("attached\n");
            std::fflush(stdout);
            if (led) {
                link.WriteLedStatus(0x05, 0x03);
                std::printf("led written\n");
                std::fflush(stdout);
            }
            const auto deadline = After(timeout);
            for (std::uint16_t usage : usages) {
                if (!sink.WaitUsage(usage, deadline)) {
                    std::printf("missed 0x%04X\n", usage);
                    status = 1;
                    break;
                }
            }
        }
        link.SetEventSink(nullptr);
    }
    std::fflush(stdout);
    return status;
}
