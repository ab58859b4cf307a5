#include "core/profiles/ProfileTransfer.h"

namespace talvenix::profiles {

ImportOutcome ImportProfileFile(const std::filesystem::path& path, macros::WorkingConfig& working,
                                macros::DownloadSnapshot& snapshot, const ProfileStore& store,
                                KeyboardState& keyboard, device::ReportTransport& t) {
    ImportOutcome out;
    out.check = ValidateProfileFile(path);
    if (out.check != ProfileFileCheck::Valid) {
        out.result = ImportOutcome::Result::Invalid;
        return out;
    }
    ProfileFileLoad loaded = ReadProfileFile(path);
    out.load = loaded.status;
    if (!loaded.Ok()) {
        out.result = ImportOutcome::Result::LoadFailed;
        return out;
    }
    working.Replace(std::move(loaded.config));
    out.storeWritten = SaveToStore(store, working);
    out.download = DownloadToKeyboard(working, snapshot, keyboard, t, /*allProfiles=*/true);
    if (!out.download.Ok()) out.result = ImportOutcome::Result::DownloadFailed;
    return out;
}

bool ExportProfileFile(const std::filesystem::path& path, macros::WorkingConfig& working) {
    return SaveProfileFile(path, working);
}

}  // namespace talvenix::profiles
