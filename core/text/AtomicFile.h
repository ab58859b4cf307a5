// Whole-file reads and writes. A write never leaves a half-written file where a good one
// stood: the bytes go to a temporary file in the same folder (so the rename stays on one file
// system), which is flushed to disk and then replaces the target by rename; the folder is
// flushed after, so a power cut right after a save leaves the old file or the new one.
//
// What a target may be:
// - a regular file: replaced, keeping its permission bits (it may hold what the user typed);
// - nothing yet: a new file, with the permissions the umask gives;
// - a symbolic link: the write goes through to the file it names, and the link stays; a link
//   to nothing, or a loop of links, is refused;
// - a folder, device, FIFO or socket: refused, and left alone.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace talvenix::text {

// Writes `bytes` as the whole content of `path` (its folder must exist). False (and any
// existing file untouched) when the target is refused or the temporary file cannot be written
// in full, synced or renamed; `error`, when given, then says why in one line.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error = nullptr);
bool WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::string* error = nullptr);

// The file a write to `path` would replace or create: `path` itself, or the end of its chain of
// symbolic links. Nothing (and `error` says why) when the write would be refused.
std::optional<std::filesystem::path> ResolveWriteTarget(const std::filesystem::path& path,
                                                        std::string& error);

// The whole file; nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Flushing to disk needs the operating system, which this library does not call: the program
// hands in the two steps at start-up (platform::InstallFileSync). Each returns false on failure.
struct FileSyncSteps {
    bool (*syncFile)(const std::filesystem::path& file) = nullptr;
    bool (*syncFolder)(const std::filesystem::path& folder) = nullptr;
};
void SetFileSyncSteps(FileSyncSteps steps);
FileSyncSteps CurrentFileSyncSteps();

}  // namespace talvenix::text
