#include "core/profiles/KeyboardState.h"

#include "core/device/Commands.h"

namespace talvenix::profiles {

KeyboardState::ArrivalReads KeyboardState::OnKeyboardArrived(device::ReportTransport& t) {
    ArrivalReads reads;
    device::KeyBlock layout{};
    reads.layoutResult = device::ReadDefaultLayout(t, layout);
    device::ConfigBlock config;
    reads.configResult = device::ReadConfigBlock(t, config);
    std::lock_guard lock(mutex_);
    if (reads.layoutResult == device::kOk) layout_ = layout;
    if (reads.configResult == device::kOk) macroSpace_ = config.MacroSpace();
    return reads;
}

void KeyboardState::OnKeyboardRemoved() { ForgetCurrentProfile(); }

int KeyboardState::GetCurrentProfile(device::ReportTransport& t) {
    {
        std::lock_guard lock(mutex_);
        if (activeProfile_ >= 0) return activeProfile_;
    }
    device::ConfigBlock config;
    if (device::ReadConfigBlock(t, config) != device::kOk) return -1;
    std::lock_guard lock(mutex_);
    activeProfile_ = config.CurrentProfile();
    return activeProfile_;
}

int KeyboardState::SetCurrentProfile(device::ReportTransport& t, int profile) {
    if (profile < 0) return device::kNoKeyboard;
    if (profile >= device::kProfileCount) return device::kBadBlockIndex;
    device::ConfigBlock config;
    const int read = device::ReadConfigBlock(t, config);
    if (read != device::kOk) return read;
    config.SetCurrentProfile(profile);
    const int written = device::WriteConfigBlock(t, config);
    std::lock_guard lock(mutex_);
    activeProfile_ = written == device::kOk ? profile : -1;
    return written;
}

int KeyboardState::CachedProfile() const {
    std::lock_guard lock(mutex_);
    return activeProfile_;
}

void KeyboardState::ForgetCurrentProfile() {
    std::lock_guard lock(mutex_);
    activeProfile_ = -1;
}

std::optional<device::KeyBlock> KeyboardState::DefaultLayout() const {
    std::lock_guard lock(mutex_);
    return layout_;
}

int KeyboardState::MacroSpace() const {
    std::lock_guard lock(mutex_);
    return macroSpace_;
}

void KeyboardState::SetDefaultLayout(const device::KeyBlock& layout) {
    std::lock_guard lock(mutex_);
    layout_ = layout;
}

void KeyboardState::SetMacroSpace(int bytes) {
    std::lock_guard lock(mutex_);
    macroSpace_ = bytes;
}

namespace {
template <typename Working>
macros::DownloadOutcome DownloadWith(Working& working, macros::DownloadSnapshot& snapshot,
                                     KeyboardState& keyboard, device::ReportTransport& t, bool allProfiles) {
    const std::optional<device::KeyBlock> layout = keyboard.DefaultLayout();
    macros::DownloadTarget target;
    target.transport = &t;
    target.macroSpace = keyboard.MacroSpace();
    target.defaultLayout = layout ? &*layout : nullptr;
    target.allProfiles = allProfiles;
    // Only ask the keyboard when the download would go ahead at all.
    if (!allProfiles && target.macroSpace > 0 && layout)
        target.currentProfile = keyboard.GetCurrentProfile(t);
    return macros::DownloadConfiguration(working, snapshot, target);
}
}  // namespace

macros::DownloadOutcome DownloadToKeyboard(macros::WorkingConfig& working, macros::DownloadSnapshot& snapshot,
                                           KeyboardState& keyboard, device::ReportTransport& t,
                                           bool allProfiles) {
    return DownloadWith(working, snapshot, keyboard, t, allProfiles);
}

macros::DownloadOutcome DownloadToKeyboard(const macros::WorkingConfig::Handle& working,
                                           macros::DownloadSnapshot& snapshot, KeyboardState& keyboard,
                                           device::ReportTransport& t, bool allProfiles) {
    return DownloadWith(working, snapshot, keyboard, t, allProfiles);
}

SwitchOutcome SwitchProfileOnKeyboard(KeyboardState& keyboard, device::ReportTransport& t, int requested) {
    SwitchOutcome out;
    if (requested < 0) return out;
    const int profile = requested >= device::kProfileCount ? 0 : requested;
    out.profile = profile;
    out.deviceResult = keyboard.SetCurrentProfile(t, profile);
    return out;
}

}  // namespace talvenix::profiles
