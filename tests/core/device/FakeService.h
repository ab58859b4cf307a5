// A scripted stand-in for the service library: records every frame written and answers
// from a responder on its own thread, as the real library does.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/device/DeviceReport.h"
#include "core/device/ServiceLibraryLink.h"

namespace talvenix::test {

class FakeService {
public:
    // Returns the reply bytes for a written frame, or nullopt to stay silent.
    using Responder = std::function<std::optional<std::vector<std::uint8_t>>(const device::DeviceReport&)>;

    FakeService();
    ~FakeService();

    device::ServiceLibraryLink Link() const;

    // Changes the count and, unless `quietly`, tells the control read as a library does (here at
    // once, on the caller's thread, so a test need not wait for it).
    void SetDeviceCount(int count, bool quietly = false);
    // How often the count was asked for.
    int CountQueries() const;
    void SetWriteResult(int result);
    void SetResponder(Responder responder);
    // How long after its frame each reply is delivered (default: at once).
    using Delayer = std::function<std::chrono::milliseconds(const device::DeviceReport&)>;
    void SetDelayer(Delayer delayer);
    std::vector<device::DeviceReport> Frames() const;

    // An echo of the request's command with status 0 and `data` from offset 8.
    static std::vector<std::uint8_t> Echo(const device::DeviceReport& request, std::uint8_t status = 0);

private:
    static int Init(int);
    static int End();
    static int GetDeviceCount(const HidUnitFilter*, std::uint32_t, std::uint32_t, std::uint32_t,
                              std::uint32_t);
    static int WriteOne(const HidUnitFilter*, std::uint32_t, std::uint32_t, const std::uint8_t*,
                        std::uint32_t, std::uint32_t, std::uint32_t);
    static int AsyncRead(const HidUnitFilter*, ServiceNotifyFn, std::uint32_t, std::uint32_t, std::uint32_t*);
    static int DeleteUnit(std::uint32_t);

    void Deliver(std::vector<std::uint8_t> bytes, std::chrono::milliseconds delay);

    mutable std::mutex mutex_;
    int count_ = 1;
    int countQueries_ = 0;
    int writeResult_ = 1;
    Responder responder_;
    Delayer delayer_;
    std::vector<device::DeviceReport> frames_;
    ServiceNotifyFn controlCallback_ = nullptr;
    std::vector<std::thread> threads_;
};

}  // namespace talvenix::test
