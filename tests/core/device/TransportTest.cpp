// The send-and-wait exchange: framing, retries, result codes and reply hand-over.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/device/Commands.h"
#include "core/device/DeviceLink.h"
#include "core/device/DeviceReport.h"
#include "tests/core/device/FakeService.h"

namespace talvenix::device {
namespace {

using test::FakeService;

TransportTiming QuickTiming() {
    TransportTiming t;
    t.attemptWait = std::chrono::milliseconds(60);
    t.retryPause = std::chrono::milliseconds(1);
    t.busyBackoff = std::chrono::milliseconds(5);
    t.endUpdatePause = std::chrono::milliseconds(0);
    return t;
}

class TransportTest : public ::testing::Test {
protected:
    TransportTest() : link_(fake_.Link(), QuickTiming()) { link_.RegisterStandingReads(); }
    ReportTransport& T() { return link_.Transport(); }

    FakeService fake_;
    DeviceLink link_;
};

TEST(DeviceReportTest, ChecksumCoversBytesThreeToSixtyThreeOnly) {
    const std::uint8_t payload[] = {0xFF, 0x10, 0x20};
    DeviceReport f = BuildFrame(8, 3, 0x0150, payload);
    EXPECT_EQ(f[0], 0x04);
    EXPECT_EQ(f[3], 8);
    EXPECT_EQ(f[4], 3);
    EXPECT_EQ(f[5], 0x50);
    EXPECT_EQ(f[6], 0x01);
    EXPECT_EQ(f[7], 0);
    // 8 + 3 + 0x50 + 0x01 + 0xFF + 0x10 + 0x20 = 0x18B
    EXPECT_EQ(f[1], 0x8B);
    EXPECT_EQ(f[2], 0x01);
    for (std::size_t i = 11; i < kReportSize; ++i) EXPECT_EQ(f[i], 0) << i;

    // The report id and the checksum bytes themselves are not covered.
    f[0] = 0x99;
    EXPECT_EQ(FrameChecksum(f), 0x018B);
}

TEST(DeviceReportTest, ChecksumKeepsLowSixteenBits) {
    std::array<std::uint8_t, 56> payload;
    payload.fill(0xFF);
    const DeviceReport f = BuildFrame(0xFF, 56, 0xFFFF, payload);
    // 0xFF * (1 + 1 + 2 + 1 status=0 ... ) : 0xFF (cmd) + 56 (len) + 0xFF + 0xFF + 56 * 0xFF
    const unsigned sum = 0xFF + 56 + 0xFF + 0xFF + 56 * 0xFF;
    EXPECT_EQ(FrameChecksum(f), sum & 0xFFFF);
}

TEST_F(TransportTest, ShortRequestIsZeroFilledAndLongOneCut) {
    std::uint8_t shortRequest[10] = {0x04, 0, 0, 3, 44};
    std::uint8_t reply[64];
    std::size_t got = 0;
    ASSERT_EQ(T().SendReport(shortRequest, sizeof shortRequest, reply, sizeof reply, &got), 1);
    std::vector<std::uint8_t> longRequest(70, 0xAB);
    longRequest[3] = 5;
    ASSERT_EQ(T().SendReport(longRequest.data(), longRequest.size(), reply, sizeof reply, &got), 1);

    const auto frames = fake_.Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0][4], 44);
    for (std::size_t i = 10; i < 64; ++i) EXPECT_EQ(frames[0][i], 0) << i;
    EXPECT_EQ(frames[1][63], 0xAB);
    EXPECT_EQ(got, 64u);
}

TEST_F(TransportTest, NoKeyboardReturnsZeroWithoutWriting) {
    fake_.SetDeviceCount(0);
    std::uint8_t reply[64];
    std::size_t got = 99;
    EXPECT_EQ(ReadMacroMemory(T(), std::span<std::uint8_t>(reply, 16)), 0);
    DeviceReport f = BuildFrame(1, 0, 0);
    EXPECT_EQ(T().SendReport(f.data(), 64, reply, 64, &got), 0);
    EXPECT_EQ(got, 0u);
    EXPECT_TRUE(fake_.Frames().empty());
}

