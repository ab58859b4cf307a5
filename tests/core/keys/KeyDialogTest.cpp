// Key capture and the key dialogs' record rules: the cases where a wrong answer would assign
// the wrong key, lose a choice or put a dialog off the screen.
#include <gtest/gtest.h>

#include "core/keys/KeyCapture.h"
#include "core/keys/KeyDialogRules.h"
#include "core/keys/NativeKeys.h"

using namespace talvenix::keys;

namespace {

// A key event as the native layer delivers it (evdev code, keysym 0).
WindowsKeyEvent Native(std::uint32_t evdev, bool released = false) {
    auto k = TranslateEvdevKey(evdev, 0, released);
    EXPECT_TRUE(k.has_value()) << evdev;
    return k.value_or(WindowsKeyEvent{});
}

CaptureOutcome Capture(std::uint32_t evdev, bool released = false, bool repeat = false) {
    WindowsKeyEvent k = Native(evdev, released);
    if (repeat) k.flags |= kFlagPreviousDown;
    return CaptureKeyEvent(k.vk, k.flags);
}

constexpr std::uint32_t kEvEsc = 1, kEvA = 30, kEvPrint = 99, kEvLeftMeta = 125, kEvCompose = 127,
                        kEvVolumeUp = 115, kEvRightCtrl = 97;

}  // namespace

TEST(KeyCapture, PressOfAnOrdinaryKeyCapturesItsCodeAndNothingElseCounts) {
    EXPECT_EQ(Capture(kEvEsc).action, CaptureOutcome::Action::Captured);
    EXPECT_EQ(Capture(kEvEsc).code, 0x001);
    EXPECT_EQ(Capture(kEvRightCtrl).code, 0x11D);
    EXPECT_EQ(Capture(kEvA, true).action, CaptureOutcome::Action::Swallow);
    EXPECT_EQ(Capture(kEvA, false, true).action, CaptureOutcome::Action::Swallow);
}

TEST(KeyCapture, PrintScreenCountsOnItsReleaseOnly) {
    EXPECT_EQ(Capture(kEvPrint).action, CaptureOutcome::Action::Swallow);
    const CaptureOutcome up = Capture(kEvPrint, true);
    EXPECT_EQ(up.action, CaptureOutcome::Action::Captured);
    EXPECT_EQ(up.code, 0x137);
}

TEST(KeyCapture, WindowsAndMenuKeysAreTakenOnPressAndRelease) {
    EXPECT_EQ(Capture(kEvLeftMeta).code, 0x15B);
    EXPECT_EQ(Capture(kEvLeftMeta, true).action, CaptureOutcome::Action::Captured);
    EXPECT_EQ(Capture(kEvCompose, true).code, 0x15D);
}

TEST(KeyCapture, MultimediaKeysAndUnknownKeysPassThrough) {
    EXPECT_EQ(Capture(kEvVolumeUp).action, CaptureOutcome::Action::Pass);
    EXPECT_EQ(CaptureKeyEvent(0, KeyMessageFlags(0, false, false)).action, CaptureOutcome::Action::Pass);
}

TEST(KeyDialogRules, CyclesAreKeptWithin1To255) {
    EXPECT_EQ(ClampCycles("300"), 255);
    EXPECT_EQ(ClampCycles("0"), 1);
    EXPECT_EQ(ClampCycles("-7"), 1);
    EXPECT_EQ(ClampCycles("abc"), 1);
    EXPECT_EQ(ClampCycles(""), 1);
    EXPECT_EQ(ClampCycles("99999999999999999999"), 255);
    EXPECT_EQ(ClampCycles("0007"), 7);
    EXPECT_EQ(ClampCycles("12x"), 12);
}

TEST(KeyDialogRules, CompositeRecordByPage) {
    const int caps = KeyIndexOf(0x03A);
    CompositeChoice c;
    c.slot = caps;
    c.pageKind = 2;
    c.captured = 0x001;
    KeyAssignment r = BuildCompositeRecord(c);
    EXPECT_EQ(r.kind, 2);
    EXPECT_EQ(r.value, 0x001u);
    EXPECT_EQ(r.tag, 0);

    c.captured = 0x03A;  // the clicked key itself
    EXPECT_EQ(BuildCompositeRecord(c).kind, 0);
    c.captured = kNoKey;
    EXPECT_EQ(BuildCompositeRecord(c).kind, 0);

    c.slot = kGSlotBankB + 1;  // G2 of bank B
    c.pageKind = 7;
    c.mediaIndex = 6;
    r = BuildCompositeRecord(c);
    EXPECT_EQ(r.kind, 7);
    EXPECT_EQ(r.value, 6u);
    EXPECT_EQ(r.tag, 0x1302);

    c.pageKind = 4;
    c.hasMacros = true;
    c.selectedMacroId = 12;
    c.cycles = 3;
    r = BuildCompositeRecord(c);
    EXPECT_EQ(r.kind, 4);
    EXPECT_EQ(r.value, 12u);
    EXPECT_EQ(r.tag, 3);
    c.hasMacros = false;
    EXPECT_EQ(BuildCompositeRecord(c).kind, 0);
}

