// The keyboard's command set. Each command is a stateless free function that builds its
// frames, sends them through the transport and decodes the status byte of the reply:
// transport results 0, -1, -2 pass through; status 0xFF -> -102, 0xFE -> -103; else 1.
// Reads copy data out only on success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "core/device/ConfigBlock.h"
#include "core/device/ReportTransport.h"
#include "core/device/ResultCodes.h"

namespace talvenix::device {

enum CommandCode : std::uint8_t {
    kCmdBeginUpdate = 1,
    kCmdEndUpdate = 2,
    kCmdReadConfig = 3,
    kCmdWriteConfig = 4,
    kCmdReadLighting = 5,
    kCmdWriteLighting = 6,
    kCmdReadKeyBlock = 7,
    kCmdWriteKeyBlock = 8,
    kCmdReadMacros = 9,
    kCmdWriteMacros = 10,
    kCmdReadDefaultLayout = 15,
    kCmdWriteKeyColours = 17,
    kCmdBootMode = 0xEE,
};

inline constexpr std::size_t kMacroMemoryMax = 65535;
inline constexpr std::uint16_t kKeyColourProfileStride = 512;

// Sends one single-frame command and decodes its status; on success copies the reply's
// payload (offset 8, up to 56 bytes) to `replyPayload` when given.
int SendCommand(ReportTransport& t, std::uint8_t command, std::uint8_t length, std::uint16_t address,
                std::span<const std::uint8_t> payload = {}, std::span<std::uint8_t> replyPayload = {});

int BeginUpdate(ReportTransport& t);                                 // 1
int EndUpdate(ReportTransport& t);                                   // 2 (pauses 10 ms first)
int ReadConfigBlock(ReportTransport& t, ConfigBlock& out);           // 3
int WriteConfigBlock(ReportTransport& t, const ConfigBlock& block);  // 4 (stands alone)
// 5: reads 56 bytes at `address` whatever `length` says; `dest` must hold 56 bytes.
int ReadLighting(ReportTransport& t, std::span<std::uint8_t, 56> dest, std::uint8_t length,
                 std::uint16_t address);
// 6: writes `src.size()` bytes (1..56) at `address`.
int WriteLighting(ReportTransport& t, std::span<const std::uint8_t> src, std::uint16_t address);
int ReadKeyBlock(ReportTransport& t, KeyBlock& out, int index);               // 7; index > 2 -> -201
int WriteKeyBlock(ReportTransport& t, const KeyBlock& block, int index);      // 8; index > 2 -> -201
int ReadMacroMemory(ReportTransport& t, std::span<std::uint8_t> dest);        // 9; empty -> 1
int WriteMacroMemory(ReportTransport& t, std::span<const std::uint8_t> src);  // 10; empty -> 1
int ReadDefaultLayout(ReportTransport& t, KeyBlock& out);                     // 15
// 17: `src.size()` bytes (3 or 54) at firstKeyIndex * 3 + profile * 512.
int WriteKeyColours(ReportTransport& t, std::span<const std::uint8_t> src, int firstKeyIndex, int profile);
// 0xEE: the raw boot-mode frame (bytes 3 and 4 = 0xEE, no checksum) through PostRawReport.
int EnterBootMode(ReportTransport& t);

// One keyboard transaction: begin, `body`, end. End is sent even when the body failed.
// Returns the first failure of begin, body or end, else 1. The body is skipped when begin fails.
int RunWriteSequence(ReportTransport& t, const std::function<int()>& body);

}  // namespace talvenix::device
