#include "platform/ServiceLibraryLoader.h"

#include <dlfcn.h>

#include <cstdlib>

#include "platform/InstallLayout.h"
#include "platform/UserFolders.h"

namespace talvenix::platform {

LoadedServiceLibrary LoadServiceLibrary(const std::filesystem::path& path) {
    LoadedServiceLibrary out;
    if (!std::filesystem::exists(path)) {
        out.error = "service library not found: " + path.string();
        return out;
    }
    // RTLD_NODELETE: the library keeps process-lifetime objects (its request core, the simulated
    // keyboard) and threads that may still be winding down at exit; unmapping it under them
    // would turn a late callback into a jump into nothing.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (module == nullptr) {
        const char* why = dlerror();
        out.error = "cannot load service library " + path.string() + (why ? std::string(": ") + why : "");
        return out;
    }
    out.link.module = module;
    for (std::size_t i = 0; i < device::kServiceEntryPointNames.size(); ++i) {
        const std::string name(device::kServiceEntryPointNames[i]);
        void* address = dlsym(module, name.c_str());
        if (address == nullptr) {
            out.error = "entry point " + name + " missing in " + path.string();
            dlclose(module);
            out.link = {};
            return out;
        }
        device::BindServiceEntryPoint(out.link, i, address);
    }
    return out;
}

void UnloadServiceLibrary(device::ServiceLibraryLink& link) {
    if (link.module != nullptr) dlclose(link.module);
    link = {};
}

std::filesystem::path ServiceLibraryPath(bool simulate) {
    return LibraryFolder() / (simulate ? kSimulatedServiceLibrary : kRealServiceLibrary);
}

std::filesystem::path DefaultSimulatorStatePath() {
    const char* state = std::getenv("XDG_STATE_HOME");
    const std::filesystem::path base =
        state != nullptr && *state != '\0' ? std::filesystem::path(state) : HomeFolder() / ".local" / "state";
    return base / "talvenix" / "simulated-keyboard.state";
}

void PrepareSimulatorEnvironment() {
    if (std::getenv("TALVENIX_SIM_STATE") != nullptr) return;
    const auto path = DefaultSimulatorStatePath();
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (!ec) setenv("TALVENIX_SIM_STATE", path.c_str(), 0);
}

}  // namespace talvenix::platform
