// The program's end of the service library: the transport, the standing reads and the
// routing of the library's notifications (replies, consumer usages, device-count changes).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

#include "core/device/ReportTransport.h"

namespace talvenix::device {

// Receives keyboard events. Called on the library's notification thread: GUI receivers
// marshal to their own thread.
class DeviceEventSink {
public:
    virtual ~DeviceEventSink() = default;
    virtual void OnConsumerUsage(std::uint16_t usage) = 0;
    virtual void OnDeviceCountChanged(int count) = 0;
};

class DeviceLink {
public:
    // Calls Init(0); `Ready()` tells whether the library said yes (> 0).
    explicit DeviceLink(const ServiceLibraryLink& link, TransportTiming timing = {});
    ~DeviceLink();  // cancels the standing reads, calls End
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    bool Ready() const { return ready_; }
    ReportTransport& Transport() { return transport_; }

    // Registers (again) the consumer and control reads; each earlier registration is
    // cancelled first. Routes notifications to this link.
    void RegisterStandingReads();

    // Sends the two LED status bytes (G-bank state), cancelling the previous LED request.
    void WriteLedStatus(std::uint8_t b0, std::uint8_t b1);

    void SetEventSink(DeviceEventSink* sink);

    // The C callback handed to the library. Routes to the link that registered last.
    static int OnServiceNotify(const ServiceNotification* notification);

private:
    void Dispatch(const ServiceNotification& n);

    ServiceLibraryLink link_;
    ReportTransport transport_;
    bool ready_ = false;
    std::uint32_t consumerUnit_ = 0;
    std::uint32_t controlUnit_ = 0;
    std::uint32_t ledUnit_ = 0;
    std::mutex sinkMutex_;
    DeviceEventSink* sink_ = nullptr;
};

}  // namespace talvenix::device
