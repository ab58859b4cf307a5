// Faults injected on demand, and the reply latency.
#include <gtest/gtest.h>

#include "tests/service/SimHarness.h"

namespace talvenix::service::test {
namespace {

class SimFaultTest : public SimTest {
protected:
    static std::size_t Replies() {
        std::size_t n = 0;
        for (const auto& c : CapturedSoFar())
            n += c.kind == SERVICE_NOTIFY_DATA && c.tag == TALVENIX_TAG_CTRL;
        return n;
    }
    static Frame Write(std::uint8_t value) { return MakeFrame(10, 1, 0, {value}); }
    static std::uint8_t MacroByte0() { return Memory(PELLORAN_SIM_MACROS, 0, 1)[0]; }
};

TEST_F(SimFaultTest, DropLosesTheReplyButTheWriteHappens) {
    ASSERT_EQ(Control("fault drop"), 0);
    EXPECT_FALSE(Exchange(Write(0x11), 300ms).has_value());
    EXPECT_EQ(MacroByte0(), 0x11);
    const auto next = Exchange(Write(0x12));
    ASSERT_TRUE(next.has_value());  // one frame only
    EXPECT_EQ((*next)[7], 0x00);
}

TEST_F(SimFaultTest, CountCoversThatManyFrames) {
    ASSERT_EQ(Control("fault drop 2"), 0);
    EXPECT_FALSE(Exchange(Write(1), 200ms).has_value());
    EXPECT_FALSE(Exchange(Write(2), 200ms).has_value());
    EXPECT_TRUE(Exchange(Write(3)).has_value());
}

TEST_F(SimFaultTest, WrongEchoNamesAnotherCommand) {
    ASSERT_EQ(Control("fault wrong-echo"), 0);
    const auto reply = Exchange(Write(0x21));
    ASSERT_TRUE(reply.has_value());
    EXPECT_NE((*reply)[3], 10);
}

TEST_F(SimFaultTest, StatusFaultsAnswerTheStatusAndChangeNothing) {
    ASSERT_EQ(Control("fault status-ff"), 0);
    ASSERT_EQ(Control("fault status-fe"), 0);
    const auto ff = Exchange(Write(0x31));
    ASSERT_TRUE(ff.has_value());
    EXPECT_EQ((*ff)[3], 10);
    EXPECT_EQ((*ff)[7], 0xFF);
    const auto fe = Exchange(Write(0x32));
    ASSERT_TRUE(fe.has_value());
    EXPECT_EQ((*fe)[7], 0xFE);
    EXPECT_EQ(MacroByte0(), 0x00);
    EXPECT_EQ((*Exchange(Write(0x33)))[7], 0x00);
    EXPECT_EQ(MacroByte0(), 0x33);
}

TEST_F(SimFaultTest, LateReplyComesAfterTheProgramStoppedWaiting) {
    ASSERT_EQ(Control("fault late"), 0);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(WriteFrame(Write(0x41)), 1);
    std::this_thread::sleep_for(1000ms);
    EXPECT_EQ(Replies(), 0u) << "the reply came within the 1000 ms wait";
    ASSERT_TRUE(WaitForCaptured([](const Captured& c) { return c.kind == SERVICE_NOTIFY_DATA; }, 5000ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 1000ms);
}

TEST_F(SimFaultTest, RefusedWriteIsNotReceived) {
    ASSERT_EQ(Control("fault refuse-write 2"), 0);
    EXPECT_EQ(WriteFrame(Write(0x51)), 0);
    EXPECT_EQ(WriteFrame(Write(0x52)), 0);
    EXPECT_EQ(PelloranSimFrameCount(), 0u);
    EXPECT_EQ(MacroByte0(), 0x00);
    EXPECT_EQ(WriteFrame(Write(0x53)), 1);
    EXPECT_EQ(PelloranSimFrameCount(), 1u);
}

TEST_F(SimFaultTest, FaultsApplyInTheOrderGivenAndCanBeCleared) {
    ASSERT_EQ(Control("fault refuse-write"), 0);
    ASSERT_EQ(Control("fault status-fe 2"), 0);
    std::string status;
    ASSERT_EQ(Control("status", &status), 0);
    EXPECT_EQ(status, "ok plugged=1 profile=0 latency=0 faults=refuse-write:1,status-fe:2");
    EXPECT_EQ(WriteFrame(Write(1)), 0);
    EXPECT_EQ((*Exchange(Write(2)))[7], 0xFE);
    ASSERT_EQ(Control("fault clear"), 0);
    EXPECT_EQ((*Exchange(Write(3)))[7], 0x00);
    ASSERT_EQ(Control("status", &status), 0);
    EXPECT_EQ(status, "ok plugged=1 profile=0 latency=0 faults=none");
}

TEST_F(SimFaultTest, LatencyIsHonoured) {
    ASSERT_EQ(Control("latency 150000"), 0);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Exchange(MakeFrame(1, 0, 0)).has_value());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 140ms);

    ASSERT_EQ(Control("latency 0"), 0);
    start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Exchange(MakeFrame(1, 0, 0)).has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
}

// The notification thread wakes ahead of a reply by the timer's usual lateness: it must still
// never hand a reply over before its latency has passed, however well it has learnt.
TEST_F(SimFaultTest, RepliesNeverComeBeforeTheirLatency) {
    ASSERT_EQ(Control("latency 2000"), 0);
    for (int i = 0; i < 60; ++i) {
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(Exchange(MakeFrame(1, 0, 0)).has_value());
        ASSERT_GE(std::chrono::steady_clock::now() - start, 2000us) << "exchange " << i;
    }
}

TEST(SimLatencyEnvironmentTest, DefaultIs1000MicrosecondsAndTheVariableOverridesIt) {
    ::setenv("TALVENIX_SIM_SOCKET", "none", 1);
    ::unsetenv("TALVENIX_SIM_LATENCY_US");
    ASSERT_EQ(Init(0), 1);
    std::string status;
    ASSERT_EQ(Control("status", &status), 0);
    EXPECT_NE(status.find(" latency=1000 "), std::string::npos) << status;
    End();

    ::setenv("TALVENIX_SIM_LATENCY_US", "2500", 1);
    ASSERT_EQ(Init(0), 1);
    ASSERT_EQ(Control("status", &status), 0);
    EXPECT_NE(status.find(" latency=2500 "), std::string::npos) << status;
    End();

    ::setenv("TALVENIX_SIM_LATENCY_US", "soon", 1);  // unusable: falls back to the default
    ASSERT_EQ(Init(0), 1);
    ASSERT_EQ(Control("status", &status), 0);
    EXPECT_NE(status.find(" latency=1000 "), std::string::npos) << status;
    End();
    ::unsetenv("TALVENIX_SIM_LATENCY_US");
}

}  // namespace
}  // namespace talvenix::service::test
