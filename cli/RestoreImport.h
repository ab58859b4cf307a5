// The import behind `restore`: the same steps and outcome as profiles::ImportProfileFile, but
// the configurator's store is written on a second thread while the keyboard is written, so the
// store's flush to the disk costs the command no time of its own.
#pragma once

#include <filesystem>

#include "core/profiles/ProfileTransfer.h"

namespace talvenix::cli {

profiles::ImportOutcome ImportForRestore(const std::filesystem::path& path, macros::WorkingConfig& working,
                                         macros::DownloadSnapshot& snapshot,
                                         const profiles::ProfileStore& store,
                                         profiles::KeyboardState& keyboard, device::ReportTransport& t);

}  // namespace talvenix::cli
