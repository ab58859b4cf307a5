// SimKeyboard: the simulated keyboard itself, one per process. It owns the memory, answers
// control frames after its reply latency, raises events and faults on demand, and keeps the
// log of received frames. The library's backend (SimBackend) and the in-process test API are
// thin doors onto it.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "service/common/HidBackend.h"
#include "service/simulator/SimFirmware.h"
#include "service/simulator/SimMemory.h"

namespace talvenix::service::sim {

class SimControlServer;

enum class FaultKind { Drop, WrongEcho, StatusFF, StatusFE, Late, RefuseWrite, Forget };

class SimKeyboard {
public:
    static SimKeyboard& Instance();

    static constexpr std::uint32_t kDefaultLatencyUs = 1000;
    static constexpr std::uint32_t kMaxLatencyUs = 10'000'000;
    // A late reply misses the program's 1000 ms wait for it.
    static constexpr std::uint32_t kLateReplyDelayMs = 1500;
    static constexpr std::uint32_t kMaxLateReplyDelayMs = 60'000;
    static constexpr std::size_t kFrameLogLimit = 100'000;

    // Library start and stop (Init / last End). Start reads the environment, loads the state
    // file and opens the control socket; Stop saves the state and closes the socket.
    void Start(BackendEvents& events);
    void Stop();

    // Backend calls.
    int DeviceCount();
    bool ReceiveFrame(std::span<const std::uint8_t> report);  // false: refused, nothing received
    bool ReceiveLedStatus(std::span<const std::uint8_t> bytes);
    int ReadLedStatus(std::span<std::uint8_t> out);

    // A control command; the reply line goes to `reply`. 0 done, -1 refused.
    int Control(std::string_view line, std::string& reply);

    // In-process test API.
    bool ReadMemory(int area, std::uint32_t offset, std::uint8_t* out, std::uint32_t length);
    bool WriteMemory(int area, std::uint32_t offset, const std::uint8_t* data, std::uint32_t length);
    std::uint32_t FrameCount();
    bool FrameAt(std::uint32_t index, std::uint8_t* out);
    void ClearFrames();
    void Reset();

private:
    SimKeyboard();
    struct PendingFault {
        FaultKind kind;
        std::uint32_t left;
    };

    std::span<std::uint8_t> AreaLocked(int area);
    std::string ControlLocked(std::string_view line, bool& ok);
    void SetPluggedLocked(bool plugged);
    void PostUsageLocked(std::uint16_t usage);
    std::optional<FaultKind> TakeFaultLocked(bool refuseOnly, int command = -1);
    // A random fault for this frame while "chaos" is on and no fault is queued.
    std::optional<FaultKind> DrawChaosLocked(std::uint8_t command);
    void SaveStateLocked();

    std::mutex mutex_;
    SimMemory memory_;
    bool plugged_ = true;
    std::uint32_t latencyUs_ = kDefaultLatencyUs;
    std::uint32_t lateDelayMs_ = kLateReplyDelayMs;
    std::deque<PendingFault> faults_;
    std::uint32_t chaosPermille_ = 0;
    std::uint64_t chaosInjected_ = 0;
    std::mt19937 chaosRandom_;
    std::vector<Frame> frames_;
    std::uint64_t framesReceived_ = 0;  // not capped like the log
    bool tally_ = false;                // TALVENIX_SIM_TALLY=1: say at Stop how many frames came
    std::array<std::uint8_t, 2> led_{};
    BackendEvents* events_ = nullptr;  // set between Start and Stop
    std::string statePath_;
    // What the state file holds (empty while there is none of ours): a save that would write the
    // same bytes again is left out, so a run that changes nothing never rewrites the file.
    std::vector<std::uint8_t> savedImage_;
    std::unique_ptr<SimControlServer> server_;
};

}  // namespace talvenix::service::sim
