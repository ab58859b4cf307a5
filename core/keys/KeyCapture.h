// Key capture for the single-key page of the key dialog: which key a key event names, and
// whether the event is taken, swallowed or left to the focused widget.
//
// Events arrive in the Windows form of NativeKeys.h (virtual key + key-message flags). The
// Windows and Menu keys (virtual keys 0x5B, 0x5C, 0x5D) count on press and release alike, so
// the desktop never gets to act on them while the dialog listens. Repeats and releases of other
// keys are swallowed without effect, except for the keys that report only their release.
#pragma once

#include <cstdint>

#include "core/keys/KeyTable.h"

namespace talvenix::keys {

// Key-message flag bits.
inline constexpr std::uint32_t kFlagPreviousDown = 1u << 30;  // the key was already down
inline constexpr std::uint32_t kFlagReleased = 1u << 31;      // key up

inline constexpr bool IsReleaseFlags(std::uint32_t flags) { return (flags & kFlagReleased) != 0; }
// A key-down of a key that was already down (auto-repeat).
inline constexpr bool IsRepeatFlags(std::uint32_t flags) {
    return (flags & kFlagPreviousDown) != 0 && (flags & kFlagReleased) == 0;
}

// Keys whose press the keyboard driver never reports: SysRq (0x054), the two Korean keys
// (0x071, 0x072) and Print Screen (0x137). Where the platform does report a press for them, it
// is dropped, so capture and recording behave the same everywhere.
bool ReportsOnlyRelease(KeyCode code);

// Windows/Menu virtual keys and the codes they stand for; 0 for any other virtual key.
KeyCode CodeOfSystemKeyVk(std::uint32_t vk);

struct CaptureOutcome {
    enum class Action {
        Pass,      // not ours: the widget with the focus gets it
        Swallow,   // eaten without effect
        Captured,  // `code` is the new target key
    };
    Action action = Action::Pass;
    KeyCode code = kNoKey;
};

CaptureOutcome CaptureKeyEvent(std::uint32_t vk, std::uint32_t flags);

}  // namespace talvenix::keys
