#include "tests/support/SimKeyboard.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace talvenix::test {

device::TransportTiming FastTiming() {
    device::TransportTiming t;
    t.attemptWait = std::chrono::milliseconds(150);
    t.retryPause = std::chrono::milliseconds(1);
    t.busyBackoff = std::chrono::milliseconds(20);
    t.endUpdatePause = std::chrono::milliseconds(0);
    return t;
}

device::ServiceLibraryLink SimulatorLink() {
    device::ServiceLibraryLink link;
    link.Debug = &::Debug;
    link.Init = &::Init;
    link.End = &::End;
    link.RequestGetDeviceCount = &::RequestGetDeviceCount;
    link.DeleteRequestFromUnitId = &::DeleteRequestFromUnitId;
    link.DeleteRequestFromHandle = &::DeleteRequestFromHandle;
    link.RequestWrite = &::RequestWrite;
    link.RequestWriteOne = &::RequestWriteOne;
    link.RequestStatusWrite = &::RequestStatusWrite;
    link.RequestStatusGet = &::RequestStatusGet;
    link.RequestAsyncRead = &::RequestAsyncRead;
    link.RequestStatusSetFeature = &::RequestStatusSetFeature;
    return link;
}

SimKeyboard::SimKeyboard() {
    // In-process tests drive the simulator directly: no state file, no control socket that a
    // parallel test process could collide with.
    unsetenv("TALVENIX_SIM_STATE");
    setenv("TALVENIX_SIM_SOCKET", "none", 0);
    link_ = std::make_unique<device::DeviceLink>(SimulatorLink(), FastTiming());
    PelloranSimReset();
    Control("latency 0");
    link_->RegisterStandingReads();
    PelloranSimClearFrames();
}

SimKeyboard::~SimKeyboard() { link_.reset(); }

std::string SimKeyboard::Control(const std::string& command) {
    char reply[512] = {};
    const int r = PelloranSimControl(command.c_str(), reply, sizeof reply);
    EXPECT_EQ(r, 0) << "simulator refused '" << command << "': " << reply;
    return reply;
}

std::vector<std::uint8_t> SimKeyboard::Memory(int area, std::uint32_t offset, std::uint32_t length) const {
    std::vector<std::uint8_t> out(length);
    EXPECT_EQ(PelloranSimReadMemory(area, offset, out.data(), length), 1)
        << "area " << area << " offset " << offset << " length " << length;
    return out;
}

void SimKeyboard::SetMemory(int area, std::uint32_t offset, const std::vector<std::uint8_t>& bytes) {
    EXPECT_EQ(PelloranSimWriteMemory(area, offset, bytes.data(), static_cast<std::uint32_t>(bytes.size())),
              1);
}

std::vector<device::DeviceReport> SimKeyboard::Frames() const {
    std::vector<device::DeviceReport> frames(PelloranSimFrameCount());
    for (std::uint32_t i = 0; i < frames.size(); ++i) PelloranSimFrameAt(i, frames[i].data());
    return frames;
}

std::vector<device::DeviceReport> SimKeyboard::FramesOf(std::uint8_t command) const {
    std::vector<device::DeviceReport> out;
    for (const auto& f : Frames()) {
        if (f[device::kOffCommand] == command) out.push_back(f);
    }
    return out;
}

void SimKeyboard::ClearFrames() { PelloranSimClearFrames(); }

}  // namespace talvenix::test
