#include "cli/Session.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "cli/CliError.h"
#include "core/device/Commands.h"
#include "platform/ServiceLibraryLoader.h"

namespace talvenix::cli {

namespace {
// How long a count of 0 is re-checked: enough for the real library's first enumeration.
constexpr auto kPresenceGrace = std::chrono::milliseconds(400);
constexpr auto kPresencePoll = std::chrono::milliseconds(20);
// The simulator keeps its memory in the file TALVENIX_SIM_STATE names. It sets an unreadable
// file aside by renaming it, which must never happen to a folder, and it cannot save into a
// folder that does not exist: both are refused before the library is loaded.
void CheckSimulatorStatePath() {
    const char* value = std::getenv("TALVENIX_SIM_STATE");
    if (value == nullptr || *value == '\0') return;
    const std::filesystem::path path(value);
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        FailBadInput("TALVENIX_SIM_STATE=" + path.string() + " is not a regular file");
    }
    const auto parent = std::filesystem::absolute(path, ec).parent_path();
    if (ec || !std::filesystem::is_directory(parent, ec)) {
        FailBadInput("TALVENIX_SIM_STATE=" + path.string() + ": no such folder " + parent.string());
    }
}

}  // namespace

// The library stays loaded until the process ends: a command is short-lived, and a library's
// own threads and singletons may outlive End(), so unloading it early gains nothing and risks
// running code that is gone.
struct Session::Library {
    platform::LoadedServiceLibrary loaded;
};

Session::Session(bool simulate) : library_(std::make_unique<Library>()), simulate_(simulate) {
    if (simulate) {
        // Our simulated keyboard lives only as long as this command: it must not take over the
        // control socket of a simulator that a running configurator serves.
        ::setenv("TALVENIX_SIM_SOCKET", "none", 1);
        platform::PrepareSimulatorEnvironment();
        CheckSimulatorStatePath();
    }
    const auto path = platform::ServiceLibraryPath(simulate);
    library_->loaded = platform::LoadServiceLibrary(path);
    if (!library_->loaded.ok()) throw CliError(kExitKeyboardError, library_->loaded.error);
    link_ = std::make_unique<device::DeviceLink>(library_->loaded.link);
    if (!link_->Ready()) {
        link_.reset();
        throw CliError(kExitKeyboardError, "the service library " + path.string() + " failed to start");
    }
    link_->RegisterStandingReads();
}

Session::~Session() {
    link_.reset();  // cancels the standing reads and ends the library
}

bool Session::KeyboardPresent() {
    if (presence_ > 0) return true;
    const auto deadline = std::chrono::steady_clock::now() + kPresenceGrace;
    for (;;) {
        presence_ = Transport().DeviceCount();
        if (presence_ > 0) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPresencePoll);
    }
}

void Session::RequireKeyboard() {
    if (!KeyboardPresent()) throw CliError(kExitNoKeyboard, "no keyboard attached");
}

device::ConfigBlock Session::ReadConfig() {
    device::ConfigBlock block;
    CheckDeviceResult(device::ReadConfigBlock(Transport(), block), "reading the configuration block");
    return block;
}

}  // namespace talvenix::cli