// Once the control read hears arrivals and removals, the count the library gave stands until
// it says otherwise: exchanges stop asking, and a removal it reports is believed at once.
TEST_F(TransportTest, TheCountIsAskedOnlyUntilTheLibraryHasToldItAndAfterARemoval) {
    ASSERT_EQ(BeginUpdate(T()), 1);
    const int asked = fake_.CountQueries();
    EXPECT_GE(asked, 1);
    for (int i = 0; i < 5; ++i) ASSERT_EQ(BeginUpdate(T()), 1);
    EXPECT_EQ(fake_.CountQueries(), asked);

    fake_.SetDeviceCount(0);
    std::uint8_t reply[64];
    std::size_t got = 99;
    const DeviceReport f = BuildFrame(1, 0, 0);
    const auto written = fake_.Frames().size();
    EXPECT_EQ(T().SendReport(f.data(), 64, reply, 64, &got), 0);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(fake_.Frames().size(), written);

    // With no keyboard known, every exchange asks, so an arrival is seen even before its
    // notification.
    fake_.SetDeviceCount(1, /*quietly=*/true);
    EXPECT_EQ(BeginUpdate(T()), 1);
    EXPECT_EQ(fake_.Frames().size(), written + 1);
}

// A keyboard that leaves while its notification is on the way: the write is refused, and the
// exchange says "no keyboard" as asking first would have, not "refused".
TEST_F(TransportTest, AKeyboardGoneBeforeItsNotificationReadsAsNoKeyboard) {
    ASSERT_EQ(BeginUpdate(T()), 1);
    fake_.SetDeviceCount(0, /*quietly=*/true);
    fake_.SetWriteResult(0);
    EXPECT_EQ(BeginUpdate(T()), 0);
    // Still there, but refusing: -1 as before.
    fake_.SetDeviceCount(1);
    EXPECT_EQ(BeginUpdate(T()), -1);
}

// A transport whose device changes go unheard (no control read) asks before every exchange.
TEST(TransportCountTest, WithoutTheControlReadEveryExchangeAsks) {
    FakeService fake;
    TransportTiming timing = QuickTiming();
    timing.attemptWait = std::chrono::milliseconds(1);
    timing.staleReplyWindow = std::chrono::milliseconds(1);  // no reply comes: do not wait for one
    ReportTransport t(fake.Link(), timing);
    std::uint8_t reply[64];
    std::size_t got = 0;
    for (std::uint16_t i = 0; i < 3; ++i) {
        const DeviceReport f = BuildFrame(9, 8, static_cast<std::uint16_t>(8 * i));
        EXPECT_EQ(t.SendReport(f.data(), 64, reply, 64, &got), -2);
    }
    EXPECT_EQ(fake.CountQueries(), 3);
    fake.SetDeviceCount(0, /*quietly=*/true);
    const DeviceReport f = BuildFrame(1, 0, 0);
    EXPECT_EQ(t.SendReport(f.data(), 64, reply, 64, &got), 0);
}

TEST_F(TransportTest, RefusedWriteGivesMinusOne) {
    fake_.SetWriteResult(0);
    EXPECT_EQ(BeginUpdate(T()), -1);
    EXPECT_EQ(fake_.Frames().size(), 1u);
}

TEST_F(TransportTest, SilenceGivesMinusTwoAfterExactlyThreeWrites) {
    fake_.SetResponder([](const DeviceReport&) { return std::nullopt; });
    EXPECT_EQ(BeginUpdate(T()), -2);
    EXPECT_EQ(fake_.Frames().size(), 3u);
}

TEST_F(TransportTest, ForeignEchoCountsAsFailedAttempt) {
    std::atomic<int> calls = 0;
    fake_.SetResponder([&](const DeviceReport& r) {
        auto reply = FakeService::Echo(r);
        if (calls++ == 0) reply[kOffCommand] = 0x33;
        return std::optional(reply);
    });
    EXPECT_EQ(BeginUpdate(T()), 1);
    EXPECT_EQ(fake_.Frames().size(), 2u);

    fake_.SetResponder([](const DeviceReport& r) {
        auto reply = FakeService::Echo(r);
        reply[kOffCommand] ^= 0x80;
        return std::optional(reply);
    });
    EXPECT_EQ(EndUpdate(T()), -2);
    EXPECT_EQ(fake_.Frames().size(), 5u);
}

