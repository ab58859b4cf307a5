#include "core/keys/KeyCapture.h"

namespace talvenix::keys {

bool ReportsOnlyRelease(KeyCode code) {
    return code == 0x054 || code == 0x071 || code == 0x072 || code == 0x137;
}

KeyCode CodeOfSystemKeyVk(std::uint32_t vk) {
    switch (vk) {
        case 0x5B:
            return 0x15B;
        case 0x5C:
            return 0x15C;
        case 0x5D:
            return 0x15D;
        default:
            return kNoKey;
    }
}

CaptureOutcome CaptureKeyEvent(std::uint32_t vk, std::uint32_t flags) {
    using Action = CaptureOutcome::Action;
    if (const KeyCode sys = CodeOfSystemKeyVk(vk); sys != kNoKey) return {Action::Captured, sys};

    const KeyCode code = ResolveKeyEvent(vk, flags);
    if (code == kNoKey || IsMediaCaptureExcluded(code)) return {Action::Pass, kNoKey};
    if (ReportsOnlyRelease(code)) {
        // Only the release is real for these keys; it is the event that captures.
        if (!IsReleaseFlags(flags)) return {Action::Swallow, kNoKey};
        return {Action::Captured, code};
    }
    if (IsReleaseFlags(flags) || IsRepeatFlags(flags)) return {Action::Swallow, kNoKey};
    return {Action::Captured, code};
}

}  // namespace talvenix::keys
