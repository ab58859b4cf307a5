// The request handling shared by both service libraries: checksums, filters, unit ids,
// standing reads and the notification thread.
#include <gtest/gtest.h>

#include <atomic>

#include "tests/service/SimHarness.h"

namespace talvenix::service::test {
namespace {

class ServiceRequestTest : public SimTest {};

TEST_F(ServiceRequestTest, WrongRequestChecksumIsRefusedAndNothingReachesTheKeyboard) {
    const HidUnitFilter filter = ControlFilter();
    const Frame frame = MakeFrame(3, 44, 0);
    const std::uint32_t good = TalvenixRequestChecksum(&filter, 0, 0, frame.data(), frame.size());
    EXPECT_EQ(RequestWriteOne(&filter, 0, 0, frame.data(), 64, good + 1, 0), 0);
    // The checksum covers the second and third arguments too.
    EXPECT_EQ(RequestWriteOne(&filter, 1, 0, frame.data(), 64, good, 0), 0);
    EXPECT_EQ(PelloranSimFrameCount(), 0u);

    EXPECT_EQ(RequestGetDeviceCount(&filter, 0, 0, 12345, 0), -1);
    std::uint32_t unit = 0;
    const std::uint32_t cb = TalvenixPointerChecksumBytes(reinterpret_cast<const void*>(&CaptureNotify));
    const std::uint32_t readSum = TalvenixRequestChecksum(&filter, cb, TALVENIX_TAG_CTRL, nullptr, 0);
    EXPECT_EQ(RequestAsyncRead(&filter, &CaptureNotify, TALVENIX_TAG_CTRL, readSum ^ 1, &unit), 0);
    EXPECT_EQ(unit, 0u);

    const HidUnitFilter led = LedFilter();
    const std::uint8_t status[2] = {0x05, 0x03};
    const std::uint32_t ledSum = TalvenixRequestChecksum(&led, cb, TALVENIX_TAG_LED, status, 2);
    EXPECT_EQ(RequestStatusWrite(&led, &CaptureNotify, TALVENIX_TAG_LED, status, 2, ledSum + 7, &unit), 0);
    EXPECT_EQ(Memory(PELLORAN_SIM_LED, 0, 2), (std::vector<std::uint8_t>{0, 0}));
    EXPECT_EQ(RequestStatusWrite(&led, &CaptureNotify, TALVENIX_TAG_LED, status, 2, ledSum, &unit), 1);
    EXPECT_EQ(Memory(PELLORAN_SIM_LED, 0, 2), (std::vector<std::uint8_t>{0x05, 0x03}));
}

TEST_F(ServiceRequestTest, FiltersMustNameAnInterfaceOfTheKeyboard) {
    const Frame frame = MakeFrame(1, 0, 0);
    auto writeWith = [&](HidUnitFilter f) {
        return RequestWriteOne(&f, 0, 0, frame.data(), 64,
                               TalvenixRequestChecksum(&f, 0, 0, frame.data(), 64), 0);
    };
    HidUnitFilter wrongSelector = ControlFilter();
    wrongSelector.selector = 14;
    HidUnitFilter otherVendor = ControlFilter();
    otherVendor.vendorId = 0x1234;
    HidUnitFilter otherProduct = ControlFilter();
    otherProduct.productId = 0x5205;
    HidUnitFilter unknownUsage = MakeFilter(0xFF00, 0x0001);
    HidUnitFilter dirtyReserved = ControlFilter();
    dirtyReserved.reserved[2] = 1;
    for (const HidUnitFilter& f : {wrongSelector, otherVendor, otherProduct, unknownUsage, dirtyReserved}) {
        EXPECT_EQ(writeWith(f), 0);
    }
    // Reports go to the control interface only.
    EXPECT_EQ(writeWith(ConsumerFilter()), 0);
    EXPECT_EQ(writeWith(LedFilter()), 0);
    EXPECT_EQ(PelloranSimFrameCount(), 0u);
    EXPECT_EQ(RequestWriteOne(nullptr, 0, 0, frame.data(), 64, 0, 0), 0);

    // Counting: each interface of the attached keyboard counts once; another device is simply absent.
    EXPECT_EQ(DeviceCount(ControlFilter()), 1);
    EXPECT_EQ(DeviceCount(ConsumerFilter()), 1);
    EXPECT_EQ(DeviceCount(LedFilter()), 1);
    EXPECT_EQ(DeviceCount(otherVendor), 0);
    EXPECT_EQ(DeviceCount(unknownUsage), 0);
    EXPECT_EQ(DeviceCount(wrongSelector), -1);
    EXPECT_EQ(RequestGetDeviceCount(nullptr, 0, 0, 0, 0), -1);
}

TEST_F(ServiceRequestTest, ReportsLongerThan64BytesAreRefusedShortOnesZeroFilled) {
    const HidUnitFilter filter = ControlFilter();
    std::vector<std::uint8_t> big(65, 0);
    EXPECT_EQ(RequestWriteOne(&filter, 0, 0, big.data(), 65,
                              TalvenixRequestChecksum(&filter, 0, 0, big.data(), 65), 0),
              0);
    const Frame full = MakeFrame(1, 0, 0);
    // Only the first 9 bytes are passed; the keyboard sees them followed by zeros.
    EXPECT_EQ(RequestWriteOne(&filter, 0, 0, full.data(), 9,
                              TalvenixRequestChecksum(&filter, 0, 0, full.data(), 9), 0),
              1);
    const auto frames = ReceivedFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], full);
}

