// Import and export of whole configurations as profile files (*.tvx), and the backup the
// firmware update makes. Export writes the working configuration; import validates the file,
// loads it into a fresh configuration and swaps it in, saves it into the store (only when the
// store file exists) and downloads all three profiles to the keyboard.
#pragma once

#include <filesystem>

#include "core/macros/MacroDownload.h"
#include "core/macros/WorkingConfig.h"
#include "core/profiles/KeyboardState.h"
#include "core/profiles/ProfileFile.h"
#include "core/profiles/ProfileStore.h"

namespace talvenix::profiles {

struct ImportOutcome {
    enum class Result {
        Imported,        // loaded, and downloaded to the keyboard
        Invalid,         // validation failed (check says why): nothing changed
        LoadFailed,      // the file could not be read after validating: nothing changed
        DownloadFailed,  // loaded (and stored) but the keyboard was not written (download says why)
    };
    Result result = Result::Imported;
    ProfileFileCheck check = ProfileFileCheck::Valid;
    ProfileFileLoad::Status load = ProfileFileLoad::Status::Ok;
    bool storeWritten = false;
    macros::DownloadOutcome download;

    bool Ok() const { return result == Result::Imported; }
};

ImportOutcome ImportProfileFile(const std::filesystem::path& path, macros::WorkingConfig& working,
                                macros::DownloadSnapshot& snapshot, const ProfileStore& store,
                                KeyboardState& keyboard, device::ReportTransport& t);

// Writes the working configuration to `path` (atomically). True when written.
bool ExportProfileFile(const std::filesystem::path& path, macros::WorkingConfig& working);

}  // namespace talvenix::profiles
