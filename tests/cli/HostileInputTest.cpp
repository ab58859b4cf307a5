// Input an attacker or a flaky keyboard would give: hostile JSON, targets that are not plain
// files, and a keyboard that acknowledges writes it does not keep.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "cli/CliError.h"
#include "cli/ProfileJson.h"
#include "core/profiles/ProfileFile.h"
#include "tests/cli/CliRunner.h"

namespace talvenix::cli {
namespace {

namespace fs = std::filesystem;

std::string Refusal(const std::string& json) {
    try {
        ProfileFileFromJson(json);
    } catch (const CliError& e) {
        EXPECT_EQ(e.ExitCode(), kExitBadInput);
        return e.what();
    }
    ADD_FAILURE() << "accepted";
    return "";
}

std::string WithMacro(const std::string& macro) {
    return R"({"format":"talvenix-profile","version":1,"macros":[)" + macro + "]}";
}

TEST(HostileJsonTest, DeepNestingIsRefusedInsteadOfCrashing) {
    const std::string deep = std::string(100'000, '[') + std::string(100'000, ']');
    EXPECT_NE(Refusal(deep).find("nested deeper than"), std::string::npos);
    const std::string deepObject = R"({"format":)" + std::string(40, '[') + std::string(40, ']') + "}";
    EXPECT_NE(Refusal(deepObject).find("nested deeper than"), std::string::npos);
}

TEST(HostileJsonTest, ManyKeysParseInLinearTime) {
    std::string json = R"({"format":"talvenix-profile","version":1,"profiles":[{"keys":{)";
    for (int i = 0; i < 90'000; ++i) json += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":1";
    json += "}}]}";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NE(Refusal(json).find("unknown key"), std::string::npos);
    // Quadratic member lookup took many seconds here; this is a bound for a loaded machine.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));

    std::string many = "[";
    for (int i = 0; i < 100'001; ++i) many += i ? ",0" : "0";
    EXPECT_NE(Refusal(many + "]").find("more than 100000 members"), std::string::npos);
}

TEST(HostileJsonTest, MacroIdsOutsideTheKeyboardsRangeAreRefusedByName) {
    EXPECT_NE(Refusal(WithMacro(R"({"id":0})")).find("macros[0].id: 0 is not a macro id (1..100)"),
              std::string::npos);
    EXPECT_NE(Refusal(WithMacro(R"({"id":101})")).find("macros[0].id: 101"), std::string::npos);
    EXPECT_NE(Refusal(WithMacro(R"({"id":65535})")).find("macros[0].id: 65535"), std::string::npos);
    EXPECT_NO_THROW(ProfileFileFromJson(WithMacro(R"({"id":100})")));
}

TEST(HostileJsonTest, NumbersOutOfRangeAreNamedPlainly) {
    EXPECT_NE(Refusal(R"({"format":"talvenix-profile","version":1e999})").find("not valid JSON"),
              std::string::npos);
    const std::string huge =
        WithMacro(R"({"actions":[{"delay":18446744073709551615,"key":"A","dir":"down"}]})");
    const std::string why = Refusal(huge);
    EXPECT_NE(why.find("delay: must be at most 4294967295"), std::string::npos) << why;
    EXPECT_EQ(why.find("negative"), std::string::npos) << why;
}

class HostileFilesTest : public test::CliTest {
protected:
    void SetUp() override {
        json_ = File("in.json");
        macros::Configuration config = test::KeyboardRepresentableConfig();
        std::ofstream(json_) << ProfileFileToJson(profiles::SerializeProfileFile(config));
    }
    fs::path json_;
};

TEST_F(HostileFilesTest, WritesNeverReplaceWhatIsNotAPlainFile) {
    const fs::path fifo = File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto r = Run({"from-json", json_.string(), fifo.string()});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(fs::is_fifo(fifo));
    r = Sim({"backup", fifo.string()});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(fs::is_fifo(fifo));

    const fs::path dangling = File("dangling.tvx");
    fs::create_symlink(File("nowhere.tvx"), dangling);
    r = Run({"from-json", json_.string(), dangling.string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("symbolic link to a missing file"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_symlink(dangling));

    // A link to a real file is written through; the link stays.
    const fs::path real = File("real.tvx");
    ASSERT_EQ(Run({"from-json", json_.string(), real.string()}).exitCode, 0);
    const fs::path link = File("link.tvx");
    fs::create_symlink(real, link);
    r = Sim({"backup", link.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(link));

    const fs::path a = File("a"), b = File("b");
    fs::create_symlink(b, a);
    fs::create_symlink(a, b);
    r = Run({"validate", a.string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("symbolic link loop"), std::string::npos) << r.err;
}

TEST_F(HostileFilesTest, AnExistingFilesModeIsKept) {
    const fs::path secret = File("secret.tvx");
    ASSERT_EQ(Run({"from-json", json_.string(), secret.string()}).exitCode, 0);
    fs::permissions(secret, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
    ASSERT_EQ(Run({"from-json", json_.string(), secret.string()}).exitCode, 0);
    EXPECT_EQ(fs::status(secret).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(Sim({"backup", secret.string()}).exitCode, 0);
    EXPECT_EQ(fs::status(secret).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// A keyboard that acknowledges a write but keeps nothing: the read-back tells, and the command
// fails naming what did not stick.
TEST_F(HostileFilesTest, WritesTheKeyboardDidNotKeepFailNamingTheArea) {
    const fs::path file = File("restore.tvx");
    ASSERT_EQ(Run({"from-json", json_.string(), file.string()}).exitCode, 0);
    auto r = Sim({"restore", file.string()}, {{"TALVENIX_SIM_COMMANDS", "fault forget"}});
    EXPECT_EQ(r.exitCode, 4) << r.err;
    EXPECT_NE(r.err.find("macro memory"), std::string::npos) << r.err;

    r = Sim({"lighting", "set", "--profile", "1", "--brightness", "2"},
            {{"TALVENIX_SIM_COMMANDS", "fault forget"}});
    EXPECT_EQ(r.exitCode, 4) << r.err;
    EXPECT_NE(r.err.find("lighting record of profile 1"), std::string::npos) << r.err;

    r = Sim({"restore", file.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    r = Sim({"lighting", "set", "--profile", "1", "--brightness", "2"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST_F(HostileFilesTest, NamesAndRepliesReachTheTerminalWithoutControlCharacters) {
    const fs::path odd = File("bad\x1b]0;owned\x07name.tvx");
    ASSERT_EQ(Run({"from-json", json_.string(), odd.string()}).exitCode, 0);
    auto r = Run({"validate", odd.string()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x07'), std::string::npos) << r.out;
    r = Run({"validate", File("missing\x1b[2Jfile").string()});
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
}

// An assignment the keyboard's 3-byte form cannot hold is named, with what the key will do.
TEST_F(HostileFilesTest, AssignmentsTheKeyboardCannotStoreAreNamed) {
    const fs::path in = File("power.json"), file = File("power.tvx");
    std::ofstream(in) << R"({"format":"talvenix-profile","version":1,
        "profiles":[{"keys":{"F3":{"kind":"key","target":"POWER"},"F4":{"kind":"key","target":"B"}}}]})";
    auto r = Run({"from-json", in.string(), file.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = Sim({"restore", file.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("warning: profile 0, key F3: set to act as POWER"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("key F4"), std::string::npos) << r.err;  // a plain key is stored as it is
}

}  // namespace
}  // namespace talvenix::cli
