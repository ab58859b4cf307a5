// The JSON form of a profile file: human-editable, with keys, targets and kinds by name
// (see Names.h), and lossless for every field of the file. Converting a valid file to JSON and
// back gives the same bytes whenever the file's unused bytes are zero (bytes past a macro's
// name terminator or its last action, string-block bytes no string covers, bytes past the
// total size).
//
//   {
//     "format": "talvenix-profile", "version": 1,
//     "profiles": [                      // four key blocks: profiles 0, 1, 2 and the spare block 3
//       { "gKeyNumbers": true,           // G slots carry their G-key numbers (the default table)
//         "keys": {                      // only the records that differ from the default
//           "CAPS": { "kind": "disabled" },
//           "A":    { "kind": "key", "target": "B" },
//           "G1A":  { "kind": "macro", "macro": 1, "cycles": 1 },
//           "F1":   { "kind": "launch", "path": "/usr/bin/xterm" },
//           "F2":   { "kind": "text", "text": "Hello" },
//           "F3":   { "kind": "media", "media": "volume-up" },
//           "F4":   { "kind": "function", "function": "copy" },
//           "F5":   { "kind": "stop-macro" } } } ],
//     "macros": [ { "id": 1, "name": "Macro1", "cycles": 1, "playMode": "once",
//                   "actions": [ { "delay": 10, "key": "LCTRL", "dir": "down" }, ... ] } ]
//   }
//
// Rarely used fields appear only when they are not at their usual value: "flag" (header flag),
// "headerReserved" / "keySection" (hex bytes), and per record "tag", "value", "extra" (hex of
// bytes 8..15); per macro "new", "reserved1", "reserved2". A kind, media, function, play mode
// or direction outside the named ones is written as a number.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace talvenix::cli {

// The JSON text (pretty-printed, one macro action per line) of a profile file's bytes.
// Throws CliError (exit 1) when the bytes are not a valid profile file.
std::string ProfileFileToJson(std::span<const std::uint8_t> fileBytes);

// The profile file bytes of a JSON text. Throws CliError (exit 1) naming the offending field
// when the JSON is malformed or a value is out of range.
std::vector<std::uint8_t> ProfileFileFromJson(const std::string& json);

}  // namespace talvenix::cli
