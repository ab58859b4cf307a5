// What the program knows about the attached keyboard: its factory key layout (kept across
// removals), its macro memory size (`MacroSpace`, ConfigBlock byte 11 x 128) and the cached
// active profile (ConfigBlock byte 10; -1 when unknown). Thread-safe: the presence worker
// fills it while the user-interface thread reads it. No lock is held while the keyboard is
// being talked to.
#pragma once

#include <mutex>
#include <optional>

#include "core/device/ConfigBlock.h"
#include "core/device/ReportTransport.h"
#include "core/macros/MacroDownload.h"

namespace talvenix::profiles {

class KeyboardState {
public:
    // Results of the reads the presence worker makes when a keyboard arrives.
    struct ArrivalReads {
        int layoutResult = 0;  // command 15; on failure the previous layout stays
        int configResult = 0;  // command 3; on failure the macro space stays
        bool LayoutOk() const { return layoutResult == 1; }
    };

    // A keyboard arrived: read its default layout and its ConfigBlock.
    ArrivalReads OnKeyboardArrived(device::ReportTransport& t);
    // The keyboard went away: the active profile becomes unknown. Layout and macro space stay.
    void OnKeyboardRemoved();

    // The cached active profile; when unknown, reads the ConfigBlock and caches byte 10.
    // -1 when that read fails (the cache stays unknown).
    int GetCurrentProfile(device::ReportTransport& t);
    // Makes `profile` the keyboard's active profile: reads the ConfigBlock, sets byte 10 and
    // writes it back (command 4, standing alone). The cache becomes `profile` on success and
    // unknown on a failed write. Nothing is sent for a negative profile (returns 0) and a profile
    // above 2 is refused (returns -201): the keyboard has three.
    int SetCurrentProfile(device::ReportTransport& t, int profile);
    // The cache without asking the keyboard.
    int CachedProfile() const;
    void ForgetCurrentProfile();

    std::optional<device::KeyBlock> DefaultLayout() const;
    int MacroSpace() const;

    // Test and tool hooks: set what a keyboard read would have set.
    void SetDefaultLayout(const device::KeyBlock& layout);
    void SetMacroSpace(int bytes);

private:
    mutable std::mutex mutex_;
    std::optional<device::KeyBlock> layout_;
    int macroSpace_ = 0;
    int activeProfile_ = -1;
};

// `DownloadConfiguration` against the attached keyboard: all three profiles, or the active
// one (read from the keyboard when not yet known). Takes KeyTableLock only while the snapshot
// is copied; do not call it while holding a handle of `working`.
macros::DownloadOutcome DownloadToKeyboard(macros::WorkingConfig& working, macros::DownloadSnapshot& snapshot,
                                           KeyboardState& keyboard, device::ReportTransport& t,
                                           bool allProfiles);
// The same for a caller that holds KeyTableLock for its whole save and download.
macros::DownloadOutcome DownloadToKeyboard(const macros::WorkingConfig::Handle& working,
                                           macros::DownloadSnapshot& snapshot, KeyboardState& keyboard,
                                           device::ReportTransport& t, bool allProfiles);

// The keyboard side of a profile switch. `requested` >= 3 means profile 0; a negative value
// (the "<Default Profile>" item) changes nothing on the keyboard.
struct SwitchOutcome {
    int profile = -1;      // the profile made active; -1 when only a refresh was asked for
    int deviceResult = 1;  // SetCurrentProfile's result (1 when nothing had to be sent)
    bool Ok() const { return deviceResult == 1; }
};
SwitchOutcome SwitchProfileOnKeyboard(KeyboardState& keyboard, device::ReportTransport& t, int requested);

}  // namespace talvenix::profiles
