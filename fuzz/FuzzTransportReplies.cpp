// The transport's reply handling against a keyboard answering anything: each write is
// answered by zero or more replies cut from the input (right or wrong echo, any length, any
// status). Whatever arrives, a request reported as answered carries its own echo.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/device/Commands.h"
#include "core/device/DeviceReport.h"
#include "core/device/ReportTransport.h"
#include "core/device/ServiceLibraryLink.h"

using namespace talvenix;

namespace {

const std::uint8_t* gData = nullptr;
std::size_t gLeft = 0;
device::ReportTransport* gTransport = nullptr;

std::uint8_t Take() {
    if (gLeft == 0) return 0;
    --gLeft;
    return *gData++;
}

int Count(const HidUnitFilter*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) { return 1; }

int WriteOne(const HidUnitFilter*, std::uint32_t, std::uint32_t, const std::uint8_t* frame, std::uint32_t,
             std::uint32_t, std::uint32_t) {
    const std::uint8_t how = Take();
    if (how == 0xFF) return 0;  // the library refuses
    const int replies = how % 4;
    for (int i = 0; i < replies; ++i) {
        const std::uint8_t shape = Take();
        std::vector<std::uint8_t> reply(frame, frame + device::kReportSize);
        if (shape & 1) reply[device::kOffCommand] = Take();
        if (shape & 2) reply[device::kOffAddress] = Take();
        if (shape & 4) reply[device::kOffLength] = Take();
        reply[device::kOffStatus] = (shape & 8) ? Take() : 0;
        const std::size_t length = (shape & 16) ? Take() % 65 : device::kReportSize;
        // Delivered from inside the write, as a library with no latency would.
        gTransport->OnControlReport(reply.data(), length);
    }
    return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gData = data;
    gLeft = size;
    device::ServiceLibraryLink link;
    link.RequestGetDeviceCount = &Count;
    link.RequestWriteOne = &WriteOne;
    device::TransportTiming timing;
    timing.attemptWait = std::chrono::milliseconds(0);
    timing.retryPause = std::chrono::milliseconds(0);
    timing.busyBackoff = std::chrono::milliseconds(0);
    timing.endUpdatePause = std::chrono::milliseconds(0);
    timing.staleReplyWindow = std::chrono::milliseconds(0);  // no waiting on replies that never come
    device::ReportTransport transport(link, timing);
    gTransport = &transport;
    while (gLeft > 0) {
        const std::uint8_t command = Take();
        const std::uint8_t length = Take() % 57;
        const std::uint16_t address = static_cast<std::uint16_t>(Take() | (Take() << 8));
        const device::DeviceReport request = device::BuildFrame(command, length, address);
        device::DeviceReport reply{};
        std::size_t received = 0;
        const int r =
            transport.SendReport(request.data(), request.size(), reply.data(), reply.size(), &received);
        if (r == 1) {
            if (received <= device::kOffStatus) std::abort();  // too short to carry a status
            if (std::memcmp(reply.data() + device::kOffCommand, request.data() + device::kOffCommand, 4) != 0)
                std::abort();  // answered by another request's reply
        } else if (r != -1 && r != -2) {
            std::abort();
        }
    }
    gTransport = nullptr;
    return 0;
}
