// colours through the binary: painting reaches the keyboard's colour bank and the user colour
// file; it is refused (and changes nothing) while another effect than 20 is selected.
#include <gtest/gtest.h>

#include "core/text/IniFile.h"
#include "tests/cli/CliRunner.h"

namespace talvenix::test {
namespace {

class ColourCommandTest : public CliTest {
protected:
    std::vector<std::uint8_t> Bank(int profile) const {
        const auto s = State();
        const auto at =
            s.begin() + static_cast<std::ptrdiff_t>(kStateColours + static_cast<std::size_t>(profile) * 512);
        return {at, at + 378};
    }
    std::filesystem::path ColourFile(int n) const {
        return home_.DocumentsFolder() / "Talvenix" / ("UserDengColor_" + std::to_string(n) + ".userd");
    }
};

TEST_F(ColourCommandTest, PaintIsRefusedUnlessEffectTwentyIsSelected) {
    ASSERT_EQ(Sim({"info"}).exitCode, 0);
    const auto before = State();
    const CliResult r = Sim({"colours", "paint", "A", "00FF00"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("effect (20)"), std::string::npos) << r.err;
    EXPECT_EQ(State(), before);
}

TEST_F(ColourCommandTest, PaintSetsTheKeysSlotAndItsFileEntry) {
    ASSERT_EQ(Sim({"lighting", "set", "--profile", "1", "--effect", "20"}).exitCode, 0);
    const CliResult r = Sim({"colours", "paint", "A", "00FF80", "--profile", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto bank = Bank(1);
    const std::size_t slotA = 64 * 3;  // A sits at row 3, column 1
    EXPECT_EQ(bank[slotA], 0x00);
    EXPECT_EQ(bank[slotA + 1], 0xFF);
    EXPECT_EQ(bank[slotA + 2], 0x80);
    const text::IniFile file(ColourFile(1));
    EXPECT_EQ(file.Get("Mode0", "64", ""), "0,255,128,0");
}

TEST_F(ColourCommandTest, GKeysShareOneLight) {
    ASSERT_EQ(Sim({"lighting", "set", "--profile", "0", "--effect", "20"}).exitCode, 0);
    ASSERT_EQ(Sim({"colours", "paint", "g7", "0000FF", "--profile", "0"}).exitCode, 0);
    const auto bank = Bank(0);
    EXPECT_EQ(bank[125 * 3 + 2], 0xFF);
}

TEST_F(ColourCommandTest, SelectSetStoresItAndUnknownKeysAreRefused) {
    ASSERT_EQ(Sim({"colours", "set", "3", "--profile", "2"}).exitCode, 0);
    EXPECT_EQ(text::IniFile(ColourFile(2)).Get("PRESENTMODE", "mode", ""), "3");
    EXPECT_EQ(Sim({"colours", "set", "10"}).exitCode, 1);
    const CliResult bad = Sim({"colours", "paint", "NOPE", "FF0000"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("'NOPE' is not a key"), std::string::npos) << bad.err;
}

TEST_F(ColourCommandTest, AColourFolderThatCannotBeMadeIsRefusedBeforeTheKeyboardIsTouched) {
    ASSERT_EQ(Sim({"lighting", "set", "--effect", "20"}).exitCode, 0);
    std::filesystem::create_directories(home_.DocumentsFolder());
    WriteBytes(home_.DocumentsFolder() / "Talvenix", {'x'});  // a file where the folder belongs
    const auto before = State();
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"colours", "paint", "A", "00FF00"}, {"colours", "base", "0000FF"}, {"colours", "set", "2"}}) {
        const CliResult r = Sim(args);
        EXPECT_EQ(r.exitCode, 1) << args[1];
        EXPECT_NE(r.err.find("cannot be created"), std::string::npos) << r.err;
        EXPECT_EQ(State(), before) << args[1];
    }
}

}  // namespace
}  // namespace talvenix::test
