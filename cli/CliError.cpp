#include "cli/CliError.h"

#include "core/device/ResultCodes.h"

namespace talvenix::cli {

void CheckDeviceResult(int result, const std::string& what) {
    if (result == device::kOk) return;
    const std::string reason = device::DescribeDeviceResult(result);
    if (result == device::kNoKeyboard) throw CliError(kExitNoKeyboard, what + " failed: " + reason);
    throw CliError(kExitKeyboardError, what + " failed: " + reason);
}

}  // namespace talvenix::cli
