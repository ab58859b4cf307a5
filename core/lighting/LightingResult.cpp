#include "core/lighting/LightingResult.h"

#include "core/device/ResultCodes.h"

namespace talvenix::lighting {

ResultKind KindOf(int result) {
    switch (result) {
        case kLightingOk:
            return ResultKind::Done;
        case kLightingBadArgument:
            return ResultKind::BadArgument;
        case kColourFileError:
            return ResultKind::FileNotSaved;
        default:
            return ResultKind::KeyboardRefused;
    }
}

const char* DescribeLightingResult(int result) {
    switch (result) {
        case kLightingBadArgument:
            return "value out of range";
        case kColourFileError:
            return "the colour file could not be written";
        default:
            return device::DescribeDeviceResult(result);
    }
}

}  // namespace talvenix::lighting
