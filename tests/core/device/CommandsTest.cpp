// The command set: framing, chunking, addressing and result codes of each command.
#include <gtest/gtest.h>

#include <atomic>

#include "core/device/Commands.h"
#include "core/device/DeviceLink.h"
#include "tests/core/device/FakeService.h"

namespace talvenix::device {
namespace {

using test::FakeService;

class CommandsTest : public ::testing::Test {
protected:
    CommandsTest() : link_(fake_.Link(), Timing()) { link_.RegisterStandingReads(); }
    static TransportTiming Timing() {
        TransportTiming t;
        t.attemptWait = std::chrono::milliseconds(60);
        t.retryPause = std::chrono::milliseconds(1);
        t.endUpdatePause = std::chrono::milliseconds(0);
        return t;
    }
    ReportTransport& T() { return link_.Transport(); }

    FakeService fake_;
    DeviceLink link_;
};

TEST_F(CommandsTest, KeyBlockIndexAboveTwoIsRefusedBeforeSending) {
    KeyBlock block{};
    EXPECT_EQ(ReadKeyBlock(T(), block, 3), -201);
    EXPECT_EQ(WriteKeyBlock(T(), block, 3), -201);
    EXPECT_TRUE(fake_.Frames().empty());
}

TEST_F(CommandsTest, KeyBlockGoesInSevenAscendingChunks) {
    KeyBlock block;
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_EQ(WriteKeyBlock(T(), block, 2), 1);
    const auto frames = fake_.Frames();
    ASSERT_EQ(frames.size(), 7u);
    for (std::size_t k = 0; k < 7; ++k) {
        EXPECT_EQ(frames[k][kOffCommand], 8);
        EXPECT_EQ(frames[k][kOffLength], k < 6 ? 56 : 42);
        EXPECT_EQ(FrameAddress(frames[k]), 2 * 378 + k * 56);
        EXPECT_EQ(frames[k][kPayloadOffset], block[k * 56]);
        EXPECT_EQ(FrameChecksum(frames[k]), frames[k][1] | (frames[k][2] << 8));
    }
}

TEST_F(CommandsTest, ReadsCopyChunksFromReplyOffsetEight) {
    fake_.SetResponder([](const DeviceReport& r) {
        auto reply = FakeService::Echo(r);
        for (std::size_t i = 0; i < r[kOffLength]; ++i)
            reply[kPayloadOffset + i] = static_cast<std::uint8_t>(FrameAddress(r) + i);
        return std::optional(reply);
    });
    KeyBlock block{};
    ASSERT_EQ(ReadKeyBlock(T(), block, 1), 1);
    for (std::size_t i = 0; i < block.size(); ++i)
        EXPECT_EQ(block[i], static_cast<std::uint8_t>(378 + i)) << i;

    ConfigBlock config;
    ASSERT_EQ(ReadConfigBlock(T(), config), 1);
    EXPECT_EQ(config.bytes[10], 10);
    EXPECT_EQ(config.bytes[43], 43);
}

TEST_F(CommandsTest, MacroMemoryChunking) {
    std::vector<std::uint8_t> buffer(57);
    ASSERT_EQ(ReadMacroMemory(T(), std::span(buffer).first(16)), 1);
    ASSERT_EQ(ReadMacroMemory(T(), buffer), 1);
    ASSERT_EQ(WriteMacroMemory(T(), std::span<const std::uint8_t>()), 1);
    const auto frames = fake_.Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0][kOffLength], 16);
    EXPECT_EQ(FrameAddress(frames[0]), 0);
    EXPECT_EQ(frames[1][kOffLength], 56);
    EXPECT_EQ(FrameAddress(frames[1]), 0);
    EXPECT_EQ(frames[2][kOffLength], 1);
    EXPECT_EQ(FrameAddress(frames[2]), 56);
}

TEST_F(CommandsTest, KeyColourAddressing) {
    const std::uint8_t rgb[3] = {1, 2, 3};
    ASSERT_EQ(WriteKeyColours(T(), rgb, 100, 2), 1);
    const auto f = fake_.Frames().at(0);
    EXPECT_EQ(f[kOffCommand], 17);
    EXPECT_EQ(f[kOffLength], 3);
    EXPECT_EQ(f[5], 0x2C);
    EXPECT_EQ(f[6], 0x05);
    EXPECT_EQ(f[8], 1);
    EXPECT_EQ(f[10], 3);
}

TEST_F(CommandsTest, RangeErrorOnFourthChunkStopsTheWrite) {
    fake_.SetResponder([](const DeviceReport& r) {
        return std::optional(FakeService::Echo(r, FrameAddress(r) == 168 ? 0xFE : 0x00));
    });
    KeyBlock block{};
    EXPECT_EQ(WriteKeyBlock(T(), block, 0), -103);
    const auto frames = fake_.Frames();
    // Chunks 0, 56, 112 landed; the fourth was tried three times; nothing after it.
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(FrameAddress(frames[2]), 112);
    for (std::size_t i = 3; i < 6; ++i) EXPECT_EQ(FrameAddress(frames[i]), 168);
}

TEST_F(CommandsTest, FailedReadLeavesDestinationUntouched) {
    fake_.SetResponder([](const DeviceReport& r) { return std::optional(FakeService::Echo(r, 0xFF)); });
    ConfigBlock config;
    config.bytes.fill(0x77);
    EXPECT_EQ(ReadConfigBlock(T(), config), -102);
    EXPECT_EQ(config.bytes[10], 0x77);
}

TEST_F(CommandsTest, BootFrameCarriesNoChecksumAndWaitsForNothing) {
    fake_.SetDeviceCount(0);  // sent even when the count says nobody is there
    fake_.SetResponder([](const DeviceReport&) { return std::nullopt; });
    EXPECT_EQ(EnterBootMode(T()), 1);
    const auto frames = fake_.Frames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0][0], 0x04);
    EXPECT_EQ(frames[0][1], 0);
    EXPECT_EQ(frames[0][2], 0);
    EXPECT_EQ(frames[0][3], 0xEE);
    EXPECT_EQ(frames[0][4], 0xEE);
    for (std::size_t i = 5; i < 64; ++i) EXPECT_EQ(frames[0][i], 0);
}

TEST_F(CommandsTest, WriteSequenceSendsEndEvenWhenTheBodyFails) {
    std::atomic<bool> failData = true;
    fake_.SetResponder([&](const DeviceReport& r) {
        return std::optional(FakeService::Echo(r, (r[kOffCommand] == 6 && failData) ? 0xFE : 0));
    });
    const std::uint8_t value[1] = {3};
    const int r = RunWriteSequence(T(), [&] { return WriteLighting(T(), value, 42 + 1); });
    EXPECT_EQ(r, -103);
    const auto frames = fake_.Frames();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front()[kOffCommand], 1);
    EXPECT_EQ(frames.back()[kOffCommand], 2);

    failData = false;
    EXPECT_EQ(RunWriteSequence(T(), [&] { return WriteLighting(T(), value, 43); }), 1);
}

}  // namespace
}  // namespace talvenix::device