TEST_F(ServiceRequestTest, RepliesArriveOnTheLibraryThreadNotTheCaller) {
    const auto reply = Exchange(MakeFrame(1, 0, 0));
    ASSERT_TRUE(reply.has_value());
    const auto captured = CapturedSoFar();
    ASSERT_FALSE(captured.empty());
    for (const auto& c : captured) EXPECT_NE(c.thread, std::this_thread::get_id());
    EXPECT_EQ(captured.back().tag, TALVENIX_TAG_CTRL);
    EXPECT_EQ(captured.back().count, 64u);
    EXPECT_FALSE(captured.back().usage.has_value());
}

TEST_F(ServiceRequestTest, UnitIdsAreDistinctAndDeletingOneStopsItsCallback) {
    EXPECT_NE(ctrlUnit_, 0u);
    EXPECT_NE(consUnit_, 0u);
    EXPECT_NE(ctrlUnit_, consUnit_);
    std::uint32_t second = 0;
    ASSERT_EQ(RegisterRead(ControlFilter(), TALVENIX_TAG_CTRL, &second), 1);
    EXPECT_NE(second, ctrlUnit_);

    // Two CTRL reads: each hears the reply.
    ASSERT_EQ(WriteFrame(MakeFrame(1, 0, 0)), 1);
    ASSERT_TRUE(WaitForCaptured([](const Captured& c) { return c.tag == TALVENIX_TAG_CTRL; }).has_value());
    std::this_thread::sleep_for(100ms);
    std::size_t ctrl = 0;
    for (const auto& c : CapturedSoFar()) ctrl += c.tag == TALVENIX_TAG_CTRL && c.kind == SERVICE_NOTIFY_DATA;
    EXPECT_EQ(ctrl, 2u);

    EXPECT_EQ(DeleteRequestFromUnitId(second), 1);
    EXPECT_EQ(DeleteRequestFromUnitId(second), 0);
    EXPECT_EQ(DeleteRequestFromUnitId(ctrlUnit_), 1);
    ClearCaptured();
    ASSERT_EQ(WriteFrame(MakeFrame(1, 0, 0)), 1);
    std::this_thread::sleep_for(100ms);
    for (const auto& c : CapturedSoFar()) EXPECT_NE(c.tag, TALVENIX_TAG_CTRL);
}

TEST_F(ServiceRequestTest, DeleteFromHandleCancelsEveryRequestOfThatCallback) {
    EXPECT_EQ(DeleteRequestFromHandle(reinterpret_cast<void*>(&CaptureNotify)), 1);
    EXPECT_EQ(DeleteRequestFromHandle(reinterpret_cast<void*>(&CaptureNotify)), 0);
    ASSERT_EQ(Control("gbank"), 0);
    ASSERT_EQ(WriteFrame(MakeFrame(1, 0, 0)), 1);
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(CapturedSoFar().empty());
}

