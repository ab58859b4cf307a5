// The program finds its service libraries and skin beside itself in a build tree, and in their
// installed places under the prefix otherwise.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/InstallLayout.h"

namespace talvenix::platform {
namespace {

namespace fs = std::filesystem;

class InstallLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("talvenix-layout-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }
    void Touch(const fs::path& p) {
        fs::create_directories(p.parent_path());
        std::ofstream(p) << "x";
    }
    fs::path root_;
};

TEST_F(InstallLayoutTest, BuildTreeKeepsEverythingBesideTheProgram) {
    const fs::path bin = root_ / "build" / "bin";
    Touch(bin / "libPelloran.so");
    fs::create_directories(bin / "Skins");
    const InstallLayout layout = InstallLayoutFor(bin);
    EXPECT_FALSE(layout.installed);
    EXPECT_EQ(layout.libraryFolder, bin);
    EXPECT_EQ(layout.skinFolder, bin / "Skins");
}

TEST_F(InstallLayoutTest, InstalledProgramLooksUnderItsPrefix) {
    // Wherever the prefix is (a package unpacked elsewhere, /usr/local, /opt/...).
    const fs::path prefix = root_ / "usr";
    fs::create_directories(prefix / "bin");
    EXPECT_FALSE(InstallLayoutFor(prefix / "bin").installed);  // nothing installed yet

    // A real installation: both folders under the prefix.
    // The library folder is <prefix>/<libdir>/talvenix, libdir as this build configured it.
    for (const char* libdir : {"lib", "lib64", "lib/x86_64-linux-gnu", "lib/aarch64-linux-gnu"})
        fs::create_directories(prefix / libdir / "talvenix");
    fs::create_directories(prefix / "share" / "talvenix" / "Skins");
    const InstallLayout layout = InstallLayoutFor(prefix / "bin");
    EXPECT_TRUE(layout.installed);
    EXPECT_EQ(layout.skinFolder, prefix / "share" / "talvenix" / "Skins");
    EXPECT_EQ(layout.libraryFolder.filename(), "talvenix");
    EXPECT_EQ(layout.libraryFolder.string().rfind((prefix / "lib").string(), 0), 0u) << layout.libraryFolder;
    // A trailing slash names the same folder.
    EXPECT_EQ(InstallLayoutFor(prefix / "bin" / "").skinFolder, layout.skinFolder);
}

TEST_F(InstallLayoutTest, NamedFolderOrStrayProgramUsesTheProgramFolder) {
    const fs::path prefix = root_ / "usr";
    fs::create_directories(prefix / "share" / "talvenix" / "Skins");
    // TALVENIX_PROGRAM_DIR names a folder on purpose: everything comes from there.
    EXPECT_EQ(InstallLayoutFor(prefix / "bin", true).skinFolder, prefix / "bin" / "Skins");
    // A program outside any bin folder has nowhere else to look.
    const fs::path stray = root_ / "somewhere";
    fs::create_directories(stray);
    EXPECT_EQ(InstallLayoutFor(stray).libraryFolder, stray);
}

}  // namespace
}  // namespace talvenix::platform
