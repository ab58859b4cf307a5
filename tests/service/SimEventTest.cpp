// Events the simulated keyboard raises on demand: plug and unplug, boot mode, consumer usages.
#include <gtest/gtest.h>

#include "tests/service/SimHarness.h"

namespace talvenix::service::test {
namespace {

class SimEventTest : public SimTest {
protected:
    static bool IsDeviceChange(const Captured& c, std::uint32_t tag, std::uint32_t count) {
        return c.kind == SERVICE_NOTIFY_DEVICE_CHANGE && c.tag == tag && c.count == count;
    }
    std::optional<Captured> WaitUsage(std::uint16_t usage) {
        return WaitForCaptured([usage](const Captured& c) {
            return c.kind == SERVICE_NOTIFY_DATA && c.tag == TALVENIX_TAG_CONS && c.usage == usage;
        });
    }
};

TEST_F(SimEventTest, UnplugAndPlugReachTheControlRead) {
    ASSERT_EQ(Control("unplug"), 0);
    const auto gone =
        WaitForCaptured([](const Captured& c) { return IsDeviceChange(c, TALVENIX_TAG_CTRL, 0); });
    ASSERT_TRUE(gone.has_value());
    EXPECT_NE(gone->thread, std::this_thread::get_id());
    EXPECT_EQ(DeviceCount(), 0);
    EXPECT_EQ(WriteFrame(MakeFrame(1, 0, 0)), 0);  // nothing to write to
    EXPECT_EQ(PelloranSimFrameCount(), 0u);

    ASSERT_EQ(Control("plug"), 0);
    ASSERT_TRUE(WaitForCaptured([](const Captured& c) { return IsDeviceChange(c, TALVENIX_TAG_CTRL, 1); }));
    EXPECT_EQ(DeviceCount(), 1);
    EXPECT_TRUE(Exchange(MakeFrame(1, 0, 0)).has_value());
}

TEST_F(SimEventTest, RepeatedPlugSendsNoSecondNotification) {
    ASSERT_EQ(Control("plug"), 0);
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(CapturedSoFar().empty());
}

TEST_F(SimEventTest, StartsUnpluggedWhenAsked) {
    End();
    ::setenv("TALVENIX_SIM_UNPLUGGED", "1", 1);
    ASSERT_EQ(Init(0), 1);
    ::unsetenv("TALVENIX_SIM_UNPLUGGED");
    EXPECT_EQ(DeviceCount(), 0);
    std::string status;
    ASSERT_EQ(Control("status", &status), 0);
    EXPECT_EQ(status.rfind("ok plugged=0 ", 0), 0u) << status;
}

TEST_F(SimEventTest, BootModeFrameGetsNoReplyAndTheKeyboardLeaves) {
    Frame boot{};
    boot[0] = 0x04;
    boot[3] = 0xEE;
    boot[4] = 0xEE;  // no frame checksum: bytes 1 and 2 stay 0
    ASSERT_EQ(WriteFrame(boot), 1);
    ASSERT_TRUE(WaitForCaptured([](const Captured& c) { return IsDeviceChange(c, TALVENIX_TAG_CTRL, 0); }));
    EXPECT_EQ(DeviceCount(), 0);
    for (const auto& c : CapturedSoFar())
        EXPECT_NE(c.kind, SERVICE_NOTIFY_DATA) << "a reply to the boot frame";
    ASSERT_EQ(PelloranSimFrameCount(), 1u);

    ASSERT_EQ(Control("plug"), 0);
    EXPECT_EQ(DeviceCount(), 1);
    EXPECT_EQ(Memory(PELLORAN_SIM_CONFIG, 11, 1)[0], 128);  // memory survives the trip
}

TEST_F(SimEventTest, RepliesPendingWhenTheKeyboardLeavesNeverArrive) {
    ASSERT_EQ(Control("latency 300000"), 0);
    ASSERT_EQ(WriteFrame(MakeFrame(1, 0, 0)), 1);
    ASSERT_EQ(Control("unplug"), 0);
    std::this_thread::sleep_for(500ms);
    for (const auto& c : CapturedSoFar()) EXPECT_NE(c.kind, SERVICE_NOTIFY_DATA);
}

TEST_F(SimEventTest, ConsumerUsagesCarryTheUsageRecord) {
    ASSERT_EQ(Control("gbank"), 0);
    const auto g = WaitUsage(0x02FF);
    ASSERT_TRUE(g.has_value());
    EXPECT_EQ(g->bytes.size(), g->count);
    ASSERT_EQ(g->bytes.size(), 3u);
    EXPECT_EQ(g->bytes[1], 0xFF);
    EXPECT_EQ(g->bytes[2], 0x02);

    ASSERT_EQ(Control("icon on"), 0);
    EXPECT_TRUE(WaitUsage(0x1811));
    ASSERT_EQ(Control("icon off"), 0);
    EXPECT_TRUE(WaitUsage(0x1810));
    ASSERT_EQ(Control("usage 0x00e9"), 0);
    EXPECT_TRUE(WaitUsage(0x00E9));
    // Usages go to the consumer read only.
    for (const auto& c : CapturedSoFar()) EXPECT_EQ(c.tag, TALVENIX_TAG_CONS);
}

TEST_F(SimEventTest, ProfileSwitchedOnTheKeyboardChangesByte10ThenAnnouncesIt) {
    std::string reply;
    ASSERT_EQ(Control("switch-profile 2", &reply), 0) << reply;
    ASSERT_TRUE(WaitUsage(0x0401));
    EXPECT_EQ(Memory(PELLORAN_SIM_CONFIG, 10, 1)[0], 2);
    const auto config = Exchange(MakeFrame(3, 44, 0));
    ASSERT_TRUE(config.has_value());
    EXPECT_EQ((*config)[8 + 10], 2);
}

TEST_F(SimEventTest, EventsNeedAnAttachedKeyboard) {
    ASSERT_EQ(Control("unplug"), 0);
    std::string reply;
    EXPECT_LT(Control("gbank", &reply), 0);
    EXPECT_EQ(reply.rfind("error: ", 0), 0u);
    EXPECT_LT(Control("switch-profile 1"), 0);
    EXPECT_EQ(Memory(PELLORAN_SIM_CONFIG, 10, 1)[0], 0);
}

TEST_F(SimEventTest, MalformedCommandsAreRefusedWithAReason) {
    for (const char* bad : {"",
                            "fly",
                            "switch-profile",
                            "switch-profile 3",
                            "switch-profile -1",
                            "switch-profile x",
                            "usage",
                            "usage 0x10000",
                            "usage zz",
                            "icon",
                            "icon maybe",
                            "latency -1",
                            "latency 10000001",
                            "latency abc",
                            "fault",
                            "fault melt",
                            "fault drop 0",
                            "fault drop 2 3",
                            "plug now",
                            "status please"}) {
        std::string reply;
        EXPECT_LT(Control(bad, &reply), 0) << bad;
        EXPECT_EQ(reply.rfind("error: ", 0), 0u) << bad << " -> " << reply;
    }
    char tiny[6] = {};
    EXPECT_EQ(PelloranSimControl("status", tiny, sizeof tiny), 0);
    EXPECT_STREQ(tiny, "ok pl");  // cut to fit, still terminated
    EXPECT_LT(PelloranSimControl(nullptr, tiny, sizeof tiny), 0);
}

}  // namespace
}  // namespace talvenix::service::test
