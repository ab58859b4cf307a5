// lighting set / reset through the binary: exactly the record bytes reach the keyboard's memory.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/lighting/LightingRecord.h"
#include "tests/cli/CliRunner.h"

namespace talvenix::test {
namespace {

class LightingCommandTest : public CliTest {
protected:
    void SetUp() override { ASSERT_EQ(Sim({"info"}).exitCode, 0); }  // creates the state file
    std::vector<std::uint8_t> Records() const {
        const auto s = State();
        return {s.begin() + kStateLighting, s.begin() + kStateLighting + 126};
    }
};

TEST_F(LightingCommandTest, SetWritesTheFieldsOfTheChosenProfileOnly) {
    auto expected = Records();
    const CliResult r =
        Sim({"lighting", "set",     "--profile", "2",           "--effect",      "7",        "--brightness",
             "2",        "--speed", "1",         "--direction", "first",         "--colour", "123456",
             "--random", "on",      "--preset",  "3",           "--report-rate", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::uint8_t* rec = expected.data() + 84;
    rec[0] = 7;
    rec[1] = 2;
    rec[2] = 4;  // slider 1 is stored as 5 - 1
    rec[3] = 0xFF;
    rec[5] = 0x12;
    rec[6] = 0x34;
    rec[7] = 0x56;
    rec[4] = 1;  // the colour turned random off, --random on turned it back on
    rec[17] = 3;
    rec[15] = 1;
    EXPECT_EQ(Records(), expected);
}

TEST_F(LightingCommandTest, ColourAloneTurnsRandomOff) {
    auto expected = Records();
    ASSERT_EQ(Sim({"lighting", "set", "--profile", "0", "--colour", "#00ff80"}).exitCode, 0);
    expected[4] = 0;
    expected[5] = 0x00;
    expected[6] = 0xFF;
    expected[7] = 0x80;
    EXPECT_EQ(Records(), expected);
}

TEST_F(LightingCommandTest, DefaultProfileIsTheKeyboardsCurrentOne) {
    ASSERT_EQ(Sim({"profile", "1"}).exitCode, 0);
    auto expected = Records();
    ASSERT_EQ(Sim({"lighting", "set", "--brightness", "0"}).exitCode, 0);
    expected[42 + 1] = 0;
    EXPECT_EQ(Records(), expected);
}

TEST_F(LightingCommandTest, ResetWritesTheResetImageAndKeepsTheRest) {
    ASSERT_EQ(Sim({"lighting", "set", "--profile", "1", "--effect", "12", "--report-rate", "0"}).exitCode, 0);
    auto expected = Records();
    // Mark bytes past the reset image so it shows that they stay.
    auto state = State();
    state[kStateLighting + 42 + 40] = 0x5A;
    WriteBytes(StateFile(), state);
    expected[42 + 40] = 0x5A;
    ASSERT_EQ(Sim({"lighting", "reset", "--profile", "1"}).exitCode, 0);
    std::copy(lighting::kLightingResetImage.begin(), lighting::kLightingResetImage.end(),
              expected.begin() + 42);
    EXPECT_EQ(Records(), expected);
}

TEST_F(LightingCommandTest, RefusedValuesChangeNothing) {
    const auto before = Records();
    EXPECT_EQ(Sim({"lighting", "set", "--effect", "19"}).exitCode, 1);                        // not offered
    EXPECT_EQ(Sim({"lighting", "set", "--brightness", "6"}).exitCode, 1);                     // out of range
    EXPECT_EQ(Sim({"lighting", "set", "--colour", "12345G"}).exitCode, 1);                    // not a colour
    EXPECT_EQ(Sim({"lighting", "set", "--brightness", "1", "--colour", "xyz"}).exitCode, 1);  // checked first
    EXPECT_EQ(Sim({"lighting", "set", "--direction", "up"}).exitCode, 1);
    EXPECT_EQ(Sim({"lighting", "set"}).exitCode, 2);  // nothing to change
    EXPECT_EQ(Records(), before);
}

TEST_F(LightingCommandTest, ShowPrintsTheRecord) {
    ASSERT_EQ(Sim({"lighting", "set", "--profile", "0", "--colour", "A1B2C3", "--speed", "5"}).exitCode, 0);
    const CliResult r = Sim({"lighting", "show", "--profile", "0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("colour: A1B2C3  random: off"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("speed: 5 (stored as 0)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("effect: 1 "), std::string::npos) << r.out;
}

}  // namespace
}  // namespace talvenix::test
