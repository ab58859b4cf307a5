// File helpers of the CLI: whole-file reads with a size limit and a clear error, and atomic
// writes (a temporary file in the same folder, then rename), so a refused or failed command
// never leaves a half-written file behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace talvenix::cli {

// The largest profile file we read: 100 macros plus a generous string block.
inline constexpr std::uintmax_t kMaxProfileFileBytes = 64u * 1024u * 1024u;

// Reads a whole file ("-" reads stdin). Throws CliError (exit 1) when it is missing, unreadable,
// not a regular file or larger than `maxBytes`.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path,
                                        std::uintmax_t maxBytes = kMaxProfileFileBytes);

// Writes `bytes` as the whole of `path`, atomically. Throws CliError (exit 1) on failure, with
// any previous file left as it was.
void WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace talvenix::cli
