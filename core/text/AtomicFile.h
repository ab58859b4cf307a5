// Whole-file reads and writes. A write never leaves a half-written file where a good one
// stood: the bytes go to a temporary file in the same folder (so the rename stays on one file
// system), which then replaces the target by rename.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace talvenix::text {

// Writes `bytes` as the whole content of `path` (its folder must exist). False (and any
// existing file untouched) when the temporary file cannot be written in full or renamed.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);
bool WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// The whole file; nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

}  // namespace talvenix::text
