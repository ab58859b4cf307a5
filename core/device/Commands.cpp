#include "core/device/Commands.h"

#include <algorithm>
#include <thread>

#include "core/device/DeviceReport.h"

namespace talvenix::device {

namespace {

int DecodeStatus(int transportResult, const DeviceReport& reply) {
    if (transportResult != kOk) return transportResult;
    if (reply[kOffStatus] == kStatusChecksumError) return kStatusChecksum;
    if (reply[kOffStatus] == kStatusRangeError) return kStatusRange;
    return kOk;
}

// Moves `total` bytes in frames of at most 56, ascending addresses from `base`. For reads
// `dest` receives each chunk; for writes `src` supplies it. The first failure ends the command.
int Chunked(ReportTransport& t, std::uint8_t command, std::uint32_t base, std::size_t total,
            const std::uint8_t* src, std::uint8_t* dest) {
    for (std::size_t offset = 0; offset < total; offset += kMaxPayload) {
        const std::size_t chunk = std::min(kMaxPayload, total - offset);
        std::span<const std::uint8_t> payload;
        if (src != nullptr) payload = {src + offset, chunk};
        std::span<std::uint8_t> out;
        if (dest != nullptr) out = {dest + offset, chunk};
        const int r = SendCommand(t, command, static_cast<std::uint8_t>(chunk),
                                  static_cast<std::uint16_t>(base + offset), payload, out);
        if (r != kOk) return r;
    }
    return kOk;
}

}  // namespace

int SendCommand(ReportTransport& t, std::uint8_t command, std::uint8_t length, std::uint16_t address,
                std::span<const std::uint8_t> payload, std::span<std::uint8_t> replyPayload) {
    const DeviceReport frame = BuildFrame(command, length, address, payload);
    DeviceReport reply{};
    std::size_t received = 0;
    const int r =
        DecodeStatus(t.SendReport(frame.data(), frame.size(), reply.data(), reply.size(), &received), reply);
    if (r == kOk && !replyPayload.empty()) {
        std::copy_n(reply.begin() + kPayloadOffset, std::min(replyPayload.size(), kMaxPayload),
                    replyPayload.begin());
    }
    return r;
}

int BeginUpdate(ReportTransport& t) { return SendCommand(t, kCmdBeginUpdate, 0, 0); }

int EndUpdate(ReportTransport& t) {
    // The keyboard needs a moment after the last data frame before it commits.
    std::this_thread::sleep_for(t.Timing().endUpdatePause);
    return SendCommand(t, kCmdEndUpdate, 0, 0);
}

int ReadConfigBlock(ReportTransport& t, ConfigBlock& out) {
    ConfigBlock block;
    const int r = SendCommand(t, kCmdReadConfig, ConfigBlock::kSize, 0, {}, block.bytes);
    if (r == kOk) out = block;
    return r;
}

int WriteConfigBlock(ReportTransport& t, const ConfigBlock& block) {
    return SendCommand(t, kCmdWriteConfig, ConfigBlock::kSize, 0, block.bytes);
}

int ReadLighting(ReportTransport& t, std::span<std::uint8_t, 56> dest, std::uint8_t length,
                 std::uint16_t address) {
    return SendCommand(t, kCmdReadLighting, length, address, {}, dest);
}

int WriteLighting(ReportTransport& t, std::span<const std::uint8_t> src, std::uint16_t address) {
    const std::size_t n = std::min(src.size(), kMaxPayload);
    return SendCommand(t, kCmdWriteLighting, static_cast<std::uint8_t>(n), address, src.first(n));
}

int ReadKeyBlock(ReportTransport& t, KeyBlock& out, int index) {
    if (index < 0 || index > 2) return kBadBlockIndex;
    KeyBlock block{};
    const int r = Chunked(t, kCmdReadKeyBlock, static_cast<std::uint32_t>(index) * kKeyBlockSize,
                          kKeyBlockSize, nullptr, block.data());
    if (r == kOk) out = block;
    return r;
}

int WriteKeyBlock(ReportTransport& t, const KeyBlock& block, int index) {
    if (index < 0 || index > 2) return kBadBlockIndex;
    return Chunked(t, kCmdWriteKeyBlock, static_cast<std::uint32_t>(index) * kKeyBlockSize, kKeyBlockSize,
                   block.data(), nullptr);
}

int ReadMacroMemory(ReportTransport& t, std::span<std::uint8_t> dest) {
    return Chunked(t, kCmdReadMacros, 0, std::min(dest.size(), kMacroMemoryMax), nullptr, dest.data());
}

int WriteMacroMemory(ReportTransport& t, std::span<const std::uint8_t> src) {
    return Chunked(t, kCmdWriteMacros, 0, std::min(src.size(), kMacroMemoryMax), src.data(), nullptr);
}

int ReadDefaultLayout(ReportTransport& t, KeyBlock& out) {
    KeyBlock block{};
    const int r = Chunked(t, kCmdReadDefaultLayout, 0, kKeyBlockSize, nullptr, block.data());
    if (r == kOk) out = block;
    return r;
}

int WriteKeyColours(ReportTransport& t, std::span<const std::uint8_t> src, int firstKeyIndex, int profile) {
    const std::size_t n = std::min(src.size(), kMaxPayload);
    const auto address = static_cast<std::uint16_t>(firstKeyIndex * 3 + profile * kKeyColourProfileStride);
    return SendCommand(t, kCmdWriteKeyColours, static_cast<std::uint8_t>(n), address, src.first(n));
}

int EnterBootMode(ReportTransport& t) {
    DeviceReport frame{};
    frame[kOffReportId] = kReportId;
    frame[kOffCommand] = kCmdBootMode;
    frame[kOffLength] = kCmdBootMode;
    return t.PostRawReport(frame.data(), frame.size());
}

int RunWriteSequence(ReportTransport& t, const std::function<int()>& body) {
    const int begin = BeginUpdate(t);
    if (begin != kOk) return begin;
    const int result = body();
    const int end = EndUpdate(t);
    return result != kOk ? result : end;
}

}  // namespace talvenix::device