TEST_F(TransportTest, ErrorStatusOnEveryAttemptReturnsOneWithStatusKept) {
    fake_.SetResponder([](const DeviceReport& r) { return std::optional(FakeService::Echo(r, 0xFE)); });
    const DeviceReport f = BuildFrame(1, 0, 0);
    DeviceReport reply{};
    std::size_t got = 0;
    EXPECT_EQ(T().SendReport(f.data(), 64, reply.data(), 64, &got), 1);
    EXPECT_EQ(reply[kOffStatus], 0xFE);
    EXPECT_EQ(got, 64u);
    EXPECT_EQ(fake_.Frames().size(), 3u);

    // The command layer turns the statuses into their codes.
    EXPECT_EQ(BeginUpdate(T()), -103);
    fake_.SetResponder([](const DeviceReport& r) { return std::optional(FakeService::Echo(r, 0xFF)); });
    EXPECT_EQ(BeginUpdate(T()), -102);
}

TEST_F(TransportTest, ErrorStatusThenGoodReplyIsSuccess) {
    std::atomic<int> calls = 0;
    fake_.SetResponder([&](const DeviceReport& r) {
        return std::optional(FakeService::Echo(r, calls++ == 0 ? 0xFF : 0x00));
    });
    EXPECT_EQ(BeginUpdate(T()), 1);
    EXPECT_EQ(fake_.Frames().size(), 2u);
}

TEST_F(TransportTest, ReplyLongerThanCapacityIsCut) {
    fake_.SetResponder([](const DeviceReport& r) {
        auto reply = FakeService::Echo(r);
        reply.resize(100, 0x5A);
        return std::optional(reply);
    });
    const DeviceReport f = BuildFrame(3, 44, 0);
    std::array<std::uint8_t, 80> reply;
    reply.fill(0xEE);
    std::size_t got = 0;
    ASSERT_EQ(T().SendReport(f.data(), 64, reply.data(), 20, &got), 1);
    EXPECT_EQ(got, 20u);
    EXPECT_EQ(reply[20], 0xEE);  // nothing written past the capacity
}

TEST_F(TransportTest, ConcurrentSendersNeverMixReplies) {
    // Each reply carries the request's address back in its payload.
    fake_.SetResponder([](const DeviceReport& r) {
        auto reply = FakeService::Echo(r);
        reply[kPayloadOffset] = r[kOffAddress];
        reply[kPayloadOffset + 1] = r[kOffAddress + 1];
        return std::optional(reply);
    });
    std::atomic<int> mismatches = 0;
    auto worker = [&](std::uint16_t base) {
        for (std::uint16_t i = 0; i < 150; ++i) {
            std::array<std::uint8_t, 56> out{};
            const std::uint16_t address = static_cast<std::uint16_t>(base + i);
            if (ReadLighting(T(), out, 56, address) != 1) ++mismatches;
            if ((out[0] | (out[1] << 8)) != address) ++mismatches;
        }
    };
    std::thread a(worker, 0x1000);
    std::thread b(worker, 0x2000);
    a.join();
    b.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_EQ(fake_.Frames().size(), 300u);
}

// A reply that turns up after its attempt was given up belongs to that attempt, never to a
// later request with the same command (or even the same frame).
// Waits long enough that a loaded machine (or a sanitizer) keeps the replies' order: a reply
// "on time" comes 120 ms into a 240 ms wait, a late one 120 ms after the wait ran out.
TransportTiming LateTiming() {
    TransportTiming t = QuickTiming();
    t.attemptWait = std::chrono::milliseconds(240);
    return t;
}

