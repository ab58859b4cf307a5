// The three-byte key form shared by key-block entries and macro actions: a usage kind
// (2 keyboard page, 3 consumer page, 4 generic desktop page, 0 none) and two bytes.
#pragma once

#include <cstdint>

namespace talvenix::macros {

struct KeyForm {
    std::uint8_t kind = 0;
    std::uint8_t b1 = 0;  // keyboard page: 0x01 modifier / 0x02 key; other pages: usage low byte
    std::uint8_t b2 = 0;  // keyboard page: modifier bit / usage; other pages: usage high byte
    bool operator==(const KeyForm&) const = default;
};

// The key form of a key code, through the key's usage page and usage.
KeyForm KeyFormOfCode(std::uint16_t keyCode);
// The key code a key form stands for; 0 when none.
std::uint16_t CodeOfKeyForm(const KeyForm& form);

}  // namespace talvenix::macros
