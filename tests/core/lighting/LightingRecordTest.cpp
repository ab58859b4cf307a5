// The lighting record's layout, the reset image and how a read-back record fills the mirror.
#include <gtest/gtest.h>

#include "core/lighting/LightingMirror.h"
#include "core/lighting/LightingRecord.h"

namespace talvenix::lighting {
namespace {

LightingRecord ResetRecord() {
    LightingRecord r;
    std::copy(kLightingResetImage.begin(), kLightingResetImage.end(), r.bytes.begin());
    return r;
}

TEST(LightingRecord, AddressesOfTheThreeProfiles) {
    EXPECT_EQ(LightingAddress(0, 0), 0);
    EXPECT_EQ(LightingAddress(1, 0), 42);
    EXPECT_EQ(LightingAddress(2, 0), 84);
    EXPECT_EQ(LightingAddress(2, 41), 125);
    EXPECT_EQ(LightingAddress(1, LightingRecord::kTrigger), 61);
}

TEST(LightingRecord, ColoursAreStoredRedGreenBlue) {
    LightingRecord r;
    r.SetColourAt(LightingRecord::kColour, MakeColour(0x11, 0x22, 0x33));
    EXPECT_EQ(r.bytes[5], 0x11);
    EXPECT_EQ(r.bytes[6], 0x22);
    EXPECT_EQ(r.bytes[7], 0x33);
    EXPECT_EQ(r.ColourAt(LightingRecord::kColour), 0x332211u);
}

TEST(LightingRecord, ResetImageBytes) {
    const std::uint8_t expected[35] = {0x01, 0x04, 0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x08, 0xFF, 0xFF, 0xFF,
                                       0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00,
                                       0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00};
    ASSERT_EQ(kLightingResetImage.size(), 35u);
    for (std::size_t i = 0; i < 35; ++i) EXPECT_EQ(kLightingResetImage[i], expected[i]) << "offset " << i;
}

TEST(LightingRecord, ResetImageMeansTheFactoryLighting) {
    LightingMirror m;
    m.FillFromRecord(ResetRecord());
    EXPECT_EQ(m.effect, 1);
    EXPECT_EQ(m.brightness, 4);
    EXPECT_EQ(m.speed, 1);
    EXPECT_EQ(m.SpeedPosition(), 4);
    EXPECT_EQ(m.direction, 0x00);
    EXPECT_TRUE(m.random);
    EXPECT_EQ(m.colour, kRed);
    EXPECT_EQ(m.reportRate, 3) << "report-rate byte 0xFF shows as index 3";
    EXPECT_EQ(m.presetColour, 0);
    EXPECT_TRUE(m.triggerSingle);
    EXPECT_FALSE(m.triggerGrid);
    EXPECT_EQ(m.secondColour, kWhite);
    EXPECT_EQ(m.thirdColour, kWhite);
    EXPECT_FALSE(m.secondRandom);
    EXPECT_FALSE(m.thirdRandom);
}

TEST(LightingMirror, OutOfRangeBytesAreShownSafely) {
    LightingRecord r;
    r.bytes[LightingRecord::kReportRate] = 7;
    r.bytes[LightingRecord::kPresetColour] = 9;
    r.bytes[LightingRecord::kBrightness] = 200;
    r.bytes[LightingRecord::kSpeed] = 6;
    LightingMirror m;
    m.presetColour = 2;
    m.FillFromRecord(r);
    EXPECT_EQ(m.reportRate, 3);
    EXPECT_EQ(m.presetColour, 0);
    EXPECT_EQ(m.brightness, 5);
    EXPECT_EQ(m.speed, 5);
}

TEST(LightingMirror, EffectSevenFlagIsReadOnlyForEffectSeven) {
    LightingRecord r;
    r.bytes[LightingRecord::kEffectSevenFlag] = 1;
    r.bytes[LightingRecord::kEffect] = 5;
    LightingMirror m;
    m.FillFromRecord(r);
    EXPECT_FALSE(m.effectSevenFlag);

    r.bytes[LightingRecord::kEffect] = 7;
    m.FillFromRecord(r);
    EXPECT_TRUE(m.effectSevenFlag);

    r.bytes[LightingRecord::kEffectSevenFlag] = 2;  // not 0 or 1: ignored
    m.FillFromRecord(r);
    EXPECT_TRUE(m.effectSevenFlag);

    r.bytes[LightingRecord::kEffectSevenFlag] = 0;
    m.FillFromRecord(r);
    EXPECT_FALSE(m.effectSevenFlag);
}

TEST(LightingMirror, TriggerKindIsReadOnlyWhenZeroOrOne) {
    LightingRecord r;
    r.bytes[LightingRecord::kTrigger] = 1;
    LightingMirror m;
    m.FillFromRecord(r);
    EXPECT_TRUE(m.IsTrigger(Trigger::Grid));
    EXPECT_FALSE(m.IsTrigger(Trigger::Single));

    r.bytes[LightingRecord::kTrigger] = 5;
    m.FillFromRecord(r);
    EXPECT_TRUE(m.IsTrigger(Trigger::Grid)) << "other values keep the held kind";
}

TEST(LightingMirror, RandomFlagsAreAnyNonZeroByte) {
    LightingRecord r;
    r.bytes[LightingRecord::kRandom] = 0x80;
    r.bytes[LightingRecord::kSecondRandom] = 2;
    r.bytes[LightingRecord::kThirdRandom] = 0;
    LightingMirror m;
    m.FillFromRecord(r);
    EXPECT_TRUE(m.random);
    EXPECT_TRUE(m.secondRandom);
    EXPECT_FALSE(m.thirdRandom);
}

}  // namespace
}  // namespace talvenix::lighting
