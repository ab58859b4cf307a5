#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/Process.h"

namespace fs = std::filesystem;
using talvenix::platform::FindProcessByExecutable;

namespace {

// A stand-in for /proc: numbered folders whose "exe" links name executables.
class FakeProc : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("talvenix-proc-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }
    void AddProcess(const std::string& pid, const std::string& exe) {
        fs::create_directories(root_ / pid);
        fs::create_symlink(exe, root_ / pid / "exe");
    }
    fs::path root_;
};

}  // namespace

TEST_F(FakeProc, FindsAnotherProcessByItsExecutableNameIgnoringCase) {
    AddProcess("4242", "/opt/talvenix/Talvenix");
    AddProcess("17", "/usr/bin/bash");
    EXPECT_EQ(FindProcessByExecutable("talvenix", root_), 4242);
    EXPECT_EQ(FindProcessByExecutable("TALVENIX", root_), 4242);
    EXPECT_EQ(FindProcessByExecutable("talveni", root_), 0);  // whole names only
}

TEST_F(FakeProc, AReplacedExecutableStillCountsAndOurOwnPidNever) {
    AddProcess("99", "/opt/talvenix/talvenix (deleted)");
    EXPECT_EQ(FindProcessByExecutable("talvenix", root_), 99);
    fs::remove_all(root_ / "99");
    AddProcess(std::to_string(::getpid()), "/opt/talvenix/talvenix");
    EXPECT_EQ(FindProcessByExecutable("talvenix", root_), 0);
}

TEST_F(FakeProc, EntriesThatAreNotProcessesOrCannotBeReadAreSkipped) {
    fs::create_directories(root_ / "self");
    fs::create_symlink("/opt/x/talvenix", root_ / "self" / "exe");
    fs::create_directories(root_ / "12a");
    fs::create_symlink("/opt/x/talvenix", root_ / "12a" / "exe");
    fs::create_directories(root_ / "55");  // another user's process: no readable link
    std::ofstream(root_ / "notadir") << "x";
    EXPECT_EQ(FindProcessByExecutable("talvenix", root_), 0);
    EXPECT_EQ(FindProcessByExecutable("talvenix", root_ / "missing"), 0);
    EXPECT_EQ(FindProcessByExecutable("", root_), 0);
}

TEST(Process, TheUserIdIsOurs) { EXPECT_EQ(talvenix::platform::CurrentUserId(), ::getuid()); }
