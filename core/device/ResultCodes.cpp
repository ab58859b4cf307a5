#include "core/device/ResultCodes.h"

namespace talvenix::device {

const char* DescribeDeviceResult(int result) {
    switch (result) {
        case kOk:
            return "success";
        case kNoKeyboard:
            return "no keyboard attached";
        case kRefused:
            return "the service library refused the report";
        case kNoReply:
            return "the keyboard did not answer";
        case kStatusChecksum:
            return "the keyboard rejected the frame (checksum)";
        case kStatusRange:
            return "the keyboard rejected the address or length";
        case kBadBlockIndex:
            return "key block index out of range";
        default:
            return "unknown device error";
    }
}

}  // namespace talvenix::device