TEST_F(ServiceRequestTest, LedStatusCanBeReadBack) {
    const HidUnitFilter led = LedFilter();
    const std::uint32_t cb = TalvenixPointerChecksumBytes(reinterpret_cast<const void*>(&CaptureNotify));
    const std::uint8_t status[2] = {0x05, 0x02};
    std::uint32_t unit = 0;
    ASSERT_EQ(RequestStatusWrite(&led, &CaptureNotify, TALVENIX_TAG_LED, status, 2,
                                 TalvenixRequestChecksum(&led, cb, TALVENIX_TAG_LED, status, 2), &unit),
              1);
    EXPECT_NE(unit, 0u);
    std::uint8_t back[2] = {};
    std::uint32_t getUnit = 0;
    EXPECT_EQ(RequestStatusGet(&led, &CaptureNotify, TALVENIX_TAG_LED, back, 2,
                               TalvenixRequestChecksum(&led, cb, TALVENIX_TAG_LED, nullptr, 0), &getUnit),
              1);
    EXPECT_EQ(back[0], 0x05);
    EXPECT_EQ(back[1], 0x02);
    // The program cancels the previous LED request before each new one.
    EXPECT_EQ(DeleteRequestFromUnitId(unit), 1);
}

// Two standing CTRL reads; the first one's callback acts on the library while the reply is
// being delivered, the second one counts its calls.
std::atomic<std::uint32_t> gVictimUnit{0};
std::atomic<int> gVictimCalls{0};
std::atomic<bool> gEndFromCallback{false};

int CancellingNotify(const ServiceNotification* n) {
    if (n->kind == SERVICE_NOTIFY_DATA) {
        if (gEndFromCallback) {
            End();
        } else {
            DeleteRequestFromUnitId(gVictimUnit);
        }
    }
    return 1;
}

int VictimNotify(const ServiceNotification* n) {
    if (n->kind == SERVICE_NOTIFY_DATA) ++gVictimCalls;
    return 1;
}

TEST_F(ServiceRequestTest, ARequestCancelledByAnotherCallbackIsNotCalledAfterwards) {
    for (const bool endFromCallback : {false, true}) {
        SCOPED_TRACE(endFromCallback ? "End from a callback" : "DeleteRequestFromUnitId from a callback");
        gEndFromCallback = endFromCallback;
        gVictimCalls = 0;
        std::uint32_t canceller = 0;
        std::uint32_t victim = 0;
        ASSERT_EQ(RegisterRead(ControlFilter(), TALVENIX_TAG_CTRL, &canceller, &CancellingNotify), 1);
        ASSERT_EQ(RegisterRead(ControlFilter(), TALVENIX_TAG_CTRL, &victim, &VictimNotify), 1);
        gVictimUnit = victim;
        ClearCaptured();
        ASSERT_EQ(WriteFrame(MakeFrame(1, 0, 0)), 1);
        // The fixture's own read (registered first) sees the reply; the victim, last in line, must not.
        ASSERT_TRUE(
            WaitForCaptured([](const Captured& c) { return c.tag == TALVENIX_TAG_CTRL; }).has_value());
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(gVictimCalls.load(), 0);
        if (!endFromCallback) {
            EXPECT_EQ(DeleteRequestFromUnitId(victim), 0);  // already gone
            EXPECT_EQ(DeleteRequestFromUnitId(canceller), 1);
        }
    }
    gEndFromCallback = false;
    EXPECT_EQ(DeviceCount(), -1);  // the callback's End closed the library
}

TEST(ServiceLifecycleTest, EverythingIsRefusedBeforeInitAndInitNests) {
    ::setenv("TALVENIX_SIM_SOCKET", "none", 1);
    EXPECT_EQ(DeviceCount(), -1);
    EXPECT_EQ(WriteFrame(MakeFrame(1, 0, 0)), 0);
    EXPECT_EQ(End(), 0);

    ASSERT_EQ(Init(0), 1);
    ASSERT_EQ(Init(0), 1);
    EXPECT_EQ(End(), 1);
    EXPECT_EQ(DeviceCount(), 1);  // still open after the inner End
    EXPECT_EQ(End(), 1);
    EXPECT_EQ(DeviceCount(), -1);
}

}  // namespace
}  // namespace talvenix::service::test
