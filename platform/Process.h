// Process facts the GUI needs from the OS: who we run as, and whether another process runs a
// given executable.
#pragma once

#include <filesystem>
#include <string>

namespace talvenix::platform {

// The real user id of this process.
unsigned long CurrentUserId();

// Pid of another process whose executable file name equals `fileName` (compared
// case-insensitively), found under `procRoot`; never our own pid. Processes whose executable
// cannot be read (another user's) are skipped. 0 when none.
long FindProcessByExecutable(const std::string& fileName, const std::filesystem::path& procRoot = "/proc");

// Hands memory the allocator holds free back to the system (after large buffers were released),
// so a program waiting hidden keeps only what it uses. Does nothing where the C library cannot.
void ReturnFreedMemory();

}  // namespace talvenix::platform
