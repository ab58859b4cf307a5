#include "cli/RestoreImport.h"

#include <future>
#include <system_error>

#include "core/profiles/KeyboardState.h"
#include "core/profiles/ProfileStore.h"

namespace talvenix::cli {

profiles::ImportOutcome ImportForRestore(const std::filesystem::path& path, macros::WorkingConfig& working,
                                         macros::DownloadSnapshot& snapshot,
                                         const profiles::ProfileStore& store,
                                         profiles::KeyboardState& keyboard, device::ReportTransport& t) {
    using R = profiles::ImportOutcome::Result;
    profiles::ImportOutcome out;
    out.check = profiles::ValidateProfileFile(path);
    if (out.check != profiles::ProfileFileCheck::Valid) {
        out.result = R::Invalid;
        return out;
    }
    profiles::ProfileFileLoad loaded = profiles::ReadProfileFile(path);
    out.load = loaded.status;
    if (!loaded.Ok()) {
        out.result = R::LoadFailed;
        return out;
    }
    working.Replace(std::move(loaded.config));
    // Both only read the working configuration, each under its lock, so the store ends up as it
    // would written first; the command ends only when both are done.
    auto save = [&store, &working] { return profiles::SaveToStore(store, working); };
    std::future<bool> stored;
    try {
        stored = std::async(std::launch::async, save);
    } catch (const std::system_error&) {
        stored = std::async(std::launch::deferred, save);  // no thread to be had: in turn
    }
    out.download = profiles::DownloadToKeyboard(working, snapshot, keyboard, t, /*allProfiles=*/true);
    out.storeWritten = stored.get();
    if (!out.download.Ok()) out.result = R::DownloadFailed;
    return out;
}

}  // namespace talvenix::cli
