// Loading the service library: every entry point bound on success; on any failure a message
// naming the file or the missing entry point, and nothing left loaded or half bound.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "platform/ServiceLibraryLoader.h"
#include "tests/platform/ScopedEnv.h"
#include "tests/support/TempHome.h"

using namespace talvenix;
namespace fs = std::filesystem;

namespace {

bool NothingBound(const device::ServiceLibraryLink& link) {
    return link.module == nullptr && link.Debug == nullptr && link.Init == nullptr && link.End == nullptr &&
           link.RequestWrite == nullptr && link.RequestStatusSetFeature == nullptr;
}

// A real shared library that has none of the entry points: the maths library this test uses.
fs::path LibraryWithoutEntryPoints() {
    double (*cosine)(double) = &::cos;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(cosine), &info) == 0 || info.dli_fname == nullptr) return {};
    return info.dli_fname;
}

}  // namespace

TEST(ServiceLibraryLoader, BindsAllTwelveEntryPointsAndUnloads) {
    auto loaded = platform::LoadServiceLibrary(TALVENIX_SIM_LIBRARY);
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    const auto& l = loaded.link;
    EXPECT_NE(l.module, nullptr);
    for (const void* fn :
         {reinterpret_cast<const void*>(l.Debug), reinterpret_cast<const void*>(l.Init),
          reinterpret_cast<const void*>(l.End), reinterpret_cast<const void*>(l.RequestGetDeviceCount),
          reinterpret_cast<const void*>(l.DeleteRequestFromUnitId),
          reinterpret_cast<const void*>(l.DeleteRequestFromHandle),
          reinterpret_cast<const void*>(l.RequestWrite), reinterpret_cast<const void*>(l.RequestWriteOne),
          reinterpret_cast<const void*>(l.RequestStatusWrite),
          reinterpret_cast<const void*>(l.RequestStatusGet),
          reinterpret_cast<const void*>(l.RequestAsyncRead),
          reinterpret_cast<const void*>(l.RequestStatusSetFeature)}) {
        EXPECT_NE(fn, nullptr);
    }
    // Each one bound to its own name, not shifted by one.
    EXPECT_EQ(reinterpret_cast<void*>(l.Init), dlsym(l.module, "Init"));
    EXPECT_EQ(reinterpret_cast<void*>(l.RequestStatusSetFeature), dlsym(l.module, "RequestStatusSetFeature"));
    platform::UnloadServiceLibrary(loaded.link);
    EXPECT_TRUE(NothingBound(loaded.link));
    platform::UnloadServiceLibrary(loaded.link);  // a second unload is harmless
}

TEST(ServiceLibraryLoader, MissingFileIsNamed) {
    const fs::path path = "/nonexistent/talvenix/libPelloran.so";
    const auto loaded = platform::LoadServiceLibrary(path);
    EXPECT_FALSE(loaded.ok());
    EXPECT_NE(loaded.error.find("not found"), std::string::npos) << loaded.error;
    EXPECT_NE(loaded.error.find(path.string()), std::string::npos) << loaded.error;
    EXPECT_TRUE(NothingBound(loaded.link));
}

TEST(ServiceLibraryLoader, FileThatIsNoLibraryIsRefusedWithTheLoadersReason) {
    test::TempHome home;
    const fs::path path = home.Path() / "libPelloran.so";
    test::WriteFileBytes(path, "this is not an ELF file\n");
    const auto loaded = platform::LoadServiceLibrary(path);
    EXPECT_FALSE(loaded.ok());
    EXPECT_EQ(loaded.error.rfind("cannot load service library " + path.string() + ": ", 0), 0u)
        << loaded.error;
    EXPECT_TRUE(NothingBound(loaded.link));
}

TEST(ServiceLibraryLoader, LibraryWithoutTheEntryPointsNamesTheFirstMissing) {
    const fs::path path = LibraryWithoutEntryPoints();
    ASSERT_FALSE(path.empty());
    const auto loaded = platform::LoadServiceLibrary(path);
    EXPECT_FALSE(loaded.ok());
    EXPECT_EQ(loaded.error, "entry point Debug missing in " + path.string());
    EXPECT_TRUE(NothingBound(loaded.link));
}

TEST(ServiceLibraryLoader, LibrariesSitBesideTheProgram) {
    test::ScopedEnv env;
    env.Set("TALVENIX_PROGRAM_DIR", "/opt/talvenix");
    EXPECT_EQ(platform::ServiceLibraryPath(false), fs::path("/opt/talvenix/libPelloran.so"));
    EXPECT_EQ(platform::ServiceLibraryPath(true), fs::path("/opt/talvenix/libPelloranSim.so"));
}

TEST(SimulatorState, DefaultFileUnderTheStateFolder) {
    test::TempHome home;
    test::ScopedEnv env;
    env.Set("XDG_STATE_HOME", (home.Path() / "state").string());
    EXPECT_EQ(platform::DefaultSimulatorStatePath(), home.Path() / "state/talvenix/simulated-keyboard.state");
    env.Set("XDG_STATE_HOME", "");
    EXPECT_EQ(platform::DefaultSimulatorStatePath(),
              home.Path() / ".local/state/talvenix/simulated-keyboard.state");
}

TEST(SimulatorState, PrepareGivesTheDefaultOnlyWhenUnset) {
    test::TempHome home;
    test::ScopedEnv env;
    env.Unset("XDG_STATE_HOME");
    env.Unset("TALVENIX_SIM_STATE");
    platform::PrepareSimulatorEnvironment();
    const fs::path expected = home.Path() / ".local/state/talvenix/simulated-keyboard.state";
    ASSERT_NE(std::getenv("TALVENIX_SIM_STATE"), nullptr);
    EXPECT_EQ(fs::path(std::getenv("TALVENIX_SIM_STATE")), expected);
    EXPECT_TRUE(fs::is_directory(expected.parent_path()));

    // A chosen file, or an empty value (memory in the process only), is left as it is.
    env.Set("TALVENIX_SIM_STATE", "/srv/sim.state");
    platform::PrepareSimulatorEnvironment();
    EXPECT_STREQ(std::getenv("TALVENIX_SIM_STATE"), "/srv/sim.state");
    env.Set("TALVENIX_SIM_STATE", "");
    platform::PrepareSimulatorEnvironment();
    EXPECT_STREQ(std::getenv("TALVENIX_SIM_STATE"), "");
}
