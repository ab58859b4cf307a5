// ServiceCore: what both service libraries do with a request before and after their backend.
//
// - Every request names an interface through its HidUnitFilter (selector 15, the keyboard's USB
//   ids, one of the three usage page/usage pairs). A request for anything else is refused.
// - Every request carries its RequestChecksum (core/device/ServiceAbi.h); a wrong one is refused,
//   so a caller with a different checksum table never reaches the keyboard.
// - Standing requests (reads, LED status) get unit ids 1, 2, 3, ...; DeleteRequestFromUnitId
//   cancels one, and once it returns the request's callback is neither running (unless the
//   caller is that callback) nor called again.
// - Input reports and device-count changes reach the callbacks of the standing reads on the
//   library's own notification thread, never on the caller's: the program waits for a reply on
//   the thread that sent the request.
//
// Refusals: RequestGetDeviceCount returns -1, every other request 0. Before Init and after the
// last End every request is refused.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "core/device/ServiceAbi.h"
#include "service/common/DueAlarm.h"
#include "service/common/HidBackend.h"

namespace talvenix::service {

class ServiceCore final : public BackendEvents {
public:
    static ServiceCore& Instance();

    int SetDebug(int level);
    int DebugLevel() const { return debugLevel_; }
    // Init and End nest: the backend starts with the first Init and stops with the matching End.
    int Init(int flags);
    int End();

    int GetDeviceCount(const HidUnitFilter* filter, std::uint32_t a2, std::uint32_t a3,
                       std::uint32_t checksum);
    int DeleteRequestFromUnitId(std::uint32_t unitId);
    // The handle is the callback a request was registered with: cancels all of them.
    int DeleteRequestFromHandle(void* handle);
    int Write(const HidUnitFilter* filter, std::uint32_t a2, std::uint32_t a3, const std::uint8_t* data,
              std::uint32_t length, std::uint32_t checksum, std::uint32_t* unitId);
    int WriteOne(const HidUnitFilter* filter, std::uint32_t a2, std::uint32_t a3, const std::uint8_t* data,
                 std::uint32_t length, std::uint32_t checksum);
    int StatusWrite(const HidUnitFilter* filter, ServiceNotifyFn callback, std::uint32_t tag,
                    const std::uint8_t* data, std::uint32_t length, std::uint32_t checksum,
                    std::uint32_t* unitId);
    // The buffer is filled, not sent, so the checksum covers no payload.
    int StatusGet(const HidUnitFilter* filter, ServiceNotifyFn callback, std::uint32_t tag,
                  std::uint8_t* data, std::uint32_t length, std::uint32_t checksum, std::uint32_t* unitId);
    int AsyncRead(const HidUnitFilter* filter, ServiceNotifyFn callback, std::uint32_t tag,
                  std::uint32_t checksum, std::uint32_t* unitId);
    int SetFeature(const HidUnitFilter* filter, std::uint32_t a2, std::uint32_t a3, const std::uint8_t* data,
                   std::uint32_t length, std::uint32_t checksum, std::uint32_t* unitId);

    // BackendEvents
    void PostInput(HidInterface iface, std::span<const std::uint8_t> bytes,
                   std::optional<std::uint16_t> usage, SteadyTime due) override;
    void PostDeviceChange(int count) override;
    void DiscardPendingInput(HidInterface iface) override;
    // Forgets input of `iface` that has arrived but has not been delivered yet.
    void DrainArrivedInput(HidInterface iface);

private:
    ServiceCore() = default;

    struct Registration {
        std::uint32_t unitId;
        HidInterface iface;
        ServiceNotifyFn callback;
        std::uint32_t tag;
        bool isRead;  // reads get notifications; status requests only hold their unit id
    };
    struct Event {
        bool deviceChange = false;
        HidInterface iface = HidInterface::Control;
        std::vector<std::uint8_t> bytes;
        std::optional<std::uint16_t> usage;
        int count = 0;
    };
    using EventKey = std::pair<SteadyTime, std::uint64_t>;  // due, then arrival order

    std::shared_ptr<HidBackend> Backend();
    // The interface a request's filter names, after the filter and checksum checks.
    std::optional<HidInterface> Accept(const char* call, const HidUnitFilter* filter, std::uint32_t a2,
                                       std::uint32_t a3, const void* payload, std::size_t length,
                                       std::uint32_t checksum);
    void Refuse(const char* call, const char* why) const;
    std::uint32_t Register(HidInterface iface, ServiceNotifyFn callback, std::uint32_t tag, bool isRead);
    bool IsRegistered(std::uint32_t unitId);
    void WaitForDelivery();
    void StartDispatcher();
    void StopDispatcher();
    void DispatchLoop(std::uint64_t run);
    // Queues `event`; the alarm follows when it is the first one due.
    void EnqueueLocked(SteadyTime due, Event event);
    void SetAlarmLocked(SteadyTime due);
    // The notification thread's wait for the alarm; learns how late it goes off.
    void SleepLocked(std::unique_lock<std::mutex>& lock);
    void Deliver(const Event& event);

    std::atomic<int> debugLevel_{0};

    std::mutex lifecycleMutex_;  // held for the whole of Init and End
    int initCount_ = 0;
    std::mutex backendMutex_;  // guards backend_ only, held briefly
    std::shared_ptr<HidBackend> backend_;

    std::mutex registrationMutex_;
    std::vector<Registration> registrations_;
    std::uint32_t nextUnitId_ = 1;

    std::mutex queueMutex_;
    DueAlarm alarm_;  // set to the first event's due time whenever that becomes earlier
    SteadyTime alarmFor_{};
    bool alarmLearnable_ = false;
    std::chrono::nanoseconds alarmLateness_{0};  // learnt; the alarm is set this much early
    std::map<EventKey, Event> queue_;
    std::uint64_t nextSeq_ = 0;
    bool running_ = false;
    std::uint64_t run_ = 0;
    std::thread dispatcher_;
    std::atomic<std::thread::id> dispatcherId_{};

    std::mutex deliveryMutex_;  // held while callbacks run
};

}  // namespace talvenix::service