TEST_F(TransportTest, LateReplyNeverAnswersALaterRequest) {
    using namespace std::chrono_literals;
    DeviceLink slow(fake_.Link(), LateTiming());
    slow.RegisterStandingReads();
    ReportTransport& t = slow.Transport();
    std::atomic<int> frames = 0;
    // Frame 1 (the first attempt of a lighting write at 0) is answered late, well after the
    // retry; the next write, at 42, is refused by the keyboard every time.
    fake_.SetDelayer([&](const DeviceReport&) { return frames++ == 0 ? 360ms : 120ms; });
    fake_.SetResponder([](const DeviceReport& r) {
        return std::optional(FakeService::Echo(r, FrameAddress(r) == 42 ? 0xFE : 0x00));
    });
    const std::uint8_t bytes[3] = {1, 2, 3};
    EXPECT_EQ(WriteLighting(t, bytes, 0), 1);
    EXPECT_EQ(WriteLighting(t, bytes, 42), -103);

    // The same frame again: the first begin's late reply must not stand for the second's.
    std::this_thread::sleep_for(400ms);
    frames = 0;
    fake_.SetResponder([&](const DeviceReport& r) {
        return std::optional(FakeService::Echo(r, frames >= 2 ? 0xFF : 0x00));
    });
    EXPECT_EQ(BeginUpdate(t), 1);
    EXPECT_EQ(BeginUpdate(t), -102);
    std::this_thread::sleep_for(500ms);  // let every delayed reply land before teardown
    EXPECT_GE(t.Stats().staleDiscarded, 2u);
}

// Replies shifted by one must never pass for the data of the next chunk.
TEST_F(TransportTest, ChunkedReadTakesOnlyRepliesEchoingItsAddress) {
    using namespace std::chrono_literals;
    DeviceLink slow(fake_.Link(), LateTiming());
    slow.RegisterStandingReads();
    ReportTransport& t = slow.Transport();
    std::atomic<int> frames = 0;
    fake_.SetDelayer([&](const DeviceReport&) { return frames++ == 1 ? 360ms : 120ms; });
    fake_.SetResponder([](const DeviceReport& r) {
        auto reply = FakeService::Echo(r);
        for (std::size_t i = kPayloadOffset; i < reply.size(); ++i) reply[i] = r[kOffAddress];
        return std::optional(reply);
    });
    std::vector<std::uint8_t> memory(200);
    ASSERT_EQ(ReadMacroMemory(t, memory), 1);
    for (std::size_t i = 0; i < memory.size(); ++i) ASSERT_EQ(memory[i], (i / 56) * 56) << i;
    std::this_thread::sleep_for(400ms);
}

TEST_F(TransportTest, ReplyShorterThanItsHeaderIsRefusedLikeAWrongEcho) {
    fake_.SetResponder([](const DeviceReport& r) {
        auto reply = FakeService::Echo(r);
        reply.resize(5);  // the command byte is there, the status is not
        return std::optional(reply);
    });
    EXPECT_EQ(BeginUpdate(T()), -2);
    EXPECT_EQ(fake_.Frames().size(), 3u);
    std::array<std::uint8_t, 56> out{};
    EXPECT_EQ(ReadLighting(T(), out, 56, 0), -2);
}

// A reply that never comes is written off when the stale window of its send runs out, so it
// costs later requests with the same frame a wait only within that window.
TEST_F(TransportTest, ALostReplyCostsWaitsOnlyWithinTheStaleWindow) {
    TransportTiming timing = QuickTiming();
    timing.staleReplyWindow = std::chrono::milliseconds(150);
    DeviceLink link(fake_.Link(), timing);
    link.RegisterStandingReads();
    ReportTransport& t = link.Transport();
    std::atomic<int> frames = 0;
    fake_.SetResponder([&](const DeviceReport& r) {
        return frames++ == 0 ? std::nullopt : std::optional(FakeService::Echo(r));
    });
    for (int i = 0; i < 4; ++i) EXPECT_EQ(BeginUpdate(t), 1) << i;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto before = t.Stats();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(BeginUpdate(t), 1) << i;
    EXPECT_EQ(t.Stats().timeouts, before.timeouts);  // the lost reply is no longer expected
    EXPECT_EQ(t.Stats().writes - before.writes, 4u);
}

}  // namespace
}  // namespace talvenix::device
