// The key table: every key the configurator knows, and the conversions built on it.
//
// A key is named by a 16-bit KeyCode: the PC/AT scan code set 1 make code, plus 0x100 when the
// make code is preceded by 0xE0 (right Ctrl 0x11D, cursor up 0x148). Exceptions: Pause is 0x045
// and Num Lock 0x145; multimedia, power and mouse entries use further codes of the 0x100 range.
// Valid codes lie in 0x000..0x07F and 0x100..0x17F; 0 means "no key".
//
// The 256-entry KeyTable is indexed by KeyIndex (code 0x000..0x07F -> 0..127, 0x100..0x17F ->
// 128..255). Each entry gives the key's display name (a language-table id, or a fixed text),
// its position in the target-key list (0..105), its Windows virtual-key codes (with Num Lock on
// and off, for matching key events), and its DeviceKeyByte: how the keyboard itself stores it.
//
// DeviceKeyByte: 0x00/0xFF none; 0x81..0x83 Generic Desktop usage = the byte; 0xC0..0xDF the
// consumer usage in ConsumerUsageTable[byte - 0xC0]; any other byte a Keyboard/Keypad usage.
//
// All functions are pure except the names, which read the current language table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/text/LanguageTable.h"

namespace talvenix::keys {

using KeyCode = std::uint16_t;
using KeyIndex = std::uint8_t;

inline constexpr KeyCode kNoKey = 0;
inline constexpr std::uint16_t kNoListPosition = 0xFFFF;
inline constexpr std::uint8_t kNoVk = 0xFF;
inline constexpr int kKeyTableSize = 256;
inline constexpr int kListPositionCount = 106;  // positions 0..105 of the target-key list

struct KeyEntry {
    std::optional<text::TextId> nameId;  // language-table name, when the key has one
    std::string_view fixedName;          // a fixed name ("F13"); empty otherwise
    std::uint16_t listPosition = kNoListPosition;
    std::uint8_t vk = 0;            // virtual key (Num Lock on for the numeric pad); kNoVk = none
    std::uint8_t vkNumLockOff = 0;  // virtual key with Num Lock off; equal to vk for other keys
    std::uint8_t deviceKeyByte = 0;

    bool HasName() const { return nameId.has_value() || !fixedName.empty(); }
};

// The 256 entries, indexed by KeyIndex. Unused entries have no name, no list position, VK 0
// and device byte 0.
const std::array<KeyEntry, kKeyTableSize>& KeyTable();
const KeyEntry& KeyEntryOf(KeyCode code);  // the entry at KeyIndexOf(code)

// code below 0x100 -> code; otherwise (code - 0x80) modulo 256.
constexpr KeyIndex KeyIndexOf(KeyCode code) {
    return code < 0x100 ? static_cast<KeyIndex>(code) : static_cast<KeyIndex>((code - 0x80) & 0xFF);
}
// index below 128 -> index; otherwise index + 0x80.
constexpr KeyCode KeyCodeOf(KeyIndex index) {
    return index < 128 ? static_cast<KeyCode>(index) : static_cast<KeyCode>(index + 0x80);
}

// The display name of a code in the current language; "Unknown Key: %03x" (language id
// UNKNOWN_KEY) formatted with the code when the entry has no name or its text is empty.
// At most 259 UTF-16 units.
std::string KeyNameOf(KeyCode code);

// --- Device key bytes and HID usages ---

inline constexpr std::uint16_t kPageGenericDesktop = 0x01;
inline constexpr std::uint16_t kPageKeyboard = 0x07;
inline constexpr std::uint16_t kPageConsumer = 0x0C;

struct Usage {
    std::uint16_t page = 0;
    std::uint16_t usage = 0;
    bool operator==(const Usage&) const = default;
};

// 32 consumer usages; slots 18..31 hold 0 and match nothing.
const std::array<std::uint16_t, 32>& ConsumerUsageTable();

// The usage a device byte stands for; (0, 0) for 0x00 and 0xFF. Bytes of the unused consumer
// slots 18..31 give usage 0 on the consumer page, which no key-block entry carries.
Usage UsageOfDeviceByte(std::uint8_t deviceByte);
// The usage of a code's DeviceKeyByte.
Usage DecodeDeviceKeyByte(KeyCode code);

// The lowest-indexed code whose device byte stands for (page, usage); 0 when none.
KeyCode CodeOfUsage(std::uint16_t page, std::uint16_t usage);

// --- Modifier keys ---

struct ModifierKey {
    std::uint8_t bit;
    KeyCode code;
};
inline constexpr std::array<ModifierKey, 8> kModifierKeys = {{
    {0x01, 0x01D},  // left Ctrl
    {0x02, 0x02A},  // left Shift
    {0x04, 0x038},  // left Alt
    {0x08, 0x15B},  // left Windows
    {0x10, 0x11D},  // right Ctrl
    {0x20, 0x036},  // right Shift
    {0x40, 0x138},  // right Alt
    {0x80, 0x15C},  // right Windows
}};

// The HID modifier bit of a modifier key's code; 0 for other codes (0x136 is not a modifier code).
std::uint8_t ModifierBitOf(KeyCode code);
inline bool IsModifierKey(KeyCode code) { return ModifierBitOf(code) != 0; }
// The code of the lowest set bit; 0 when no bit is set.
KeyCode CodeOfModifierBits(std::uint8_t bits);

// --- The target-key list ---

// The lowest-indexed code with that list position; 0 when none.
KeyCode CodeOfListPosition(int listPosition);
// The entry's list position; nullopt for keys not offered in the list.
std::optional<int> ListPositionOf(KeyCode code);
// The name of CodeOfListPosition's entry; "" when no entry has that position.
std::string NameOfListPosition(int listPosition);

// --- Virtual keys and key events ---

// Per virtual-key code, the key index it stands for, or none.
const std::array<std::optional<KeyIndex>, 256>& VkKeyTable();
// The code of VkKeyTable[vk]; 0 for none.
KeyCode CodeOfVk(std::uint8_t vk);

// The code of a key event: `vk` the virtual key, `flags` the key-message parameter (bits 16..23
// the scan code, bit 24 the extended-key flag). Right Shift always gives 0x036; scan code 0
// gives CodeOfVk(vk); otherwise the scan code (plus 0x100 when extended) when it agrees with vk.
KeyCode ResolveKeyEvent(std::uint32_t vk, std::uint32_t flags);

// The 18 multimedia codes that key capture never takes as a target key.
const std::array<KeyCode, 18>& MediaCaptureExclusions();
bool IsMediaCaptureExcluded(KeyCode code);

// --- Key-block entries ---

// The code a three-byte key-block entry stands for: 02 02 u -> CodeOfUsage(0x07, u);
// 02 xx b -> CodeOfModifierBits(b); 03 lo hi -> CodeOfUsage(0x0C, hi:lo);
// 04 lo hi -> CodeOfUsage(0x01, hi:lo); anything else 0.
KeyCode CodeOfEntry(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2);
// The same for entry `i` of a key block or layout; 0 when the entry lies past the end.
KeyCode CodeOfEntry(std::span<const std::uint8_t> block, std::size_t i);

}  // namespace talvenix::keys
