// The simulated keyboard in the test's own process: libPelloranSim linked directly, reset to
// its factory memory, zero reply latency, and a DeviceLink with short waits so fault tests
// finish quickly.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/device/DeviceLink.h"
#include "core/device/DeviceReport.h"
#include "service/simulator/PelloranSim.h"

namespace talvenix::test {

// Waits short enough for fault tests, long enough for a loaded CI machine.
device::TransportTiming FastTiming();

// The twelve entry points of the directly linked simulator. Every call that talks to the
// keyboard (count, writes, status reads and writes) passes the thread watch below.
device::ServiceLibraryLink SimulatorLink();

// Counts keyboard calls made on one thread (the GUI tests watch the UI thread, which must
// never wait on the keyboard). A default id watches nothing.
void WatchKeyboardCallsOn(std::thread::id thread);
int KeyboardCallsOnWatchedThread();
// The entry point of the first such call ("" when none).
std::string FirstKeyboardCallOnWatchedThread();

class SimKeyboard {
public:
    // `timing`: the link's waits (slow-keyboard tests give it room for the latency they set).
    explicit SimKeyboard(device::TransportTiming timing = FastTiming());
    ~SimKeyboard();
    SimKeyboard(const SimKeyboard&) = delete;
    SimKeyboard& operator=(const SimKeyboard&) = delete;

    device::DeviceLink& Link() { return *link_; }
    device::ReportTransport& Transport() { return link_->Transport(); }

    // A text command of the simulator's control language ("unplug", "fault drop 2", ...).
    // Fails the test when the simulator refuses it.
    std::string Control(const std::string& command);

    std::vector<std::uint8_t> Memory(int area, std::uint32_t offset, std::uint32_t length) const;
    void SetMemory(int area, std::uint32_t offset, const std::vector<std::uint8_t>& bytes);

    // Control frames the keyboard received since construction or the last ClearFrames().
    std::vector<device::DeviceReport> Frames() const;
    // Only the frames carrying `command`.
    std::vector<device::DeviceReport> FramesOf(std::uint8_t command) const;
    void ClearFrames();

private:
    std::unique_ptr<device::DeviceLink> link_;
};

}  // namespace talvenix::test
