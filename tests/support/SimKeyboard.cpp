#include "tests/support/SimKeyboard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace talvenix::test {

device::TransportTiming FastTiming() {
    device::TransportTiming t;
    t.attemptWait = std::chrono::milliseconds(150);
    t.retryPause = std::chrono::milliseconds(1);
    t.busyBackoff = std::chrono::milliseconds(20);
    t.endUpdatePause = std::chrono::milliseconds(0);
    return t;
}

namespace {

std::mutex watchMutex;
std::thread::id watchedThread;
std::string firstWatchedCall;
std::atomic<int> watchedCalls{0};

void NoteKeyboardCall(const char* entry) {
    std::lock_guard lock(watchMutex);
    if (watchedThread == std::thread::id() || std::this_thread::get_id() != watchedThread) return;
    if (watchedCalls++ == 0) firstWatchedCall = entry;
}

// The simulator's entry point `Fn`, noting the calling thread first.
template <auto Fn>
struct Watched;
template <typename R, typename... A, R (*Fn)(A...)>
struct Watched<Fn> {
    static const char* name;
    static R Call(A... args) {
        NoteKeyboardCall(name);
        return Fn(args...);
    }
};
template <typename R, typename... A, R (*Fn)(A...)>
const char* Watched<Fn>::name = "";

template <auto Fn>
auto WatchedEntry(const char* name) {
    Watched<Fn>::name = name;
    return &Watched<Fn>::Call;
}

}  // namespace

void WatchKeyboardCallsOn(std::thread::id thread) {
    std::lock_guard lock(watchMutex);
    watchedThread = thread;
    watchedCalls = 0;
    firstWatchedCall.clear();
}

int KeyboardCallsOnWatchedThread() { return watchedCalls.load(); }

std::string FirstKeyboardCallOnWatchedThread() {
    std::lock_guard lock(watchMutex);
    return firstWatchedCall;
}

device::ServiceLibraryLink SimulatorLink() {
    device::ServiceLibraryLink link;
    link.Debug = &::Debug;
    link.Init = &::Init;
    link.End = &::End;
    link.RequestGetDeviceCount = WatchedEntry<&::RequestGetDeviceCount>("RequestGetDeviceCount");
    link.DeleteRequestFromUnitId = &::DeleteRequestFromUnitId;
    link.DeleteRequestFromHandle = &::DeleteRequestFromHandle;
    link.RequestWrite = WatchedEntry<&::RequestWrite>("RequestWrite");
    link.RequestWriteOne = WatchedEntry<&::RequestWriteOne>("RequestWriteOne");
    link.RequestStatusWrite = WatchedEntry<&::RequestStatusWrite>("RequestStatusWrite");
    link.RequestStatusGet = WatchedEntry<&::RequestStatusGet>("RequestStatusGet");
    link.RequestAsyncRead = &::RequestAsyncRead;
    link.RequestStatusSetFeature = WatchedEntry<&::RequestStatusSetFeature>("RequestStatusSetFeature");
    return link;
}

SimKeyboard::SimKeyboard(device::TransportTiming timing) {
    // In-process tests drive the simulator directly: no state file, no control socket that a
    // parallel test process could collide with.
    unsetenv("TALVENIX_SIM_STATE");
    setenv("TALVENIX_SIM_SOCKET", "none", 0);
    link_ = std::make_unique<device::DeviceLink>(SimulatorLink(), timing);
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
