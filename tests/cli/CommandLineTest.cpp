// The command line contract: exit codes, one-line errors, help, and the file commands run
// through the binary (validate, show, to-json / from-json).
#include <gtest/gtest.h>

#include <sstream>

#include "cli/CliApp.h"
#include "core/profiles/ProfileFile.h"
#include "tests/cli/CliRunner.h"

namespace talvenix::test {
namespace {

class CommandLineTest : public CliTest {
protected:
    std::filesystem::path WriteRich(const std::string& name) {
        macros::Configuration c = RichConfig();
        const auto path = File(name);
        WriteBytes(path, profiles::SerializeProfileFile(c));
        return path;
    }
};

TEST_F(CommandLineTest, InfoWithoutAKeyboardExitsThree) {
    const CliResult r = Sim({"info"}, {{"TALVENIX_SIM_UNPLUGGED", "1"}});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.out.find("not attached"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "talvenix-cli: no keyboard attached\n");
}

TEST_F(CommandLineTest, InfoDescribesTheKeyboard) {
    const CliResult r = Sim({"info"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("current profile: 0"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("macro space: 16384 bytes"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  20  "), std::string::npos) << r.out;  // effect 20 is offered
    EXPECT_EQ(r.out.find("  19  "), std::string::npos) << r.out;  // 19 is not
}

TEST_F(CommandLineTest, NamesListsWhatTheJsonFormAccepts) {
    const CliResult r = Run({"names"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("  CAPS              0x03A"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  volume-up"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  select-all"), std::string::npos) << r.out;
}

TEST_F(CommandLineTest, ProfileReadsAndSets) {
    EXPECT_EQ(Sim({"profile"}).out, "0\n");
    EXPECT_EQ(Sim({"profile", "2"}).exitCode, 0);
    EXPECT_EQ(Sim({"profile"}).out, "2\n");
    EXPECT_EQ(State()[8 + 10], 2);  // ConfigBlock byte 10
    const CliResult bad = Sim({"profile", "3"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(Sim({"profile"}).out, "2\n");
}

TEST_F(CommandLineTest, UsageErrorsExitTwoWithOneLine) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"frobnicate"}, {"validate"}, {"lighting"}, {"info", "--bogus"}, {"--lang", "fr", "info"}}) {
        const CliResult r = Run(args);
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}

TEST_F(CommandLineTest, AMistypedCommandOfAGroupIsNamed) {
    for (const auto& [args, named] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"lighting", "bogus"}, "'lighting bogus'"},
             {{"--lang", "en", "colours", "shwo"}, "'colours shwo'"},
             {{"sim", "unplugg"}, "'sim unplugg'"}}) {
        const CliResult r = Run(args);
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_NE(r.err.find("unknown command " + named), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}

TEST_F(CommandLineTest, AnEmptyFileNameIsRefusedPlainly) {
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"validate", ""}, {"show", ""}, {"to-json", ""}}) {
        const CliResult r = Run(args);
        EXPECT_EQ(r.exitCode, 1) << args.front();
        EXPECT_EQ(r.err, "talvenix-cli: a file name is needed\n") << args.front();
    }
    const CliResult backup = Sim({"backup", ""});
    EXPECT_EQ(backup.exitCode, 1);
    EXPECT_EQ(backup.err, "talvenix-cli: an output file name is needed\n");
}

// The simulator sets an unreadable state file aside by renaming it: a folder named there must
// be refused before it is touched.
TEST_F(CommandLineTest, ASimulatorStateThatIsNoFileIsRefusedAndLeftAlone) {
    const auto folder = File("keep-me");
    std::filesystem::create_directories(folder);
    WriteBytes(folder / "inside", {1, 2, 3});
    const CliResult r = RunCliBinary({"--simulate", "info"}, {{"TALVENIX_SIM_STATE", folder.string()}});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("is not a regular file"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(ReadBytes(folder / "inside"), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_FALSE(std::filesystem::exists(folder.string() + ".bad"));

    const auto lost = File("no-such-folder") / "sim.state";
    const CliResult missing = RunCliBinary({"--simulate", "info"}, {{"TALVENIX_SIM_STATE", lost.string()}});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("no such folder"), std::string::npos) << missing.err;
}

TEST_F(CommandLineTest, EveryCommandHasHelp) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--help"},
                                                                  {"info", "--help"},
                                                                  {"backup", "--help"},
                                                                  {"restore", "--help"},
                                                                  {"validate", "--help"},
                                                                  {"show", "--help"},
                                                                  {"to-json", "--help"},
                                                                  {"from-json", "--help"},
                                                                  {"profile", "--help"},
                                                                  {"lighting", "set", "--help"},
                                                                  {"colours", "paint", "--help"},
                                                                  {"sim", "fault", "--help"}}) {
        const CliResult r = Run(args);
        EXPECT_EQ(r.exitCode, 0) << args.front();
        EXPECT_NE(r.out.find("Usage:"), std::string::npos) << args.front();
    }
}

