// `MacroImage`: every macro packed into the keyboard's macro memory (little-endian).
//
//   0  signature 0x55AA (bytes AA 55)      2  image size in bytes
//   4  macro count n                       6  names flag (1 = names included)
//   8  8 reserved zero bytes              16  offset table: n 16-bit entry offsets
//   16 + 2n: the n entries in list order:
//     0 action count a | 2 cycles | 3 name length (UTF-16 units; 0 without names)
//     4 the actions, 4 bytes each | 4 + 4a the name's units, no terminator
//
// An action is a 16-bit word (bits 0..11 delay in 10 ms units, bits 12..14 usage kind:
// 2 keyboard page, 3 consumer page, 4 generic desktop page, 0 none; bit 15 set for a press)
// then two bytes: for the keyboard page 0x01 + modifier bit or 0x02 + usage, for the other
// pages the 16-bit usage. Kind and those two bytes form the three-byte key form of a key block.
//
// The keyboard's macro memory size (`MacroSpace`) is ConfigBlock byte 11 times 128; see
// profiles::KeyboardState.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/macros/MacroRecord.h"

namespace talvenix::macros {

inline constexpr std::uint16_t kMacroImageSignature = 0x55AA;
inline constexpr std::size_t kMacroImageHeaderSize = 16;
inline constexpr std::size_t kMacroImageMaxSize = 0xFFFF;  // sizes and offsets are 16-bit
inline constexpr std::uint16_t kMaxDelayUnits = 0x0FFF;    // 12 bits of 10 ms

struct MacroImageSizes {
    std::size_t withoutNames = 0;  // 16 + 2n + sum(4a + 4)
    std::size_t withNames = 0;     // that plus sum(2 * name length)
};
MacroImageSizes MacroImageSize(std::span<const MacroRecord> macros);

// The four bytes of one action. Delays are divided by 10 (fraction dropped); a delay beyond the
// 12-bit field is stored as its largest value rather than wrapping to a short one.
std::array<std::uint8_t, 4> EncodeMacroAction(const MacroAction& action);
// The reverse: delay = units * 10, direction from bit 15, key code from the key form.
MacroAction DecodeMacroAction(std::span<const std::uint8_t, 4> bytes);

// Builds the image with or without names. nullopt when it would not fit the 16-bit size field.
std::optional<std::vector<std::uint8_t>> EncodeMacroImage(std::span<const MacroRecord> macros,
                                                          bool withNames);

// How many bytes to read for the whole image, from its first 16 bytes: the size at offset 2
// when the signature is 0x55AA, else 0 (no image: no macros).
std::size_t MacroImageReadSize(std::span<const std::uint8_t> header);

struct MacroImageDecode {
    enum class Status {
        Ok,               // includes memory without a signature: an empty list
        TooShort,         // fewer than 16 bytes, or a size field below 16
        TooManyMacros,    // more than 100
        TableOutOfRange,  // the offset table does not fit the image
        EntryOutOfRange,  // an entry (header, actions or name) does not fit the image
        TooManyActions,   // an entry with more than 2000 actions
    };
    Status status = Status::Ok;
    int badMacro = -1;  // the entry at fault, for EntryOutOfRange and TooManyActions
    std::vector<MacroRecord> macros;

    bool Ok() const { return status == Status::Ok; }
};

// Decodes an image as read from the keyboard. Every read stays within both `image` and the
// size the header gives. Macro i gets id i + 1, play mode 0, new flag 0, and its name, or when
// the entry has none `namePrefix` followed by i + 1 (Macro1, Macro2, ...). On any failure the
// list is empty.
MacroImageDecode DecodeMacroImage(std::span<const std::uint8_t> image,
                                  std::u16string_view namePrefix = u"Macro");

// A short English description of a decode status (for logs and the command line).
std::string_view DescribeMacroImageStatus(MacroImageDecode::Status status);

}  // namespace talvenix::macros
