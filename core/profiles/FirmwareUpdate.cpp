#include "core/profiles/FirmwareUpdate.h"

namespace talvenix::profiles {

UpdateStop CheckBeforeBootMode(std::string_view path, const UpdaterProbe& probe, bool applyRunning) {
    if (path.empty() || !probe.exists || !probe.regularFile || !probe.executable)
        return UpdateStop::ChooseCorrectFile;
    if (applyRunning) return UpdateStop::ApplyRunning;
    return UpdateStop::None;
}

UpdateStop AfterBootMode(int postResult) {
    return postResult == 1 ? UpdateStop::None : UpdateStop::BootModeRefused;
}

UpdateStop AfterStart(bool started) { return started ? UpdateStop::None : UpdateStop::UpdaterNotStarted; }

}  // namespace talvenix::profiles
