// Results of every device operation.
#pragma once

namespace talvenix::device {

enum DeviceResult : int {
    kOk = 1,
    kNoKeyboard = 0,         // no keyboard attached, or the wait failed
    kRefused = -1,           // the service library refused the report
    kNoReply = -2,           // no matching reply after three attempts
    kStatusChecksum = -102,  // the keyboard answered status 0xFF
    kStatusRange = -103,     // the keyboard answered status 0xFE
    kBadBlockIndex = -201,   // key block index above 2
};

// A short English description of a result, for logs and the CLI.
const char* DescribeDeviceResult(int result);

}  // namespace talvenix::device