TEST_F(CommandLineTest, ValidateNamesTheWrongField) {
    const auto good = WriteRich("good.tvx");
    EXPECT_EQ(Run({"validate", good.string()}).exitCode, 0);

    auto bytes = ReadBytes(good);
    bytes[30] = 2;  // flag
    std::uint8_t sum = 0;
    for (int i = 0; i < 31; ++i) sum = static_cast<std::uint8_t>(sum + bytes[static_cast<std::size_t>(i)]);
    bytes[31] = sum;
    WriteBytes(File("flag.tvx"), bytes);
    const CliResult r = Run({"validate", File("flag.tvx").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("header flag is 2"), std::string::npos) << r.err;

    const CliResult missing = Run({"validate", File("nothing.tvx").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("no such file"), std::string::npos) << missing.err;
}

TEST_F(CommandLineTest, JsonRoundTripThroughTheBinaryIsByteIdentical) {
    const auto file = WriteRich("rich.tvx");
    const CliResult json = Run({"to-json", file.string()});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    WriteBytes(File("rich.json"), std::vector<std::uint8_t>(json.out.begin(), json.out.end()));
    const CliResult back = Run({"from-json", File("rich.json").string(), File("back.tvx").string()});
    ASSERT_EQ(back.exitCode, 0) << back.err;
    EXPECT_EQ(ReadBytes(File("back.tvx")), ReadBytes(file));
}

TEST_F(CommandLineTest, DamagedContentsBehindAValidHeaderAreConvertedWithANote) {
    auto bytes = ReadBytes(WriteRich("rich.tvx"));
    const std::size_t f5Value = 64 + 0x3F * 16 + 4;  // profile 0, F5: a launch-program key
    bytes[f5Value + 2] = 0x7F;                       // its string offset now lies far outside
    WriteBytes(File("damaged.tvx"), bytes);
    const CliResult r = Run({"to-json", File("damaged.tvx").string()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.err.find("outside the string block"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("\"F5\": {\"kind\": \"launch\", \"value\": 8323072}"), std::string::npos) << r.out;

    // validate and show accept the file too (the import does), but do not hide the damage.
    for (const char* command : {"validate", "show"}) {
        const CliResult other = Run({command, File("damaged.tvx").string()});
        EXPECT_EQ(other.exitCode, 0) << command;
        EXPECT_NE(other.err.find("outside the string block"), std::string::npos)
            << command << ": " << other.err;
        EXPECT_EQ(std::count(other.err.begin(), other.err.end(), '\n'), 1) << other.err;
    }
}

TEST_F(CommandLineTest, RawInputBytesInAnErrorAreMadeSafe) {
    const std::string bad =
        "{\"format\":\"talvenix-profile\",\"version\":1,\"macros\":[{\"name\":\"\xff\x1b[2J\"}]}";
    WriteBytes(File("bad.json"), std::vector<std::uint8_t>(bad.begin(), bad.end()));
    const CliResult r = Run({"from-json", File("bad.json").string(), File("out.tvx").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("not valid JSON"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\xff'), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_FALSE(std::filesystem::exists(File("out.tvx")));
}

TEST_F(CommandLineTest, OutputThatCannotBeWrittenIsAFailure) {
    const std::string file = WriteRich("rich.tvx").string();
    const char* argv[] = {"talvenix-cli", "to-json", file.c_str()};
    std::ostringstream out;
    std::ostringstream err;
    out.setstate(std::ios::badbit);  // as std::cout is on a full disk
    EXPECT_EQ(cli::RunCli(3, argv, out, err), 1);
    EXPECT_EQ(err.str(), "talvenix-cli: the output could not be written\n");
}

TEST_F(CommandLineTest, RefusedJsonWritesNothing) {
    const std::string bad = R"({"format":"talvenix-profile","version":1,
        "profiles":[{"keys":{"A":{"kind":"key","target":"NOPE"}}}]})";
    WriteBytes(File("bad.json"), std::vector<std::uint8_t>(bad.begin(), bad.end()));
    WriteBytes(File("out.tvx"), {9, 9, 9});
    const CliResult r = Run({"from-json", File("bad.json").string(), File("out.tvx").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("profiles[0].keys.A.target: unknown key 'NOPE'"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(File("out.tvx")), (std::vector<std::uint8_t>{9, 9, 9}));
}

TEST_F(CommandLineTest, ShowListsKeysGKeysMacrosAndStrings) {
    const CliResult r = Run({"--lang", "en", "show", WriteRich("rich.tvx").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Profile 2"), std::string::npos);
    EXPECT_NE(r.out.find("\"/usr/bin/xterm -e top\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Grüße, 世界\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("G3"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Second macro (id 2)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Macros: 4"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("40000 ms"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\u2191"), std::string::npos) << r.out;
}

TEST_F(CommandLineTest, ShowGivesValuesThatNoNameStandsFor) {
    const std::string json = R"({"format":"talvenix-profile","version":1,"profiles":[{"keys":{
        "F1":{"kind":"media","value":99},"F2":{"kind":"function","value":20},"F4":{"kind":12,"value":3}}}]})";
    WriteBytes(File("odd.json"), std::vector<std::uint8_t>(json.begin(), json.end()));
    ASSERT_EQ(Run({"from-json", File("odd.json").string(), File("odd.tvx").string()}).exitCode, 0);
    const CliResult r = Run({"--lang", "en", "show", File("odd.tvx").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("media      value 99\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("function   value 20\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("kind 12    value 3\n"), std::string::npos) << r.out;
}

TEST_F(CommandLineTest, NamesComeFromTheLanguageFileBesideTheProgram) {
    const auto program = File("program");
    std::filesystem::create_directories(program / "Skins");
    const std::string ini =
        "[CHINESE]\nKEYBOARD_A=\xE7\x94\xB2\nKEYBOARD_B=\xE4\xB9\x99\n"
        "[ENGINSH]\nKEYBOARD_A=Key A\nKEYBOARD_B=Key B\n";
    WriteBytes(program / "Skins" / "language.ini", std::vector<std::uint8_t>(ini.begin(), ini.end()));
    const auto file = WriteRich("rich.tvx");
    const std::map<std::string, std::string> env{{"TALVENIX_PROGRAM_DIR", program.string()}};

    const CliResult zh = RunCliBinary({"--lang", "zh", "show", file.string()}, env);
    ASSERT_EQ(zh.exitCode, 0) << zh.err;
    EXPECT_NE(zh.out.find("\xE7\x94\xB2"), std::string::npos) << zh.out;  // A acts as B: both named
    EXPECT_NE(zh.out.find("\xE4\xB9\x99"), std::string::npos) << zh.out;
    const CliResult en = RunCliBinary({"--lang", "en", "show", file.string()}, env);
    EXPECT_NE(en.out.find("Key A"), std::string::npos) << en.out;
    // Keys the file leaves out keep a readable name rather than the blank a missing text reads as.
    EXPECT_NE(en.out.find("    F5                launch"), std::string::npos) << en.out;
    // The JSON form never depends on the language.
    EXPECT_EQ(RunCliBinary({"--lang", "zh", "to-json", file.string()}, env).out,
              Run({"to-json", file.string()}).out);
}

TEST_F(CommandLineTest, MissingServiceLibraryExitsFourNamingIt) {
    const auto empty = File("empty-program");
    std::filesystem::create_directories(empty);
    const CliResult r = RunCliBinary({"--simulate", "info"}, {{"TALVENIX_PROGRAM_DIR", empty.string()}});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_NE(r.err.find("libPelloranSim.so"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    // File commands never need it.
    EXPECT_EQ(
        RunCliBinary({"validate", WriteRich("x.tvx").string()}, {{"TALVENIX_PROGRAM_DIR", empty.string()}})
            .exitCode,
        0);
}

TEST_F(CommandLineTest, SimCommandsWithoutARunningSimulatorExitThree) {
    const CliResult r = Run({"sim", "plug"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

}  // namespace
}  // namespace talvenix::test
