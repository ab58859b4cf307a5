// Drives libPelloranSim through its twelve entry points the way the program does, with frames
// built by hand, and records every notification the library delivers.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "service/simulator/PelloranSim.h"

namespace talvenix::service::test {

using Frame = std::array<std::uint8_t, 64>;
using namespace std::chrono_literals;

HidUnitFilter MakeFilter(std::uint16_t page, std::uint16_t usage);
inline HidUnitFilter ControlFilter() {
    return MakeFilter(TALVENIX_CONTROL_USAGE_PAGE, TALVENIX_CONTROL_USAGE);
}
inline HidUnitFilter ConsumerFilter() {
    return MakeFilter(TALVENIX_CONSUMER_USAGE_PAGE, TALVENIX_CONSUMER_USAGE);
}
inline HidUnitFilter LedFilter() { return MakeFilter(TALVENIX_LED_USAGE_PAGE, TALVENIX_LED_USAGE); }

// A request frame with its frame checksum stamped.
Frame MakeFrame(std::uint8_t command, std::uint8_t length, std::uint16_t address,
                const std::vector<std::uint8_t>& payload = {});

// What one notification carried, copied out during the callback.
struct Captured {
    int kind = -1;
    std::uint32_t tag = 0;
    std::uint32_t count = 0;
    std::vector<std::uint8_t> bytes;
    std::optional<std::uint16_t> usage;
    std::thread::id thread;
};

// The callback handed to the library, and what it has seen so far.
int CaptureNotify(const ServiceNotification* n);
std::vector<Captured> CapturedSoFar();
void ClearCaptured();
// Waits until `match` is true of a notification captured at index `from` or later; returns it.
std::optional<Captured> WaitForCaptured(const std::function<bool(const Captured&)>& match,
                                        std::chrono::milliseconds timeout = 3000ms, std::size_t from = 0);

int RegisterRead(const HidUnitFilter& filter, std::uint32_t tag, std::uint32_t* unit,
                 ServiceNotifyFn callback = &CaptureNotify);
int WriteFrame(const Frame& frame);
int DeviceCount(const HidUnitFilter& filter = ControlFilter());
int Control(const std::string& command, std::string* reply = nullptr);
std::vector<std::uint8_t> Memory(int area, std::uint32_t offset, std::uint32_t length);
std::vector<Frame> ReceivedFrames();

// Sets the simulator's environment, Init(0), latency 0, standing CTRL and CONS reads.
class SimTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Sends `frame` and waits for the CTRL reply carrying `command` (the request's by default).
    std::optional<Frame> Exchange(const Frame& frame, std::chrono::milliseconds timeout = 3000ms);

    std::uint32_t ctrlUnit_ = 0;
    std::uint32_t consUnit_ = 0;
    bool initialised_ = false;
};

}  // namespace talvenix::service::test
