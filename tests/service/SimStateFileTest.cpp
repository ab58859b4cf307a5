// The simulator's state file: its exact layout, loading at Init, atomic saves.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/service/SimHarness.h"

namespace talvenix::service::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SimStateFileTest : public SimTest {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/talvenix-simstate-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        state_ = dir_ / "keyboard.state";
        ::setenv("TALVENIX_SIM_STATE", state_.c_str(), 1);
        ::setenv("TALVENIX_SIM_SOCKET", "none", 1);
        ::setenv("TALVENIX_SIM_LATENCY_US", "0", 1);
        ASSERT_EQ(Init(0), 1);
        initialised_ = true;
        ClearCaptured();
        ASSERT_EQ(RegisterRead(ControlFilter(), TALVENIX_TAG_CTRL, &ctrlUnit_), 1);
    }
    void TearDown() override {
        if (initialised_) End();
        ::unsetenv("TALVENIX_SIM_STATE");
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void Restart() {
        End();
        ASSERT_EQ(Init(0), 1);
        ASSERT_EQ(RegisterRead(ControlFilter(), TALVENIX_TAG_CTRL, &ctrlUnit_), 1);
    }
    fs::path dir_;
    fs::path state_;
};

TEST_F(SimStateFileTest, EndUpdateSavesTheByteExactLayout) {
    EXPECT_FALSE(fs::exists(state_));  // nothing written before the first commit
    const std::vector<std::uint8_t> macro = {0xAA, 0x55, 0x10, 0x00, 0x01};
    const std::vector<std::uint8_t> colour = {1, 2, 3};
    ASSERT_TRUE(Exchange(MakeFrame(1, 0, 0)));
    ASSERT_TRUE(Exchange(MakeFrame(10, 5, 0, macro)));
    ASSERT_TRUE(Exchange(MakeFrame(17, 3, 1324, colour)));
    ASSERT_TRUE(Exchange(MakeFrame(6, 1, 42, {0x07})));
    ASSERT_TRUE(Exchange(MakeFrame(8, 3, 378 + 3, {0x05, 0x01, 0x00})));
    ASSERT_TRUE(Exchange(MakeFrame(2, 0, 0)));

    const auto file = ReadFile(state_);
    ASSERT_EQ(file.size(), 68770u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 8), "TVXSIM01");
    EXPECT_EQ(std::string(file.end() - 8, file.end()), "TVXEND01");
    EXPECT_EQ(file[8 + 11], 128);             // ConfigBlock at 8
    EXPECT_EQ(file[8 + 12], 1);               // first offered effect
    EXPECT_EQ(file[52 + 42], 0x07);           // lighting of profile 1 at 52 + 42
    EXPECT_EQ(file[178 + 64 * 3 + 2], 0x04);  // default layout at 178: A at slot 64
    EXPECT_EQ(file[556 + 378 + 3], 0x05);     // key block of profile 1 at 556 + 378
    EXPECT_EQ(file[1690 + 1324 + 2], 3);      // colour banks at 1690
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 3226, file.begin() + 3231), macro);  // macros at 3226
    for (const auto& entry : fs::directory_iterator(dir_)) {
        EXPECT_EQ(entry.path(), state_) << "left behind: " << entry.path();
    }
}

TEST_F(SimStateFileTest, MemoryComesBackAtTheNextInit) {
    ASSERT_TRUE(Exchange(MakeFrame(10, 2, 100, {0x12, 0x34})));
    ASSERT_EQ(Control("switch-profile 1"), 0);
    Restart();  // End saves too, without an end-update command
    EXPECT_EQ(Memory(PELLORAN_SIM_MACROS, 100, 2), (std::vector<std::uint8_t>{0x12, 0x34}));
    EXPECT_EQ(Memory(PELLORAN_SIM_CONFIG, 10, 1)[0], 1);
}

