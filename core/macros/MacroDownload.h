// `DownloadConfiguration`: writes the configuration into the keyboard as one transaction.
//   1. snapshot the working configuration into the `DownloadSnapshot` (header refreshed,
//      strings packed);
//   2. space check: the image without names must fit the keyboard's macro space; the names go
//      along only when the image with names fits too;
//   3. begin (1), the image in 56-byte chunks (10), the key block of the current profile or of
//      all three (8), end (2).
// Core shows no message: the outcome tells the caller which text to show ("Macro space exceeds
// the hardware space..." for MacroSpaceExceeded, "shortage of hardware space..." when
// namesDropped).
#pragma once

#include <cstddef>
#include <string_view>

#include "core/device/ConfigBlock.h"
#include "core/device/ReportTransport.h"
#include "core/device/VerifyWrites.h"
#include "core/macros/MacroImage.h"
#include "core/macros/WorkingConfig.h"

namespace talvenix::macros {

// What the download needs to know about the keyboard (see profiles::KeyboardState).
struct DownloadTarget {
    device::ReportTransport* transport = nullptr;
    int macroSpace = 0;                               // bytes; 0 until the keyboard was read
    const device::KeyBlock* defaultLayout = nullptr;  // nullptr when never read
    bool allProfiles = false;                         // true: profiles 0, 1, 2; false: currentProfile
    int currentProfile = -1;                          // -1 when unknown
    // Read back the macro memory the image covers and every key block written, and compare.
    bool verify = true;
};

struct DownloadOutcome {
    enum class Result {
        Written,             // everything went out and every command succeeded
        NoMacroSpace,        // the keyboard's macro space is unknown (0): nothing written
        MacroSpaceExceeded,  // too large even without names: nothing written
        NoDefaultLayout,     // the factory layout was never read: nothing written
        ProfileUnknown,      // one profile wanted, the current one unknown: nothing written
        OutOfMemory,         // nothing written
        DeviceFailed,        // a command failed (deviceResult says how); end was still sent
        VerifyFailed,        // written, but the read-back differs or failed (verify names the area)
    };
    Result result = Result::Written;
    bool namesDropped = false;    // written without names because only that fitted
    int deviceResult = 1;         // first failing device result, 1 when none
    std::size_t imageSize = 0;    // bytes of the image written
    MacroImageSizes sizes{};      // both sizes of the image, for messages and the CLI
    device::VerifyResult verify;  // the first area that did not read back as written

    bool Ok() const { return result == Result::Written; }
    int ResultCode() const { return Ok() ? 1 : 0; }
};

// Copies `source` into the snapshot (the caller holds KeyTableLock on `source`; this takes
// MacroTableLock), rewriting its header for the current macro count and string total and
// packing its key strings.
void TakeDownloadSnapshot(const Configuration& source, DownloadSnapshot& snapshot);

// The whole download from a snapshot already taken. Builds the image and key blocks under
// MacroTableLock, then talks to the keyboard without holding it.
DownloadOutcome DownloadSnapshotToKeyboard(DownloadSnapshot& snapshot, const DownloadTarget& target);

// For a caller that holds KeyTableLock for the whole save and download.
DownloadOutcome DownloadConfiguration(const WorkingConfig::Handle& working, DownloadSnapshot& snapshot,
                                      const DownloadTarget& target);
// Takes KeyTableLock only while the snapshot is copied, so the working configuration stays
// usable while the keyboard is written.
DownloadOutcome DownloadConfiguration(WorkingConfig& working, DownloadSnapshot& snapshot,
                                      const DownloadTarget& target);

// A short English description of a download result (for logs and the command line).
std::string_view DescribeDownloadResult(DownloadOutcome::Result result);

}  // namespace talvenix::macros