TEST(KeyDialogRules, SingleKeyRecordRefusesIncompleteChoicesAndBoundsStrings) {
    SingleKeyChoice c;
    c.slot = KeyIndexOf(0x01E);
    c.kind = 4;
    EXPECT_EQ(BuildSingleKeyRecord(c).problem, SingleKeyRecord::Problem::NoMacro);
    c.kind = 3;
    c.text = u"   ";
    EXPECT_EQ(BuildSingleKeyRecord(c).problem, SingleKeyRecord::Problem::NoPath);
    c.text = std::u16string(5000, u'x');
    SingleKeyRecord r = BuildSingleKeyRecord(c);
    ASSERT_TRUE(r.string.has_value());
    EXPECT_EQ(r.string->size(), kMaxLaunchPathUnits);
    c.kind = 6;
    r = BuildSingleKeyRecord(c);
    EXPECT_EQ(r.record.kind, 6);
    EXPECT_EQ(r.string->size(), 4096u);
    c.kind = 2;
    c.listPosition = -1;
    EXPECT_EQ(BuildSingleKeyRecord(c).problem, SingleKeyRecord::Problem::NoKey);
    c.listPosition = *ListPositionOf(0x001);
    r = BuildSingleKeyRecord(c);
    EXPECT_EQ(r.record.kind, 2);
    EXPECT_EQ(r.record.value, 0x001u);
    c.kind = 9;
    EXPECT_EQ(BuildSingleKeyRecord(c).problem, SingleKeyRecord::Problem::BadKind);
}

TEST(KeyDialogRules, BoundStringNeverSplitsASurrogatePair) {
    std::u16string text = u"ab\U0001F600";  // a, b, high, low
    EXPECT_EQ(BoundKeyString(text, 3), u"ab");
    EXPECT_EQ(BoundKeyString(text, 4), text);
}

TEST(KeyDialogRules, TargetsOfButtons) {
    EXPECT_EQ(TargetOfGButton(0, true)->slot, 265);
    EXPECT_EQ(TargetOfGButton(0, true)->buttonPosition, 9);
    EXPECT_FALSE(TargetOfGButton(9, false).has_value());
    const DialogTarget m = MacroEditTarget(false);
    EXPECT_EQ(m.slot, 264);
    EXPECT_TRUE(m.macroOnly);
    EXPECT_EQ(MacroEditTarget(true).slot, 273);
    EXPECT_FALSE(TargetOfKeyButton(0x001, 104).has_value());
}

TEST(KeyDialogRules, ButtonFlagTogglesBetweenZeroAndOneAndKeepsTheAssignment) {
    KeyAssignment r;
    r.kind = 2;
    r.value = 0x1E;
    EXPECT_EQ(ToggleButtonFlag(r), 1u);
    EXPECT_EQ(r.extra[0], 1);
    EXPECT_EQ(r.kind, 2);
    r.extra = {7, 0, 0, 0, 9, 9, 9, 9};  // any non-zero flag goes back to 0
    EXPECT_EQ(ToggleButtonFlag(r), 0u);
    EXPECT_EQ(r.extra[4], 9);
}

TEST(KeyDialogRules, DialogOpensBesideTheButtonAndStaysOnScreen) {
    const ScreenRect screen{0, 0, 1920, 1080};
    const int w = 600, h = 470;
    EXPECT_EQ(PlaceBesideButton({100, 100, 40, 40}, w, h, screen), (ScreenPoint{140, 140}));
    EXPECT_EQ(PlaceBesideButton({100, 900, 40, 40}, w, h, screen), (ScreenPoint{140, 430}));
    EXPECT_EQ(PlaceBesideButton({1500, 100, 40, 40}, w, h, screen), (ScreenPoint{900, 140}));
    EXPECT_EQ(PlaceBesideButton({1500, 900, 40, 40}, w, h, screen), (ScreenPoint{900, 430}));
    // A screen too small for the dialog beside the button: inside the screen all the same.
    const ScreenPoint p = PlaceBesideButton({300, 300, 40, 40}, w, h, {0, 0, 800, 600});
    EXPECT_EQ(p, (ScreenPoint{200, 130}));
}
