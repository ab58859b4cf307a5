#include "cli/CliError.h"

#include "core/device/ResultCodes.h"
#include "core/device/VerifyWrites.h"
#include "core/text/Utf.h"

namespace talvenix::cli {

std::string PrintableText(const std::string& text) {
    const std::string valid = text::SanitizeUtf8(text);
    std::string out;
    out.reserve(valid.size());
    for (std::size_t i = 0; i < valid.size(); ++i) {
        const auto c = static_cast<unsigned char>(valid[i]);
        if (c == '\n' || c == '\r') {
            out += ' ';
        } else if (c < 0x20 || c == 0x7F) {
            out += '?';
        } else if (c == 0xC2 && i + 1 < valid.size() && static_cast<unsigned char>(valid[i + 1]) < 0xA0) {
            out += '?';  // U+0080..U+009F
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

void CheckDeviceResult(int result, const std::string& what) {
    if (result == device::kOk) return;
    const std::string reason = device::DescribeDeviceResult(result);
    if (result == device::kNoKeyboard) throw CliError(kExitNoKeyboard, what + " failed: " + reason);
    throw CliError(kExitKeyboardError, what + " failed: " + reason);
}

}  // namespace talvenix::cli

namespace talvenix::cli {

void CheckVerifyResult(const device::VerifyResult& result) {
    if (result.Ok()) return;
    if (result.status == device::VerifyResult::Status::ReadFailed &&
        result.deviceResult == device::kNoKeyboard) {
        throw CliError(kExitNoKeyboard, device::DescribeVerifyFailure(result));
    }
    throw CliError(kExitKeyboardError, device::DescribeVerifyFailure(result));
}

}  // namespace talvenix::cli
