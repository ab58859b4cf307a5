// The atomic writer: what it replaces, what it refuses, what it keeps, and that it flushes
// before the rename.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/text/AtomicFile.h"
#include "tests/core/text/TempDir.h"

namespace talvenix::text {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) { return ReadWholeFile(p).value_or("<unreadable>"); }

TEST(AtomicFileTest, ReplacesAFileKeepingItsModeAndMakesNewOnesByTheUmask) {
    testing::TempDir dir;
    const fs::path secret = dir.path() / "secret.tvx";
    ASSERT_TRUE(WriteFileAtomically(secret, std::string_view("old")));
    fs::permissions(secret, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
    ASSERT_TRUE(WriteFileAtomically(secret, std::string_view("new")));
    EXPECT_EQ(Read(secret), "new");
    EXPECT_EQ(fs::status(secret).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    const mode_t old = ::umask(027);
    const fs::path fresh = dir.path() / "fresh.tvx";
    ASSERT_TRUE(WriteFileAtomically(fresh, std::string_view("x")));
    ::umask(old);
    EXPECT_EQ(fs::status(fresh).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A write never turns something that is not a regular file into one.
TEST(AtomicFileTest, RefusesFoldersFifosDanglingLinksAndLoops) {
    testing::TempDir dir;
    const fs::path fifo = dir.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(fifo, std::string_view("x"), &error));
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;

    EXPECT_FALSE(WriteFileAtomically(dir.path(), std::string_view("x"), &error));
    EXPECT_NE(error.find("folder"), std::string::npos) << error;

    const fs::path dangling = dir.path() / "dangling";
    fs::create_symlink(dir.path() / "nowhere", dangling);
    EXPECT_FALSE(WriteFileAtomically(dangling, std::string_view("x"), &error));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_FALSE(fs::exists(dir.path() / "nowhere"));
    EXPECT_NE(error.find("missing file"), std::string::npos) << error;

    const fs::path a = dir.path() / "a", b = dir.path() / "b";
    fs::create_symlink(b, a);
    fs::create_symlink(a, b);
    EXPECT_FALSE(WriteFileAtomically(a, std::string_view("x"), &error));
    EXPECT_NE(error.find("loop"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_symlink(a));

    // Nothing was left behind by the refusals.
    std::vector<fs::path> left;
    for (const auto& e : fs::directory_iterator(dir.path())) left.push_back(e.path().filename());
    EXPECT_EQ(left.size(), 4u);
}

TEST(AtomicFileTest, WritesThroughASymlinkToItsFile) {
    testing::TempDir dir;
    fs::create_directory(dir.path() / "real");
    const fs::path target = dir.path() / "real" / "profile.tvx";
    ASSERT_TRUE(WriteFileAtomically(target, std::string_view("old")));
    const fs::path link = dir.path() / "link.tvx";
    fs::create_symlink(fs::path("real") / "profile.tvx", link);  // relative, as users make them
    ASSERT_TRUE(WriteFileAtomically(link, std::string_view("new")));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Read(target), "new");
}

int gFileSyncs = 0;
int gFolderSyncs = 0;
bool gFailFileSync = false;
bool CountFile(const fs::path& p) {
    ++gFileSyncs;
    // Flushed while still the temporary: the target is untouched until the rename.
    EXPECT_NE(p.filename().string().find(".tmp"), std::string::npos);
    return !gFailFileSync;
}
bool CountFolder(const fs::path&) {
    ++gFolderSyncs;
    return true;
}

TEST(AtomicFileTest, FlushesTheFileBeforeTheRenameAndTheFolderAfter) {
    testing::TempDir dir;
    const FileSyncSteps before = CurrentFileSyncSteps();
    SetFileSyncSteps({&CountFile, &CountFolder});
    const fs::path file = dir.path() / "store.tvx";
    EXPECT_TRUE(WriteFileAtomically(file, std::string_view("one")));
    EXPECT_EQ(gFileSyncs, 1);
    EXPECT_EQ(gFolderSyncs, 1);

    gFailFileSync = true;  // a file that cannot reach the disk is not reported as saved
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(file, std::string_view("two"), &error));
    EXPECT_EQ(Read(file), "one");
    EXPECT_EQ(gFolderSyncs, 1);
    SetFileSyncSteps(before);
    gFailFileSync = false;
}

}  // namespace
}  // namespace talvenix::text
