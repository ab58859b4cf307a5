// The one seam inside a service library: the request handling (ServiceCore) talks to a keyboard
// only through a HidBackend. The real keyboard (hidraw) and the simulated one are both
// backends, created by the library's CreateBackend(), so both run the same request path.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "core/device/ServiceAbi.h"

namespace talvenix::service {

// The keyboard's three HID interfaces the program talks to.
enum class HidInterface { Control, Consumer, Led };

// Which interface a (usage page, usage) pair names; nothing for any other pair.
inline std::optional<HidInterface> InterfaceOfUsage(std::uint16_t usagePage, std::uint16_t usage) {
    if (usagePage == TALVENIX_CONTROL_USAGE_PAGE && usage == TALVENIX_CONTROL_USAGE)
        return HidInterface::Control;
    if (usagePage == TALVENIX_CONSUMER_USAGE_PAGE && usage == TALVENIX_CONSUMER_USAGE)
        return HidInterface::Consumer;
    if (usagePage == TALVENIX_LED_USAGE_PAGE && usage == TALVENIX_LED_USAGE) return HidInterface::Led;
    return std::nullopt;
}

using SteadyTime = std::chrono::steady_clock::time_point;

// What a backend tells the request handling. Thread-safe; a backend may call these from any
// thread, including while it holds its own locks (the core never calls back into the backend
// from inside them).
class BackendEvents {
public:
    virtual ~BackendEvents() = default;
    // An input report from `iface`, delivered to the standing reads of that interface on the
    // notification thread no earlier than `due`. `usage` is the consumer usage it carries, if any.
    virtual void PostInput(HidInterface iface, std::span<const std::uint8_t> bytes,
                           std::optional<std::uint16_t> usage, SteadyTime due) = 0;
    // The number of attached keyboards changed to `count`; every standing read hears of it.
    virtual void PostDeviceChange(int count) = 0;
    // Forgets input of `iface` that has not been delivered yet (stale replies, or replies of a
    // keyboard that has gone).
    virtual void DiscardPendingInput(HidInterface iface) = 0;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;
    // Starts watching for keyboards; false when the backend cannot work at all.
    virtual bool Start(BackendEvents& events) = 0;
    // Stops every thread of the backend; no event is posted after it returns.
    virtual void Stop() = 0;
    // Attached keyboards that have `iface`.
    virtual int DeviceCount(HidInterface iface) = 0;
    // One output report (report id first) to `iface`; false when it could not be sent.
    virtual bool WriteReport(HidInterface iface, std::span<const std::uint8_t> report) = 0;
    // Status bytes (the LED state) to `iface`; false when they could not be sent.
    virtual bool WriteStatus(HidInterface iface, std::span<const std::uint8_t> bytes) = 0;
    // Copies the last status bytes of `iface` into `out`; the number copied, or -1.
    virtual int ReadStatus(HidInterface iface, std::span<std::uint8_t> out) = 0;
    // A feature report to `iface`; false when it could not be sent.
    virtual bool SetFeature(HidInterface iface, std::span<const std::uint8_t> report) = 0;
};

// Defined once in each service library: the backend that library drives.
std::unique_ptr<HidBackend> CreateBackend();

}  // namespace talvenix::service
