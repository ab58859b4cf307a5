// The program's own transport and command set against the simulated keyboard: whole write
// sequences land in its memory, and its faults come out as the program's result codes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "core/device/Commands.h"
#include "core/device/DeviceLink.h"
#include "tests/service/SimHarness.h"
#include "tests/support/SimKeyboard.h"

namespace talvenix::service::test {
namespace {

namespace dev = talvenix::device;

class SimWithTransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TALVENIX_SIM_SOCKET", "none", 1);
        ::unsetenv("TALVENIX_SIM_STATE");
        ::unsetenv("TALVENIX_SIM_UNPLUGGED");
        ::setenv("TALVENIX_SIM_LATENCY_US", "0", 1);
        dev::TransportTiming timing;
        timing.attemptWait = std::chrono::milliseconds(300);
        timing.retryPause = std::chrono::milliseconds(1);
        timing.busyBackoff = std::chrono::milliseconds(20);
        timing.endUpdatePause = std::chrono::milliseconds(0);
        link_ = std::make_unique<dev::DeviceLink>(talvenix::test::SimulatorLink(), timing);
        ASSERT_TRUE(link_->Ready());
        link_->RegisterStandingReads();
        PelloranSimClearFrames();
    }
    void TearDown() override { link_.reset(); }
    dev::ReportTransport& T() { return link_->Transport(); }

    std::unique_ptr<dev::DeviceLink> link_;
};

TEST_F(SimWithTransportTest, AFullWriteSequenceLeavesExactlyWhatWasWritten) {
    std::vector<std::uint8_t> macros(1000);
    for (std::size_t i = 0; i < macros.size(); ++i) macros[i] = static_cast<std::uint8_t>(i * 31 + 7);
    dev::KeyBlock block{};
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i ^ 0x5A);
    std::vector<std::uint8_t> colours(54);
    for (std::size_t i = 0; i < colours.size(); ++i) colours[i] = static_cast<std::uint8_t>(200 - i);

    const int result = dev::RunWriteSequence(T(), [&] {
        int r = dev::WriteMacroMemory(T(), macros);
        if (r == 1) r = dev::WriteKeyBlock(T(), block, 2);
        if (r == 1) r = dev::WriteKeyColours(T(), colours, 18, 1);
        return r;
    });
    ASSERT_EQ(result, 1);
    EXPECT_EQ(Memory(PELLORAN_SIM_MACROS, 0, 1000), macros);
    EXPECT_EQ(Memory(PELLORAN_SIM_KEYBLOCKS, 756, 378),
              std::vector<std::uint8_t>(block.begin(), block.end()));
    EXPECT_EQ(Memory(PELLORAN_SIM_COLOURS, 512 + 54, 54), colours);
    // Untouched neighbours stay factory.
    EXPECT_EQ(Memory(PELLORAN_SIM_KEYBLOCKS, 0, 378), Memory(PELLORAN_SIM_LAYOUT, 0, 378));

    // And the program reads back what it wrote.
    dev::KeyBlock back{};
    ASSERT_EQ(dev::ReadKeyBlock(T(), back, 2), 1);
    EXPECT_EQ(back, block);
    std::vector<std::uint8_t> macrosBack(1000);
    ASSERT_EQ(dev::ReadMacroMemory(T(), macrosBack), 1);
    EXPECT_EQ(macrosBack, macros);
    dev::ConfigBlock config;
    ASSERT_EQ(dev::ReadConfigBlock(T(), config), 1);
    EXPECT_EQ(config.MacroSpace(), 16384);
    dev::KeyBlock layout{};
    ASSERT_EQ(dev::ReadDefaultLayout(T(), layout), 1);
    EXPECT_EQ(std::vector<std::uint8_t>(layout.begin(), layout.end()), Memory(PELLORAN_SIM_LAYOUT, 0, 378));
}

TEST_F(SimWithTransportTest, LightingOfEveryProfileReadsBack) {
    for (int p = 0; p < 3; ++p) {
        std::array<std::uint8_t, 56> window{};
        ASSERT_EQ(dev::ReadLighting(T(), window, 56, static_cast<std::uint16_t>(p * 42)), 1)
            << "profile " << p;
        EXPECT_EQ(std::vector<std::uint8_t>(window.begin(), window.begin() + 42),
                  Memory(PELLORAN_SIM_LIGHTING, static_cast<std::uint32_t>(p * 42), 42));
    }
}

TEST_F(SimWithTransportTest, FaultsBecomeTheProgramsResultCodes) {
    ASSERT_EQ(Control("fault drop"), 0);
    EXPECT_EQ(dev::BeginUpdate(T()), 1);  // the retry gets through
    ASSERT_EQ(Control("fault status-fe 3"), 0);
    EXPECT_EQ(dev::BeginUpdate(T()), -103);
    ASSERT_EQ(Control("fault status-ff 3"), 0);
    EXPECT_EQ(dev::EndUpdate(T()), -102);
    ASSERT_EQ(Control("fault wrong-echo 3"), 0);
    EXPECT_EQ(dev::BeginUpdate(T()), -2);
    ASSERT_EQ(Control("fault refuse-write"), 0);
    EXPECT_EQ(dev::BeginUpdate(T()), -1);
    ASSERT_EQ(Control("unplug"), 0);
    EXPECT_EQ(dev::BeginUpdate(T()), 0);
}

TEST_F(SimWithTransportTest, ActiveProfileWriteStandsAlone) {
    dev::ConfigBlock config;
    ASSERT_EQ(dev::ReadConfigBlock(T(), config), 1);
    config.SetCurrentProfile(1);
    ASSERT_EQ(dev::WriteConfigBlock(T(), config), 1);
    EXPECT_EQ(Memory(PELLORAN_SIM_CONFIG, 10, 1)[0], 1);
    EXPECT_EQ(Memory(PELLORAN_SIM_CONFIG, 11, 1)[0], 128);
}

// A reply that comes after its wait ran out, then a refusal of a later chunk while that late
// reply lands: the refusal is reported and the refused chunk is not claimed as written.
TEST_F(SimWithTransportTest, LateReplyThenRefusalIsNeverASuccess) {
    ASSERT_EQ(Control("late-delay 450"), 0);
    ASSERT_EQ(Control("fault late"), 0);
    std::vector<std::uint8_t> chunk(56, 0xA5);
    EXPECT_EQ(dev::SendCommand(T(), dev::kCmdWriteMacros, 56, 0, chunk), 1);  // the retry gets through

    // The next chunk's replies take 200 ms, so the late reply (at 450 ms) lands while it waits.
    ASSERT_EQ(Control("latency 200000"), 0);
    ASSERT_EQ(Control("fault status-fe 3"), 0);
    EXPECT_EQ(dev::SendCommand(T(), dev::kCmdWriteMacros, 56, 56, chunk), -103);
    EXPECT_EQ(Memory(PELLORAN_SIM_MACROS, 56, 56), std::vector<std::uint8_t>(56, 0));
    EXPECT_EQ(Memory(PELLORAN_SIM_MACROS, 0, 56), chunk);
    EXPECT_GE(T().Stats().staleDiscarded, 1u);
}

}  // namespace
}  // namespace talvenix::service::test
