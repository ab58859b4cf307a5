// The active-profile cache, the presence worker's reads and the keyboard side of switching,
// against the simulated keyboard.
#include <gtest/gtest.h>

#include "core/device/Commands.h"
#include "core/profiles/KeyboardState.h"
#include "tests/support/SimKeyboard.h"

using namespace talvenix;
using namespace talvenix::profiles;

namespace {
class Keyboard : public ::testing::Test {
protected:
    std::uint8_t ProfileByte() { return sim.Memory(PELLORAN_SIM_CONFIG, 10, 1)[0]; }
    test::SimKeyboard sim;
    KeyboardState state;
};
}  // namespace

TEST_F(Keyboard, ArrivalReadsLayoutAndMacroSpace) {
    EXPECT_EQ(state.MacroSpace(), 0);
    EXPECT_FALSE(state.DefaultLayout());
    const auto reads = state.OnKeyboardArrived(sim.Transport());
    EXPECT_TRUE(reads.LayoutOk());
    EXPECT_EQ(reads.configResult, 1);
    EXPECT_EQ(state.MacroSpace(), 128 * sim.Memory(PELLORAN_SIM_CONFIG, 11, 1)[0]);
    EXPECT_EQ(state.MacroSpace(), 16384);
    const auto layout = sim.Memory(PELLORAN_SIM_LAYOUT, 0, 378);
    ASSERT_TRUE(state.DefaultLayout());
    EXPECT_TRUE(std::equal(layout.begin(), layout.end(), state.DefaultLayout()->begin()));
}

TEST_F(Keyboard, LayoutAndSpaceSurviveARemovalAndAFailedRead) {
    state.OnKeyboardArrived(sim.Transport());
    const auto layout = state.DefaultLayout();
    sim.Control("unplug");
    state.OnKeyboardRemoved();
    const auto reads = state.OnKeyboardArrived(sim.Transport());
    EXPECT_FALSE(reads.LayoutOk());
    EXPECT_EQ(state.DefaultLayout(), layout);
    EXPECT_EQ(state.MacroSpace(), 16384);
}

TEST_F(Keyboard, CurrentProfileIsReadOnceThenCached) {
    sim.SetMemory(PELLORAN_SIM_CONFIG, 10, {2});
    EXPECT_EQ(state.GetCurrentProfile(sim.Transport()), 2);
    sim.ClearFrames();
    EXPECT_EQ(state.GetCurrentProfile(sim.Transport()), 2);
    EXPECT_TRUE(sim.Frames().empty());
    state.OnKeyboardRemoved();
    EXPECT_EQ(state.CachedProfile(), -1);
}

TEST_F(Keyboard, UnreadableProfileStaysUnknown) {
    sim.Control("unplug");
    EXPECT_EQ(state.GetCurrentProfile(sim.Transport()), -1);
    EXPECT_EQ(state.CachedProfile(), -1);
    sim.Control("plug");
    EXPECT_EQ(state.GetCurrentProfile(sim.Transport()), 0);
}

TEST_F(Keyboard, SetWritesByteTenAndKeepsTheRestOfTheBlock) {
    const auto before = sim.Memory(PELLORAN_SIM_CONFIG, 0, 44);
    EXPECT_EQ(state.SetCurrentProfile(sim.Transport(), 1), 1);
    auto after = sim.Memory(PELLORAN_SIM_CONFIG, 0, 44);
    EXPECT_EQ(after[10], 1);
    after[10] = before[10];
    EXPECT_EQ(after, before);
    EXPECT_EQ(state.CachedProfile(), 1);
    // The write stands alone: no begin or end around it.
    EXPECT_TRUE(sim.FramesOf(device::kCmdBeginUpdate).empty());
    EXPECT_EQ(sim.FramesOf(device::kCmdWriteConfig).size(), 1u);
}

TEST_F(Keyboard, NegativeProfileSendsNothingAndOutOfRangeIsRefused) {
    EXPECT_EQ(state.SetCurrentProfile(sim.Transport(), -1), 0);
    EXPECT_EQ(state.SetCurrentProfile(sim.Transport(), 3), device::kBadBlockIndex);
    EXPECT_TRUE(sim.Frames().empty());
}

TEST_F(Keyboard, RefusedReadBeforeTheWriteChangesNothing) {
    EXPECT_EQ(state.SetCurrentProfile(sim.Transport(), 1), 1);
    sim.Control("fault status-ff 3");
    EXPECT_EQ(state.SetCurrentProfile(sim.Transport(), 2), device::kStatusChecksum);
    EXPECT_EQ(state.CachedProfile(), 1);
    EXPECT_EQ(ProfileByte(), 1);
    EXPECT_EQ(sim.FramesOf(device::kCmdWriteConfig).size(), 1u);
}

TEST_F(Keyboard, SwitchingLimitsTheProfileAndIgnoresNegativeRequests) {
    SwitchOutcome s = SwitchProfileOnKeyboard(state, sim.Transport(), 5);
    EXPECT_EQ(s.profile, 0);
    EXPECT_TRUE(s.Ok());
    s = SwitchProfileOnKeyboard(state, sim.Transport(), 2);
    EXPECT_EQ(s.profile, 2);
    EXPECT_EQ(ProfileByte(), 2);
    sim.ClearFrames();
    s = SwitchProfileOnKeyboard(state, sim.Transport(), -1);
    EXPECT_EQ(s.profile, -1);
    EXPECT_TRUE(s.Ok());
    EXPECT_TRUE(sim.Frames().empty());
    EXPECT_EQ(ProfileByte(), 2);
}
