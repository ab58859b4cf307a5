// The 64-byte report frame exchanged with the keyboard on its control interface.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace talvenix::device {

inline constexpr std::size_t kReportSize = 64;
inline constexpr std::size_t kPayloadOffset = 8;
inline constexpr std::size_t kMaxPayload = 56;
inline constexpr std::uint8_t kReportId = 0x04;

// Request and reply share one layout (all multi-byte fields little-endian):
//   0 report id 0x04 | 1..2 frame checksum | 3 command | 4 length | 5..6 address
//   7 status (0 in a request) | 8..63 payload, zero-filled past the length
using DeviceReport = std::array<std::uint8_t, kReportSize>;

enum ReportOffset : std::size_t {
    kOffReportId = 0,
    kOffChecksum = 1,
    kOffCommand = 3,
    kOffLength = 4,
    kOffAddress = 5,
    kOffStatus = 7,
};

inline constexpr std::uint8_t kStatusChecksumError = 0xFF;  // -> -102
inline constexpr std::uint8_t kStatusRangeError = 0xFE;     // -> -103

// Low 16 bits of the sum of bytes 3..63; bytes 0..2 are not covered.
std::uint16_t FrameChecksum(const DeviceReport& frame);

// Stores FrameChecksum at offsets 1..2 (low byte first). Call after every other byte is final.
void StampFrameChecksum(DeviceReport& frame);

// A zeroed frame with report id, command, length, address and payload filled in and the
// checksum stamped. `payload` may be shorter than `length` (the rest stays zero) and is cut
// to 56 bytes.
DeviceReport BuildFrame(std::uint8_t command, std::uint8_t length, std::uint16_t address,
                        std::span<const std::uint8_t> payload = {});

inline std::uint16_t FrameAddress(const DeviceReport& frame) {
    return static_cast<std::uint16_t>(frame[kOffAddress] | (frame[kOffAddress + 1] << 8));
}

}  // namespace talvenix::device
