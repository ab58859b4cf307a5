// Text encoding helpers. Texts live in memory as UTF-8 std::string; files and the keyboard's
// own formats carry UTF-16LE, and the length limits the program inherits (260-character
// buffers and the like) count UTF-16 units. These helpers convert at those boundaries and cut
// texts without ever splitting a character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace talvenix::text {

// UTF-8 -> UTF-16. Malformed sequences become U+FFFD, so nothing read from a file is lost silently
// into a crash or an endless loop.
std::u16string Utf8ToUtf16(std::string_view utf8);

// UTF-16 -> UTF-8. An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// Decodes little-endian UTF-16 bytes (no BOM handling; an odd trailing byte is dropped).
std::u16string Utf16LeBytesToString(std::string_view bytes);

// Encodes to little-endian UTF-16 bytes (no BOM).
std::string Utf16ToLeBytes(std::u16string_view utf16);

// Number of UTF-16 units the UTF-8 text takes.
std::size_t Utf16Length(std::string_view utf8);

// The longest prefix of `utf8` that fits in `maxUnits` UTF-16 units, cut on a code point
// boundary (a character that would need a surrogate pair is dropped whole when only one unit is left).
std::string CutToUtf16Units(std::string_view utf8, std::size_t maxUnits);

// Replaces malformed UTF-8 with U+FFFD; valid text comes back unchanged.
std::string SanitizeUtf8(std::string_view bytes);

}  // namespace talvenix::text
