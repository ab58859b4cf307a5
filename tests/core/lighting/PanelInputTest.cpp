// What the lighting panel does with raw input before anything reaches the keyboard: pacing of
// dragged controls, R/G/B box text, paint strokes, and how results are reported.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "core/lighting/LightingPanelRules.h"
#include "core/lighting/LightingResult.h"
#include "core/lighting/PaintStroke.h"
#include "core/lighting/WriteCoalescer.h"

namespace talvenix::lighting {
namespace {

using namespace std::chrono_literals;

class CoalescerTest : public ::testing::Test {
protected:
    std::chrono::steady_clock::time_point now{};
    WriteCoalescer<int> pace{50ms, [this] { return now; }};
};

TEST_F(CoalescerTest, ASliderDraggedEndToEndSendsAtMostOnePer50msAndEndsOnTheLastValue) {
    std::vector<int> sent;
    std::vector<std::chrono::steady_clock::time_point> times;
    // Positions 0..5 then back to 2, one every 10 ms; the timer fires when DueIn says.
    std::chrono::steady_clock::time_point timerAt{};
    bool timerArmed = false;
    auto fireTimer = [&] {
        if (timerArmed && now >= timerAt) {
            timerArmed = false;
            if (auto v = pace.TakeDue()) {
                sent.push_back(*v);
                times.push_back(now);
            }
            if (auto due = pace.DueIn()) {
                timerAt = now + *due;
                timerArmed = true;
            }
        }
    };
    for (int v : {0, 1, 2, 3, 4, 5, 4, 3, 2}) {
        fireTimer();
        if (auto out = pace.Offer(v)) {
            sent.push_back(*out);
            times.push_back(now);
        } else if (!timerArmed) {
            timerAt = now + *pace.DueIn();
            timerArmed = true;
        }
        now += 10ms;
    }
    for (int i = 0; i < 10; ++i, now += 10ms) fireTimer();

    // 0 at once, 4 when the first interval ends, then the final 2.
    EXPECT_EQ(sent, (std::vector<int>{0, 4, 2}));
    for (std::size_t i = 1; i < times.size(); ++i) EXPECT_GE(times[i] - times[i - 1], 50ms);
    EXPECT_FALSE(pace.Holding());
}

TEST_F(CoalescerTest, HeldValueWaitsForItsIntervalAndFlushReleasesIt) {
    EXPECT_EQ(pace.Offer(1), 1) << "the first value goes at once";
    EXPECT_EQ(pace.Offer(2), std::nullopt);
    EXPECT_EQ(pace.DueIn(), 50ms);
    now += 30ms;
    EXPECT_EQ(pace.TakeDue(), std::nullopt) << "too early";
    EXPECT_EQ(pace.DueIn(), 20ms);
    EXPECT_EQ(pace.Flush(), 2) << "a released button sends at once";
    EXPECT_EQ(pace.Flush(), std::nullopt);
    // The flush counts as a send: the next value waits again.
    EXPECT_EQ(pace.Offer(3), std::nullopt);
    now += 50ms;
    EXPECT_EQ(pace.TakeDue(), 3);
    // Quiet long enough: a new value goes at once, and a dropped one never arrives.
    now += 60ms;
    EXPECT_EQ(pace.Offer(4), 4);
    EXPECT_EQ(pace.Offer(5), std::nullopt);
    pace.Drop();
    now += 60ms;
    EXPECT_EQ(pace.TakeDue(), std::nullopt);
    EXPECT_EQ(pace.DueIn(), std::nullopt);
}

TEST_F(CoalescerTest, AValueArrivingWhileOneIsHeldNeverOvertakesIt) {
    EXPECT_EQ(pace.Offer(1), 1);
    EXPECT_EQ(pace.Offer(2), std::nullopt);
    now += 80ms;  // the timer is late; the interval has long passed
    EXPECT_EQ(pace.Offer(3), std::nullopt) << "would send 3 while 2 is still queued";
    EXPECT_EQ(pace.TakeDue(), 3);
}

TEST(RgbBoxText, ReadsDigitsClampsAndRefusesTheRest) {
    EXPECT_EQ(ParseRgbBox("0"), 0);
    EXPECT_EQ(ParseRgbBox(" 128 "), 128);
    EXPECT_EQ(ParseRgbBox("255"), 255);
    EXPECT_EQ(ParseRgbBox("300"), 255);
    EXPECT_EQ(ParseRgbBox("256"), 255);
    EXPECT_EQ(ParseRgbBox("99999999999999999999"), 255) << "no overflow into a small value";
    EXPECT_EQ(ParseRgbBox(""), 0) << "an emptied box reads as 0 while the user retypes";
    EXPECT_EQ(ParseRgbBox("-5"), std::nullopt);
    EXPECT_EQ(ParseRgbBox("12a"), std::nullopt);
    EXPECT_EQ(ParseRgbBox("0x10"), std::nullopt);
    EXPECT_EQ(ParseRgbBox("1 2"), std::nullopt);
}

TEST(PaintStrokeTest, KeepsEachButtonOnceInTheOrderReached) {
    PaintStroke stroke;
    EXPECT_TRUE(stroke.Pass(5));
    EXPECT_TRUE(stroke.Pass(GButton(2)));
    EXPECT_FALSE(stroke.Pass(5)) << "the cursor came back over a key";
    EXPECT_FALSE(stroke.Pass(-1));
    EXPECT_FALSE(stroke.Pass(kPaintButtonCount));
    EXPECT_TRUE(stroke.Pass(kFnButton));
    EXPECT_EQ(stroke.Take(), (std::vector<PaintButton>{5, GButton(2), kFnButton}));
    EXPECT_TRUE(stroke.Empty());
    EXPECT_TRUE(stroke.Pass(5)) << "a new stroke starts empty";
}

TEST(ResultKinds, DeviceFailuresAreReportedAsRefusals) {
    EXPECT_EQ(KindOf(kLightingOk), ResultKind::Done);
    EXPECT_EQ(KindOf(0), ResultKind::KeyboardRefused);
    EXPECT_EQ(KindOf(-2), ResultKind::KeyboardRefused);
    EXPECT_EQ(KindOf(-103), ResultKind::KeyboardRefused);
    EXPECT_EQ(KindOf(kColourFileError), ResultKind::FileNotSaved);
    EXPECT_EQ(KindOf(kLightingBadArgument), ResultKind::BadArgument);
}

}  // namespace
}  // namespace talvenix::lighting