// A simulator killed while saving leaves its temporary; the next start clears it away, but
// never one of a process that still runs, nor a file that only looks similar.
TEST_F(SimStateFileTest, TemporariesOfKilledSimulatorsAreRemovedAtStart) {
    const fs::path dead = state_.string() + ".tmp.999999999";  // beyond any pid
    const fs::path alive = state_.string() + ".tmp." + std::to_string(::getppid());
    const fs::path other = state_.string() + ".tmp.notapid";
    for (const auto& p : {dead, alive, other}) std::ofstream(p.string()) << "partial";
    Restart();
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(alive));
    EXPECT_TRUE(fs::exists(other));
}

TEST_F(SimStateFileTest, SaveReplacesTheFileRatherThanRewritingIt) {
    ASSERT_TRUE(Exchange(MakeFrame(2, 0, 0)));
    struct stat first {};
    ASSERT_EQ(::stat(state_.c_str(), &first), 0);
    EXPECT_EQ(first.st_mode & 0777, 0600u);
    // A reader holding the old file keeps a complete old image.
    std::ifstream reader(state_, std::ios::binary);
    ASSERT_TRUE(Exchange(MakeFrame(10, 1, 0, {0x99})));
    ASSERT_TRUE(Exchange(MakeFrame(2, 0, 0)));
    struct stat second {};
    ASSERT_EQ(::stat(state_.c_str(), &second), 0);
    EXPECT_NE(first.st_ino, second.st_ino);
    std::vector<std::uint8_t> old{std::istreambuf_iterator<char>(reader), std::istreambuf_iterator<char>()};
    ASSERT_EQ(old.size(), 68770u);
    EXPECT_EQ(old[3226], 0x00);
    EXPECT_EQ(ReadFile(state_)[3226], 0x99);
}

// Only a change costs a save: commits and Ends that leave the memory as the file has it keep
// the very same file, and whatever differs is still saved by the next commit or End.
TEST_F(SimStateFileTest, OnlyAChangedMemoryIsWrittenAgain) {
    auto inode = [&] {
        struct stat st {};
        EXPECT_EQ(::stat(state_.c_str(), &st), 0);
        return st.st_ino;
    };
    ASSERT_TRUE(Exchange(MakeFrame(10, 1, 0, {0x31})));
    ASSERT_TRUE(Exchange(MakeFrame(2, 0, 0)));
    const auto first = inode();
    std::ifstream holder(state_, std::ios::binary);  // so a rewrite cannot reuse the inode
    ASSERT_TRUE(Exchange(MakeFrame(1, 0, 0)));
    ASSERT_TRUE(Exchange(MakeFrame(10, 1, 0, {0x31})));  // the same byte again
    ASSERT_TRUE(Exchange(MakeFrame(9, 8, 0)));
    ASSERT_TRUE(Exchange(MakeFrame(2, 0, 0)));
    Restart();
    EXPECT_EQ(inode(), first);
    EXPECT_EQ(ReadFile(state_)[3226], 0x31);

    ASSERT_TRUE(Exchange(MakeFrame(10, 1, 1, {0x32})));  // no end-update: End saves it
    End();
    initialised_ = false;
    EXPECT_NE(inode(), first);
    EXPECT_EQ(ReadFile(state_)[3227], 0x32);
}

TEST_F(SimStateFileTest, AnUnusableFileIsKeptAsideAndTheKeyboardStartsFresh) {
    End();
    initialised_ = false;
    {
        std::ofstream out(state_, std::ios::binary);
        out << "TVXSIM01 but far too short";
    }
    ASSERT_EQ(Init(0), 1);
    initialised_ = true;
    EXPECT_EQ(Memory(PELLORAN_SIM_CONFIG, 11, 1)[0], 128);
    EXPECT_EQ(ReadFile(dir_ / "keyboard.state.bad").size(), 26u);

    // Right size, wrong end magic.
    End();
    auto image = std::vector<std::uint8_t>(68770, 0);
    std::memcpy(image.data(), "TVXSIM01", 8);
    std::memcpy(image.data() + 68762, "TVXEND02", 8);
    image[8 + 11] = 7;
    {
        std::ofstream out(state_, std::ios::binary);
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }
    ASSERT_EQ(Init(0), 1);
    EXPECT_EQ(Memory(PELLORAN_SIM_CONFIG, 11, 1)[0], 128);
}

