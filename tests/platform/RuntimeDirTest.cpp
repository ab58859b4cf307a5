// The private runtime folder: ours, a real folder and closed to others, or refused.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/RuntimeDir.h"

namespace talvenix::platform {
namespace {

namespace fs = std::filesystem;

class RuntimeDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/talvenix-rtd-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) saved_ = old;
    }
    void TearDown() override {
        if (saved_.empty())
            ::unsetenv("XDG_RUNTIME_DIR");
        else
            ::setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
    std::string saved_;
};

TEST_F(RuntimeDirTest, PrivateFolderOfThisUserIsUsed) {
    ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);  // mkdtemp makes it 0700
    const auto r = PrivateRuntimeDir();
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_EQ(r.folder, dir_);
}

TEST_F(RuntimeDirTest, WithoutXdgAFolderOfOurOwnIsMadeInTmp) {
    ::unsetenv("XDG_RUNTIME_DIR");
    const auto r = PrivateRuntimeDir();
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_EQ(r.folder, fs::path("/tmp/talvenix-" + std::to_string(::getuid())));
    EXPECT_EQ(CheckPrivateFolder(r.folder), "");
}

// Each way another user could slip in is refused, with the reason.
TEST_F(RuntimeDirTest, FoldersOthersCouldUseAreRefused) {
    const fs::path open = dir_ / "open";
    fs::create_directory(open);
    fs::permissions(open, fs::perms::all);
    EXPECT_NE(CheckPrivateFolder(open).find("mode 0777"), std::string::npos);
    ::setenv("XDG_RUNTIME_DIR", open.c_str(), 1);
    EXPECT_FALSE(PrivateRuntimeDir().Ok());

    const fs::path link = dir_ / "link";
    fs::create_directory_symlink(dir_, link);
    EXPECT_NE(CheckPrivateFolder(link).find("symbolic link"), std::string::npos);

    const fs::path file = dir_ / "file";
    { std::ofstream(file.string()) << "x"; }
    EXPECT_NE(CheckPrivateFolder(file).find("not a folder"), std::string::npos);

    ::setenv("XDG_RUNTIME_DIR", "relative/path", 1);
    EXPECT_FALSE(PrivateRuntimeDir().Ok());

    if (::getuid() == 0) {
        const fs::path theirs = dir_ / "theirs";
        fs::create_directory(theirs);
        fs::permissions(theirs, fs::perms::owner_all, fs::perm_options::replace);
        ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
        EXPECT_NE(CheckPrivateFolder(theirs).find("belongs to uid 65534"), std::string::npos);
    }
}

}  // namespace
}  // namespace talvenix::platform
