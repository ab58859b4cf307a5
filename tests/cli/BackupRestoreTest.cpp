// backup and restore against the simulated keyboard: what goes in comes back, and a refused file
// changes nothing on the keyboard or on disk.
#include <gtest/gtest.h>

#include "core/profiles/ProfileFile.h"
#include "tests/cli/CliRunner.h"

namespace talvenix::test {
namespace {

class BackupRestoreTest : public CliTest {
protected:
    std::filesystem::path WriteConfig(const std::string& name, macros::Configuration config) {
        const auto path = File(name);
        WriteBytes(path, profiles::SerializeProfileFile(config));
        return path;
    }
};

TEST_F(BackupRestoreTest, RestoreThenBackupGivesTheSameFile) {
    const auto original = WriteConfig("in.tvx", KeyboardRepresentableConfig());
    const CliResult restore = Sim({"restore", original.string()});
    ASSERT_EQ(restore.exitCode, 0) << restore.err;

    const auto backup = File("out.tvx");
    const CliResult back = Sim({"backup", backup.string()});
    ASSERT_EQ(back.exitCode, 0) << back.err;
    EXPECT_EQ(ReadBytes(backup), ReadBytes(original));
    // Not a terminal: no progress line, nothing at all on stderr.
    EXPECT_EQ(restore.err, "");
    EXPECT_EQ(back.err, "");
}

TEST_F(BackupRestoreTest, RestoreReachesTheKeyboardMemory) {
    const CliResult restore = Sim({"restore", WriteConfig("in.tvx", KeyboardRepresentableConfig()).string()});
    ASSERT_EQ(restore.exitCode, 0) << restore.err;
    const auto state = State();
    ASSERT_EQ(state.size(), kStateSize);
    // The macro memory carries the image signature and both macros.
    EXPECT_EQ(state[kStateMacros], 0xAA);
    EXPECT_EQ(state[kStateMacros + 1], 0x55);
    EXPECT_EQ(state[kStateMacros + 4], 2);
}

TEST_F(BackupRestoreTest, BackupOfAFreshKeyboardHasNoMacros) {
    const auto out = File("fresh.tvx");
    ASSERT_EQ(Sim({"backup", out.string()}).exitCode, 0);
    const auto bytes = ReadBytes(out);
    EXPECT_EQ(bytes.size(), 32832u);
    EXPECT_EQ(profiles::CheckProfileFileBytes(bytes), profiles::ProfileFileCheck::Valid);
}

TEST_F(BackupRestoreTest, BackupIntoAMissingFolderIsRefusedAndWritesNothing) {
    const CliResult r = Sim({"backup", (File("no-such-folder") / "x.tvx").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no such folder"), std::string::npos) << r.err;
}

struct BadFile {
    const char* name;
    const char* reason;  // what the error line must name
    std::vector<std::uint8_t> (*make)(std::vector<std::uint8_t>);
};

std::vector<std::uint8_t> Truncate(std::vector<std::uint8_t> b) {
    b.resize(b.size() - 100);
    return b;
}
std::vector<std::uint8_t> BreakChecksum(std::vector<std::uint8_t> b) {
    b[31] = static_cast<std::uint8_t>(b[31] + 1);
    return b;
}
// 101 macros with sizes that add up and a correct checksum: only the count is wrong.
std::vector<std::uint8_t> OverCount(std::vector<std::uint8_t>) {
    macros::Configuration c = macros::Configuration{};
    c.macros.resize(101);
    for (std::size_t i = 0; i < c.macros.size(); ++i) c.macros[i].id = static_cast<std::uint16_t>(i + 1);
    return profiles::SerializeProfileFile(c);
}
std::vector<std::uint8_t> TooShort(std::vector<std::uint8_t> b) {
    b.resize(1000);
    return b;
}

// Listings and failure messages show the case by name instead of its raw bytes.
void PrintTo(const BadFile& f, std::ostream* os) { *os << f.name; }

class RefusedRestoreTest : public BackupRestoreTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(RefusedRestoreTest, ChangesNothingAndExitsOne) {
    // A keyboard that already holds a configuration, and a configurator store beside it.
    ASSERT_EQ(Sim({"restore", WriteConfig("good.tvx", KeyboardRepresentableConfig()).string()}).exitCode, 0);
    std::filesystem::create_directories(StoreFile().parent_path());
    const std::vector<std::uint8_t> storeBefore = {1, 2, 3};
    WriteBytes(StoreFile(), storeBefore);
    const auto stateBefore = State();

    macros::Configuration rich = RichConfig();
    const auto bad = File("bad.tvx");
    WriteBytes(bad, GetParam().make(profiles::SerializeProfileFile(rich)));
    const CliResult r = Sim({"restore", bad.string()});

    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(GetParam().reason), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(State(), stateBefore);
    EXPECT_EQ(ReadBytes(StoreFile()), storeBefore);
}

INSTANTIATE_TEST_SUITE_P(BadFiles, RefusedRestoreTest,
                         ::testing::Values(BadFile{"truncated", "truncated", Truncate},
                                           BadFile{"checksum", "checksum", BreakChecksum},
                                           BadFile{"overcount", "macro count is 101", OverCount},
                                           BadFile{"short", "shorter than", TooShort}),
                         [](const auto& p) { return std::string(p.param.name); });

// Macros of 1000 actions each with 249-unit names: four fit the 16384-byte macro space only
// without their names, five do not fit at all.
macros::Configuration BigMacros(int count) {
    macros::Configuration c;
    for (int i = 0; i < count; ++i) {
        macros::MacroRecord m;
        m.id = static_cast<std::uint16_t>(i + 1);
        m.SetName(std::u16string(249, static_cast<char16_t>(u'a' + i)));
        m.actionCount = 1000;
        for (int a = 0; a < 1000; ++a)
            m.actions[static_cast<std::size_t>(a)] = {10, 0x01E, static_cast<std::uint16_t>(a % 2)};
        c.macros.push_back(m);
    }
    return c;
}

TEST_F(BackupRestoreTest, BackupOfAKeyboardReportingAnOddProfileIsAKeyboardError) {
    ASSERT_EQ(Sim({"info"}).exitCode, 0);  // creates the state file
    auto state = State();
    state[8 + 10] = 7;  // ConfigBlock byte 10: the current profile
    WriteBytes(StateFile(), state);
    const CliResult r = Sim({"backup", File("out.tvx").string()});
    EXPECT_EQ(r.exitCode, 4) << r.err;  // attached and answering: not "no keyboard"
    EXPECT_NE(r.err.find("no valid current profile"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(File("out.tvx")));
}

TEST_F(BackupRestoreTest, RestoreFromStandardInputIsRefusedPlainly) {
    ASSERT_EQ(Sim({"info"}).exitCode, 0);
    const auto before = State();
    const CliResult r = Sim({"restore", "-"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "talvenix-cli: restore needs a file name; it does not read standard input\n");
    EXPECT_EQ(State(), before);
}

TEST_F(BackupRestoreTest, MacrosThatFitOnlyWithoutNamesAreWrittenWithANote) {
    const CliResult r = Sim({"restore", WriteConfig("big.tvx", BigMacros(4)).string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("without them"), std::string::npos) << r.err;
    ASSERT_EQ(Sim({"backup", File("back.tvx").string()}).exitCode, 0);
    const auto back = profiles::ParseProfileFile(ReadBytes(File("back.tvx")));
    ASSERT_EQ(back.config.macros.size(), 4u);
    EXPECT_EQ(back.config.macros[3].Name(), u"Macro4");
    EXPECT_EQ(back.config.macros[3].actionCount, 1000);
}

TEST_F(BackupRestoreTest, MacrosTooLargeForTheKeyboardAreRefusedBeforeTheStoreIsTouched) {
    std::filesystem::create_directories(StoreFile().parent_path());
    const std::vector<std::uint8_t> store = {4, 5, 6};
    WriteBytes(StoreFile(), store);
    ASSERT_EQ(Sim({"info"}).exitCode, 0);
    const auto stateBefore = State();
    const CliResult r = Sim({"restore", WriteConfig("huge.tvx", BigMacros(5)).string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("the keyboard has 16384"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(StoreFile()), store);
    EXPECT_EQ(State(), stateBefore);
}

TEST_F(BackupRestoreTest, RestoreAlsoReplacesAnExistingStoreFile) {
    std::filesystem::create_directories(StoreFile().parent_path());
    WriteBytes(StoreFile(), {1});
    const auto file = WriteConfig("in.tvx", KeyboardRepresentableConfig());
    ASSERT_EQ(Sim({"restore", file.string()}).exitCode, 0);
    EXPECT_EQ(ReadBytes(StoreFile()), ReadBytes(file));
}

TEST_F(BackupRestoreTest, RestoreWithoutAKeyboardExitsThreeAndChangesNothing) {
    const auto file = WriteConfig("in.tvx", KeyboardRepresentableConfig());
    const CliResult r = Sim({"restore", file.string()}, {{"TALVENIX_SIM_UNPLUGGED", "1"}});
    EXPECT_EQ(r.exitCode, 3);
    // The state file keeps the factory memory: no macro image was written.
    const auto state = State();
    ASSERT_EQ(state.size(), kStateSize);
    EXPECT_NE(state[kStateMacros], 0xAA);
}

}  // namespace
}  // namespace talvenix::test
