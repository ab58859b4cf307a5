#include "core/device/DeviceReport.h"

#include <algorithm>

namespace talvenix::device {

std::uint16_t FrameChecksum(const DeviceReport& frame) {
    unsigned sum = 0;
    for (std::size_t i = kOffCommand; i < kReportSize; ++i) sum += frame[i];
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

void StampFrameChecksum(DeviceReport& frame) {
    const std::uint16_t sum = FrameChecksum(frame);
    frame[kOffChecksum] = static_cast<std::uint8_t>(sum & 0xFF);
    frame[kOffChecksum + 1] = static_cast<std::uint8_t>(sum >> 8);
}

DeviceReport BuildFrame(std::uint8_t command, std::uint8_t length, std::uint16_t address,
                        std::span<const std::uint8_t> payload) {
    DeviceReport frame{};
    frame[kOffReportId] = kReportId;
    frame[kOffCommand] = command;
    frame[kOffLength] = length;
    frame[kOffAddress] = static_cast<std::uint8_t>(address & 0xFF);
    frame[kOffAddress + 1] = static_cast<std::uint8_t>(address >> 8);
    const std::size_t n = std::min(payload.size(), kMaxPayload);
    std::copy_n(payload.begin(), n, frame.begin() + kPayloadOffset);
    StampFrameChecksum(frame);
    return frame;
}

}  // namespace talvenix::device
