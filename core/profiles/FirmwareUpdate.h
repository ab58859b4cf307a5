// The firmware update's checks and steps, apart from the windows and the processes: the
// updater must be an executable file, nothing goes to the keyboard while an Apply is writing
// it, the boot-mode frame must be taken (result exactly 1) before the updater starts, and the
// chosen path is cleared once a start was tried (whatever came of it), while a stop before
// that keeps it so the user can correct it.
//
// The caller probes the file (core makes no OS calls) and runs the two actions through its
// keyboard worker and process launcher:
//   UpdateStop stop = CheckBeforeBootMode(path, probe, applyRunning);
//   if (stop == UpdateStop::None) stop = AfterBootMode(EnterBootMode(t));
//   if (stop == UpdateStop::None) stop = AfterStart(StartDetached(path));
#pragma once

#include <string_view>

namespace talvenix::profiles {

// What the caller found at the updater path.
struct UpdaterProbe {
    bool exists = false;
    bool regularFile = false;  // not a folder, socket or the like
    bool executable = false;   // the user may run it
};

enum class UpdateStop {
    None,               // go on
    ChooseCorrectFile,  // MAIN_UPDATE_ERROR_TEXT: empty path, no such file, not a runnable file
    ApplyRunning,       // the keyboard is being written: the boot-mode frame would cut that short
    BootModeRefused,    // MAIN_BOOT_ERROR_TEXT: the boot-mode frame was not taken
    UpdaterNotStarted,  // MAIN_SHELL_ERROR_TEXT: the keyboard is in boot mode, the updater did not start
};

// Before anything is sent.
UpdateStop CheckBeforeBootMode(std::string_view path, const UpdaterProbe& probe, bool applyRunning);
// After the boot-mode frame: anything but exactly 1 stops.
UpdateStop AfterBootMode(int postResult);
// After trying to start the updater.
UpdateStop AfterStart(bool started);

}  // namespace talvenix::profiles
