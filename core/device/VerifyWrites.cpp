#include "core/device/VerifyWrites.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/device/Commands.h"
#include "core/device/DeviceReport.h"
#include "core/device/ResultCodes.h"

namespace talvenix::device {

namespace {

constexpr std::size_t kLightingRecordSize = 42;

VerifyResult Compare(WrittenArea area, int profile, std::span<const std::uint8_t> expected,
                     std::span<const std::uint8_t> actual) {
    VerifyResult r;
    r.area = area;
    r.profile = profile;
    const auto [e, a] = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    if (e != expected.end()) {
        r.status = VerifyResult::Status::Differs;
        r.offset = static_cast<std::size_t>(e - expected.begin());
    }
    return r;
}

VerifyResult ReadFailure(WrittenArea area, int profile, int deviceResult) {
    VerifyResult r;
    r.status = VerifyResult::Status::ReadFailed;
    r.area = area;
    r.profile = profile;
    r.deviceResult = deviceResult;
    return r;
}

}  // namespace

VerifyResult VerifyKeyBlock(ReportTransport& t, const KeyBlock& written, int index) {
    KeyBlock back{};
    const int rc = ReadKeyBlock(t, back, index);
    if (rc != kOk) return ReadFailure(WrittenArea::kKeyBlock, index, rc);
    return Compare(WrittenArea::kKeyBlock, index, written, back);
}

VerifyResult VerifyMacroMemory(ReportTransport& t, std::span<const std::uint8_t> image) {
    std::vector<std::uint8_t> back(std::min(image.size(), kMacroMemoryMax));
    const int rc = ReadMacroMemory(t, back);
    if (rc != kOk) return ReadFailure(WrittenArea::kMacroMemory, -1, rc);
    return Compare(WrittenArea::kMacroMemory, -1, image.first(back.size()), back);
}

VerifyResult VerifyLighting(ReportTransport& t, std::span<const std::uint8_t> bytes, std::uint16_t address) {
    const int profile = static_cast<int>(address / kLightingRecordSize);
    const std::size_t n = std::min(bytes.size(), kMaxPayload);
    std::array<std::uint8_t, 56> back{};
    int read = kOk;
    const int rc = RunWriteSequence(t, [&] {
        read = ReadLighting(t, back, static_cast<std::uint8_t>(n), address);
        return read;
    });
    if (rc != kOk) return ReadFailure(WrittenArea::kLightingRecord, profile, rc);
    VerifyResult r = Compare(WrittenArea::kLightingRecord, profile, bytes.first(n),
                             std::span<const std::uint8_t>(back).first(n));
    r.offset += address % kLightingRecordSize;
    return r;
}

std::string DescribeArea(const VerifyResult& result) {
    switch (result.area) {
        case WrittenArea::kKeyBlock:
            return "key block of profile " + std::to_string(result.profile);
        case WrittenArea::kMacroMemory:
            return "macro memory";
        case WrittenArea::kLightingRecord:
            return "lighting record of profile " + std::to_string(result.profile);
    }
    return "memory";
}

std::string DescribeVerifyFailure(const VerifyResult& result) {
    switch (result.status) {
        case VerifyResult::Status::Matches:
            return "the " + DescribeArea(result) + " reads back as written";
        case VerifyResult::Status::Differs:
            return "the " + DescribeArea(result) +
                   " read back differs from what was written (first at byte " +
                   std::to_string(result.offset) + ")";
        case VerifyResult::Status::ReadFailed:
            return "reading back the " + DescribeArea(result) +
                   " failed: " + DescribeDeviceResult(result.deviceResult);
    }
    return "verification failed";
}

}  // namespace talvenix::device
