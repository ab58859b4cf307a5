// Hands the atomic file writer its flush-to-disk steps (fsync of the file, then of its folder).
#pragma once

namespace talvenix::platform {

// Call once at start-up, before the first file is saved.
void InstallFileSync();

}  // namespace talvenix::platform
