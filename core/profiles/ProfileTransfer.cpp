#include "core/profiles/ProfileTransfer.h"

#include <future>
#include <system_error>

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
    // The store is written while the keyboard is: both only read the working configuration, each
    // under its lock, so the store ends up as if written first, and its flush to the disk costs
    // the import no time of its own. The import ends only when both are done.
    auto save = [&store, &working] { return SaveToStore(store, working); };
    std::future<bool> stored;
    try {
        stored = std::async(std::launch::async, save);
    } catch (const std::system_error&) {
        stored = std::async(std::launch::deferred, save);  // no thread to be had: in turn
    }
    out.download = DownloadToKeyboard(working, snapshot, keyboard, t, /*allProfiles=*/true);
    out.storeWritten = stored.get();
    if (!out.download.Ok()) out.result = ImportOutcome::Result::DownloadFailed;
    return out;
}

bool ExportProfileFile(const std::filesystem::path& path, macros::WorkingConfig& working) {
    return SaveProfileFile(path, working);
}

}  // namespace talvenix::profiles
