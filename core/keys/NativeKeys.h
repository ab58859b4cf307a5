// Native key events of this platform turned into the Windows form the key-capture and macro
// recording rules are written for: a virtual-key code and the key-message flags (bits 16..23
// the scan code, bit 24 the extended-key flag). ResolveKeyEvent (KeyTable.h) then gives the
// KeyCode exactly as for a Windows key message.
//
// The input is the Linux evdev key code (what X11 and Wayland deliver as the native scan code,
// minus 8) and the keysym. The evdev code names the physical key; the keysym only decides what
// the physical key cannot tell: the numeric pad with Num Lock on (KP_7 -> VK_NUMPAD7) or off
// (KP_Home -> VK_HOME), Print Screen against Alt+Print (SysRq), Pause against Ctrl+Pause (Break).
// Virtual keys are the US-layout, side-specific ones a low-level keyboard hook reports
// (VK_LSHIFT, VK_RCONTROL, ...), so the key's position decides, not the active layout.
//
// Covered: every key of a 104/105-key keyboard, both Shifts, the extended keys, Print Screen,
// Pause/Break, the Windows and Menu keys, F13..F24, the Japanese/Korean keys of the key table,
// power/sleep/wake and the multimedia keys. Any other key maps to nothing and is to be passed
// through untouched.
//
// Example (a Qt event filter):
//   if (auto k = keys::TranslateNativeKey(ev->nativeScanCode(), ev->nativeVirtualKey(), released))
//       code = keys::ResolveKeyEvent(k->vk, k->flags);
#pragma once

#include <cstdint>
#include <optional>

namespace talvenix::keys {

struct WindowsKeyEvent {
    std::uint8_t vk = 0;      // virtual-key code; 0xFF for keys Windows reports without one
    std::uint32_t flags = 0;  // repeat count 1, scan code << 16, extended << 24, key-up bits 30/31
    std::uint8_t scanCode() const { return static_cast<std::uint8_t>((flags >> 16) & 0xFF); }
    bool extended() const { return (flags >> 24) & 1u; }
};

// From an evdev key code (linux/input-event-codes.h) and the keysym of the event (0 when
// unknown: the numeric pad then reads as Num Lock on). nullopt for keys outside the table.
std::optional<WindowsKeyEvent> TranslateEvdevKey(std::uint32_t evdevCode, std::uint32_t keysym,
                                                 bool released = false);

// From the native scan code of an X11 or Wayland key event (evdev code + 8) and its keysym.
std::optional<WindowsKeyEvent> TranslateNativeKey(std::uint32_t nativeScanCode, std::uint32_t keysym,
                                                  bool released = false);

// The key-message flags of a scan code: repeat count 1, scan code, extended flag, and for a
// release the previous-state and transition bits.
constexpr std::uint32_t KeyMessageFlags(std::uint8_t scanCode, bool extended, bool released) {
    return 1u | (static_cast<std::uint32_t>(scanCode) << 16) | (extended ? 1u << 24 : 0u) |
           (released ? (1u << 30) | (1u << 31) : 0u);
}

}  // namespace talvenix::keys