TEST_F(SimStateFileTest, AnUnusableFileThatCannotBeMovedAsideIsNeverOverwritten) {
    End();
    initialised_ = false;
    { std::ofstream(state_, std::ios::binary) << "someone else's file"; }
    // The aside name is taken by a folder with something in it, so the rename fails.
    fs::create_directories(dir_ / "keyboard.state.bad");
    { std::ofstream(dir_ / "keyboard.state.bad" / "keep") << "x"; }
    ASSERT_EQ(Init(0), 1);
    initialised_ = true;
    ASSERT_EQ(RegisterRead(ControlFilter(), TALVENIX_TAG_CTRL, &ctrlUnit_), 1);
    EXPECT_EQ(Memory(PELLORAN_SIM_CONFIG, 11, 1)[0], 128);  // factory memory, keyboard works
    ASSERT_TRUE(Exchange(MakeFrame(1, 0, 0)));
    ASSERT_TRUE(Exchange(MakeFrame(10, 1, 0, {0x42})));
    ASSERT_TRUE(Exchange(MakeFrame(2, 0, 0)));
    End();
    initialised_ = false;
    const auto kept = ReadFile(state_);
    EXPECT_TRUE(std::string(kept.begin(), kept.end()) == "someone else's file")
        << "the unusable file was overwritten (" << kept.size() << " bytes now)";
}

TEST_F(SimStateFileTest, AStatePathNamingAFolderLeavesTheFolderAlone) {
    End();
    initialised_ = false;
    const fs::path folder = dir_ / "not-a-state-file";
    fs::create_directories(folder);
    { std::ofstream(folder / "notes.txt") << "mine"; }
    ::setenv("TALVENIX_SIM_STATE", folder.c_str(), 1);
    ASSERT_EQ(Init(0), 1);
    initialised_ = true;
    ASSERT_EQ(RegisterRead(ControlFilter(), TALVENIX_TAG_CTRL, &ctrlUnit_), 1);
    ASSERT_TRUE(Exchange(MakeFrame(1, 0, 0)));
    ASSERT_TRUE(Exchange(MakeFrame(2, 0, 0)));
    End();
    initialised_ = false;
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_FALSE(fs::exists(dir_ / "not-a-state-file.bad"));
    EXPECT_EQ(ReadFile(folder / "notes.txt").size(), 4u);
}

TEST_F(SimStateFileTest, AValidFileIsLoadedAsIs) {
    End();
    std::vector<std::uint8_t> image(68770, 0);
    std::memcpy(image.data(), "TVXSIM01", 8);
    std::memcpy(image.data() + 68762, "TVXEND01", 8);
    image[8 + 10] = 2;
    image[8 + 11] = 64;
    image[3226 + 65535] = 0x5A;
    {
        std::ofstream out(state_, std::ios::binary);
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }
    ASSERT_EQ(Init(0), 1);
    EXPECT_EQ(Memory(PELLORAN_SIM_CONFIG, 10, 2), (std::vector<std::uint8_t>{2, 64}));
    EXPECT_EQ(Memory(PELLORAN_SIM_MACROS, 65535, 1)[0], 0x5A);
    EXPECT_EQ(Memory(PELLORAN_SIM_LAYOUT, 0, 3), (std::vector<std::uint8_t>{0, 0, 0}));
    End();
    EXPECT_EQ(ReadFile(state_), image);  // saved back unchanged
    initialised_ = false;
}

}  // namespace
}  // namespace talvenix::service::test
