// The language-independent names talvenix-cli uses in its JSON form and accepts on its command
// line, so a file written in one language reads back in any other:
//  - keys: the key's language id without its "KEYBOARD_" prefix ("ESC", "A", "F1", "LCTRL",
//    "S_7" for keypad 7, "MEDIA_MUTE_8" for the mute key, "F13"), or "0x1AB" for a code that has
//    no such name of its own (unnamed codes, and 0x136 which shares "RSHIFT" with 0x036);
//  - key slots of a profile: the key's name, "G1A".."G9A" and "G1B".."G9B" for the G keys of
//    banks A and B, "slot274".."slot511" for the unused slots;
//  - assignment kinds, media and office functions: fixed English words (see the tables).
// Names are matched without regard to case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace talvenix::cli {

std::string KeyCodeName(std::uint16_t code);
std::optional<std::uint16_t> KeyCodeOfName(std::string_view name);

std::string SlotName(int slot);  // slot 0..511 of a profile block
std::optional<int> SlotOfName(std::string_view name);

// Assignment kinds 0..8: default, disabled, key, launch, macro, stop-macro, text, media, function.
std::string_view KindWord(std::uint16_t kind);  // "" for a kind outside 0..8
std::optional<std::uint16_t> KindOfWord(std::string_view word);

std::string_view MediaWord(int index);  // "" outside 0..17
std::optional<int> MediaOfWord(std::string_view word);

std::string_view FunctionWord(int index);  // "" outside 0..15
std::optional<int> FunctionOfWord(std::string_view word);

std::string_view PlayModeWord(std::uint16_t mode);  // "" outside 0..2
std::optional<std::uint16_t> PlayModeOfWord(std::string_view word);

// "0x%0*X" and its reverse (accepts 0x-prefixed hex or decimal).
std::string Hex(std::uint32_t value, int digits);
std::optional<std::uint32_t> ParseNumber(std::string_view text);

}  // namespace talvenix::cli
