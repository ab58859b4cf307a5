// SimFirmware: how the simulated keyboard answers one 64-byte control frame.
//
// A reply echoes the request's report id, command, length and address, carries a status at
// offset 7 (0x00 done, 0xFF frame checksum wrong or command unknown, 0xFE address or length
// outside the command's area) and, for reads, the data at offset 8. A rejected frame changes
// nothing. The boot-mode frame (command 0xEE) has no checksum and gets no reply.
#pragma once

#include <array>
#include <cstdint>

#include "service/simulator/SimMemory.h"

namespace talvenix::service::sim {

using Frame = std::array<std::uint8_t, 64>;

inline constexpr std::uint8_t kStatusOk = 0x00;
inline constexpr std::uint8_t kStatusBadFrame = 0xFF;
inline constexpr std::uint8_t kStatusOutOfRange = 0xFE;
inline constexpr std::uint8_t kCommandBootMode = 0xEE;
inline constexpr std::uint8_t kCommandEndUpdate = 2;

struct FrameOutcome {
    bool replies = true;
    Frame reply{};
    bool endUpdate = false;  // an accepted end-update command: the keyboard commits its memory
    bool bootMode = false;   // the keyboard leaves to its boot loader
};

// Low 16 bits of the sum of bytes 3..63.
std::uint16_t FrameSum(const Frame& frame);

FrameOutcome HandleFrame(SimMemory& memory, const Frame& request);

}  // namespace talvenix::service::sim
