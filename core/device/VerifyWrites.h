// Read-back checks after a write: the keyboard is asked for what was just written and the
// answer is compared byte for byte, so a write the keyboard lost or mangled is reported as a
// failure naming the area instead of passing for success.
//
// Colours written with command 17 cannot be checked: the keyboard has no command that reads
// them back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/device/ConfigBlock.h"
#include "core/device/ReportTransport.h"

namespace talvenix::device {

enum class WrittenArea { kKeyBlock, kMacroMemory, kLightingRecord };

struct VerifyResult {
    enum class Status {
        Matches,     // the keyboard holds exactly what was written
        Differs,     // it answered, with other bytes (offset says where the first one is)
        ReadFailed,  // the read-back itself failed (deviceResult says how)
    };
    Status status = Status::Matches;
    WrittenArea area = WrittenArea::kKeyBlock;
    int profile = -1;        // key block and lighting record: which profile's
    int deviceResult = 1;    // the failing read's result when ReadFailed
    std::size_t offset = 0;  // first differing byte within the area, when Differs
    bool Ok() const { return status == Status::Matches; }
};

// Key block `index` (0..2) against `written`: seven reads (command 7).
VerifyResult VerifyKeyBlock(ReportTransport& t, const KeyBlock& written, int index);
// Macro memory from address 0 against `image` (only the bytes the image covers; command 9).
VerifyResult VerifyMacroMemory(ReportTransport& t, std::span<const std::uint8_t> image);
// `bytes` written with command 6 at `address` (within one profile's 42-byte record), read back
// with command 5 inside begin and end, as the lighting read-back always is.
VerifyResult VerifyLighting(ReportTransport& t, std::span<const std::uint8_t> bytes, std::uint16_t address);

// "key block of profile 2", "macro memory", "lighting record of profile 0".
std::string DescribeArea(const VerifyResult& result);
// One line for logs and the command line: "the key block of profile 1 read back differs at
// byte 57", "reading back the macro memory failed: <device result>".
std::string DescribeVerifyFailure(const VerifyResult& result);

}  // namespace talvenix::device
