// Lighting read-back and writes against the simulated keyboard: the frames it receives and the
// memory it ends up with.
#include <gtest/gtest.h>

#include <vector>

#include "core/device/Commands.h"
#include "core/lighting/ColourKeysMode.h"
#include "core/lighting/LightingController.h"
#include "core/lighting/LightingResult.h"
#include "core/text/IniFile.h"
#include "tests/support/SimKeyboard.h"
#include "tests/support/TempHome.h"

namespace talvenix::lighting {
namespace {

using device::kCmdBeginUpdate;
using device::kCmdEndUpdate;
using device::kCmdWriteLighting;

struct LightingWrite {
    int address;
    std::vector<std::uint8_t> bytes;
    bool operator==(const LightingWrite&) const = default;
};

class LightingWrites : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(lighting.ReadLighting(1), 0);
        sim.ClearFrames();
    }

    std::vector<int> Commands() const {
        std::vector<int> out;
        for (const auto& f : sim.Frames()) out.push_back(f[device::kOffCommand]);
        return out;
    }

    std::vector<LightingWrite> Writes() const {
        std::vector<LightingWrite> out;
        for (const auto& f : sim.FramesOf(kCmdWriteLighting)) {
            const int length = f[device::kOffLength];
            out.push_back({device::FrameAddress(f), {f.begin() + 8, f.begin() + 8 + length}});
        }
        return out;
    }

    std::vector<std::uint8_t> Record(int profile) const {
        return sim.Memory(PELLORAN_SIM_LIGHTING, static_cast<std::uint32_t>(profile * 42), 42);
    }

    test::SimKeyboard sim;
    LightingController lighting{sim.Transport()};
};

TEST_F(LightingWrites, ReadBackFillsRecordsMirrorAndCombo) {
    std::vector<std::uint8_t> rec(42, 0);
    rec[0] = 12;
    rec[1] = 2;
    rec[2] = 3;
    rec[3] = 0xFF;
    rec[5] = 10, rec[6] = 20, rec[7] = 30;
    rec[15] = 0xFF;
    rec[19] = 1;
    rec[40] = 0x5A;
    sim.SetMemory(PELLORAN_SIM_LIGHTING, 84, rec);
    ASSERT_TRUE(lighting.SetProfile(2));
    sim.ClearFrames();

    ASSERT_EQ(lighting.ReadLighting(1), 0);
    const auto& m = lighting.Mirror();
    EXPECT_EQ(m.effect, 12);
    EXPECT_EQ(m.brightness, 2);
    EXPECT_EQ(m.SpeedPosition(), 2);
    EXPECT_EQ(m.direction, 0xFF);
    EXPECT_EQ(m.colour, MakeColour(10, 20, 30));
    EXPECT_EQ(m.reportRate, 3);
    EXPECT_TRUE(m.triggerGrid);
    EXPECT_EQ(lighting.Record(2).bytes[40], 0x5A);
    EXPECT_EQ(lighting.Record(0).bytes[0], 1) << "profile 0 holds the reset image";

    // The simulator offers 1..18 and 20.
    ASSERT_EQ(lighting.ComboItems().size(), 19u);
    EXPECT_EQ(lighting.ComboMap().IndexOf(20), 18);
    EXPECT_EQ(lighting.ComboMap().IndexOf(19), -1);
    EXPECT_EQ(lighting.ComboItems()[0].name, "1") << "no skin file: names default to 1";

    // Configuration block read alone; the three record reads inside begin / end.
    EXPECT_EQ(Commands(), (std::vector<int>{3, 1, 5, 5, 5, 2}));
    const auto reads = sim.FramesOf(device::kCmdReadLighting);
    ASSERT_EQ(reads.size(), 3u);
    EXPECT_EQ(device::FrameAddress(reads[0]), 0);
    EXPECT_EQ(device::FrameAddress(reads[1]), 42);
    EXPECT_EQ(device::FrameAddress(reads[2]), 84);
}

TEST_F(LightingWrites, ReadBackWithoutKeyboardFailsAndKeepsTheMirror) {
    ASSERT_TRUE(lighting.SetProfile(0));
    ASSERT_EQ(lighting.SetBrightness(2), 1);
    sim.Control("unplug");
    EXPECT_EQ(lighting.ReadLighting(1), -1);
    EXPECT_TRUE(lighting.ComboItems().empty());
    EXPECT_EQ(lighting.ComboMap().Size(), 0u);
    EXPECT_EQ(lighting.Mirror().brightness, 2);
}

TEST_F(LightingWrites, SelectingEffectSevenWritesCodeThenRandomFlag) {
    const int index = lighting.ComboMap().IndexOf(7);
    ASSERT_GE(index, 0);
    EXPECT_EQ(lighting.SelectEffect(index), 1);
    EXPECT_EQ(Commands(),
              (std::vector<int>{kCmdBeginUpdate, kCmdWriteLighting, kCmdWriteLighting, kCmdEndUpdate}));
    // The reset image has random colour on.
    EXPECT_EQ(Writes(), (std::vector<LightingWrite>{{0, {7}}, {4, {1}}}));
    EXPECT_EQ(Record(0)[0], 7);
    EXPECT_EQ(lighting.Mirror().effect, 7);
}

TEST_F(LightingWrites, SelectingEffectTwelveWritesOnlyTheCode) {
    EXPECT_EQ(lighting.SelectEffectCode(12), 1);
    EXPECT_EQ(Writes(), (std::vector<LightingWrite>{{0, {12}}}));
}

TEST_F(LightingWrites, SelectingCodeNineteenSendsNothing) {
    // Offer 19 in the configuration block so the combo can show it.
    std::vector<std::uint8_t> offered(32, 0);
    offered[0] = 19;
    offered[1] = 4;
    sim.SetMemory(PELLORAN_SIM_CONFIG, 12, offered);
    ASSERT_EQ(lighting.ReadLighting(1), 0);
    sim.ClearFrames();
    EXPECT_EQ(lighting.SelectEffect(0), 1);
    EXPECT_TRUE(sim.Frames().empty());
    EXPECT_EQ(lighting.Mirror().effect, 19) << "the combo shows it all the same";
    EXPECT_EQ(lighting.SelectEffect(5), kLightingBadArgument) << "only two entries";
    EXPECT_TRUE(sim.Frames().empty());
}

TEST_F(LightingWrites, SpeedSliderWritesFiveMinusPositionOnlyOnChange) {
    ASSERT_EQ(lighting.SetSpeed(0), 1);
    ASSERT_EQ(lighting.SetSpeed(0), 1);
    ASSERT_EQ(lighting.SetSpeed(5), 1);
    ASSERT_EQ(lighting.SetSpeed(5), 1);
    EXPECT_EQ(Writes(), (std::vector<LightingWrite>{{2, {5}}, {2, {0}}}));
    EXPECT_EQ(Record(0)[2], 0);
    EXPECT_EQ(lighting.SetSpeed(6), kLightingBadArgument);
    EXPECT_EQ(lighting.SetSpeed(-1), kLightingBadArgument);
    EXPECT_EQ(Writes().size(), 2u);
}

TEST_F(LightingWrites, BrightnessWritesPositionOnlyOnChange) {
    ASSERT_EQ(lighting.Mirror().brightness, 4);
    EXPECT_EQ(lighting.SetBrightness(4), 1);
    EXPECT_TRUE(sim.Frames().empty());
    EXPECT_EQ(lighting.SetBrightness(0), 1);
    EXPECT_EQ(Writes(), (std::vector<LightingWrite>{{1, {0}}}));
}

TEST_F(LightingWrites, OutOfRangeBrightnessAndSpeedAreOverwrittenByTheCappedPosition) {
    // The mirror shows bytes above 5 as 5; moving the slider to what it shows must still reach
    // the keyboard, which holds something else.
    sim.SetMemory(PELLORAN_SIM_LIGHTING, 1, {9, 8});
    ASSERT_EQ(lighting.ReadLighting(1), 0);
    ASSERT_EQ(lighting.Mirror().brightness, 5);
    ASSERT_EQ(lighting.Mirror().SpeedPosition(), 0);
    sim.ClearFrames();

    EXPECT_EQ(lighting.SetBrightness(5), 1);
    EXPECT_EQ(lighting.SetSpeed(0), 1);
    EXPECT_EQ(lighting.SetBrightness(5), 1);
    EXPECT_EQ(lighting.SetSpeed(0), 1);
    EXPECT_EQ(Writes(), (std::vector<LightingWrite>{{1, {5}}, {2, {5}}})) << "repeats still send nothing";
    EXPECT_EQ(Record(0)[1], 5);
    EXPECT_EQ(Record(0)[2], 5);
}

TEST_F(LightingWrites, ColourClearsRandomAndFyClearsTheEffectSevenFlag) {
    sim.SetMemory(PELLORAN_SIM_LIGHTING, 0, {7});
    sim.SetMemory(PELLORAN_SIM_LIGHTING, 18, {1});
    ASSERT_EQ(lighting.ReadLighting(1), 0);
    ASSERT_TRUE(lighting.Mirror().effectSevenFlag);
    sim.ClearFrames();

    EXPECT_EQ(lighting.SetColour(MakeColour(1, 2, 3), ColourButton::Hx), 1);
    EXPECT_EQ(Writes(), (std::vector<LightingWrite>{{4, {0}}, {5, {1, 2, 3}}}));
    EXPECT_FALSE(lighting.Mirror().random);
    EXPECT_TRUE(lighting.Mirror().effectSevenFlag);

    EXPECT_EQ(lighting.SetColour(MakeColour(9, 9, 9), ColourButton::Fy), 1);
    EXPECT_FALSE(lighting.Mirror().effectSevenFlag);
    EXPECT_EQ(Record(0)[18], 1) << "the flag itself is never written";

    EXPECT_EQ(lighting.SetColour(0x1000000), kLightingBadArgument);
}

TEST_F(LightingWrites, RandomTogglesWriteTheNewFlag) {
    ASSERT_TRUE(lighting.Mirror().random);
    EXPECT_EQ(lighting.ToggleRandom(), 1);
    EXPECT_EQ(lighting.ToggleRandom(ColourButton::Fy), 1);
    EXPECT_EQ(lighting.ToggleSecondRandom(), 1);
    EXPECT_EQ(lighting.ToggleThirdRandom(), 1);
    EXPECT_EQ(Writes(), (std::vector<LightingWrite>{{4, {0}}, {4, {1}}, {28, {1}}, {33, {1}}}));
    EXPECT_TRUE(lighting.Mirror().effectSevenFlag) << "the FY toggle flips it with the random flag";
}

TEST_F(LightingWrites, TriggerIsWrittenOnlyWhenItChanges) {
    ASSERT_TRUE(lighting.Mirror().triggerSingle);
    EXPECT_EQ(lighting.SetTrigger(Trigger::Single), 1);
    EXPECT_EQ(lighting.SetTrigger(Trigger::Grid), 1);
    EXPECT_EQ(lighting.SetTrigger(Trigger::Grid), 1);
    EXPECT_EQ(Writes(), (std::vector<LightingWrite>{{19, {1}}}));
}

TEST_F(LightingWrites, OtherFieldWrites) {
    EXPECT_EQ(lighting.SetDirection(DirectionButton::First), 1);
    EXPECT_EQ(lighting.SetDirection(DirectionButton::Second), 1);
    EXPECT_EQ(lighting.SetSecondColour(MakeColour(4, 5, 6)), 1);
    EXPECT_EQ(lighting.SetThirdColour(MakeColour(7, 8, 9)), 1);
    EXPECT_EQ(lighting.SetPresetColour(3), 1);
    EXPECT_EQ(lighting.SetReportRate(2), 1);
    EXPECT_EQ(Writes(), (std::vector<LightingWrite>{{3, {0xFF}},
                                                    {3, {0x00}},
                                                    {28, {0}},
                                                    {25, {4, 5, 6}},
                                                    {33, {0}},
                                                    {30, {7, 8, 9}},
                                                    {17, {3}},
                                                    {15, {2}}}));
    EXPECT_EQ(lighting.SetPresetColour(4), kLightingBadArgument);
    EXPECT_EQ(lighting.SetReportRate(-1), kLightingBadArgument);
    EXPECT_EQ(Writes().size(), 8u);
    // Each operation is its own transaction.
    EXPECT_EQ(sim.FramesOf(kCmdBeginUpdate).size(), 6u);
    EXPECT_EQ(sim.FramesOf(kCmdEndUpdate).size(), 6u);
}

TEST_F(LightingWrites, ResetImageCoversOffsetsZeroToThirtyFourOnly) {
    ASSERT_TRUE(lighting.SetProfile(1));
    std::vector<std::uint8_t> filler(42, 0xAB);
    sim.SetMemory(PELLORAN_SIM_LIGHTING, 42, filler);
    sim.SetMemory(PELLORAN_SIM_LIGHTING, 84, {3});
    const auto profile0 = Record(0), profile2 = Record(2);

    EXPECT_EQ(lighting.ResetLighting(), 1);
    EXPECT_EQ(Record(0), profile0);
    EXPECT_EQ(Record(2), profile2);
    const auto writes = Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].address, 42);
    EXPECT_EQ(writes[0].bytes.size(), 35u);
    const auto rec = Record(1);
    EXPECT_TRUE(std::equal(kLightingResetImage.begin(), kLightingResetImage.end(), rec.begin()));
    for (std::size_t i = 35; i < 42; ++i) EXPECT_EQ(rec[i], 0xAB) << "offset " << i;
    EXPECT_EQ(lighting.Mirror().effect, 1);
    EXPECT_EQ(lighting.Mirror().reportRate, 3);
}

TEST_F(LightingWrites, EveryWriteOfProfileTwoStaysInItsRecord) {
    ASSERT_TRUE(lighting.SetProfile(2));
    ASSERT_EQ(lighting.ReadLighting(1), 0);
    sim.ClearFrames();
    lighting.SelectEffectCode(3);
    lighting.SetBrightness(1);
    lighting.SetSpeed(1);
    lighting.SetDirection(DirectionButton::First);
    lighting.SetColour(MakeColour(1, 1, 1));
    lighting.ToggleRandom();
    lighting.SetTrigger(Trigger::Grid);
    lighting.SetSecondColour(kRed);
    lighting.SetThirdColour(kRed);
    lighting.ToggleSecondRandom();
    lighting.ToggleThirdRandom();
    lighting.SetPresetColour(1);
    lighting.SetReportRate(1);
    lighting.ResetLighting();
    const auto writes = Writes();
    ASSERT_EQ(writes.size(), 18u);
    for (const auto& w : writes) {
        EXPECT_GE(w.address, 84);
        EXPECT_LE(w.address + static_cast<int>(w.bytes.size()), 126);
    }
    EXPECT_EQ(Record(2)[0], 1);
}

TEST_F(LightingWrites, FailedWriteIsReportedButTheMirrorFollows) {
    sim.Control("fault status-fe 3");
    EXPECT_EQ(lighting.SetBrightness(1), -103) << "begin refused three times";
    EXPECT_EQ(lighting.Mirror().brightness, 1);

    sim.Control("unplug");
    EXPECT_EQ(lighting.SetReportRate(0), 0);
    EXPECT_EQ(lighting.Mirror().reportRate, 0);
    EXPECT_EQ(lighting.SetReportRate(0), 0) << "report rate has no no-op rule";
}

TEST_F(LightingWrites, ColourKeysModeIsReadFromTheSettingsFile) {
    test::TempHome home;
    const auto settings = home.DocumentsFolder() / "Talvenix" / "wskb.ini";
    LightingController withFiles{sim.Transport(), {{}, settings}};
    ASSERT_EQ(withFiles.ReadLighting(0), 0);
    EXPECT_FALSE(withFiles.ColourKeysMode()) << "missing reads as 0";

    ASSERT_TRUE(withFiles.SetColourKeysMode(true));
    EXPECT_EQ(text::IniFile(settings).Get("KEYCOLOR", "DengCheck", ""), "1");
    ASSERT_TRUE(WriteColourKeysMode(settings, false));
    ASSERT_EQ(withFiles.ReadLighting(0), 0);
    EXPECT_FALSE(withFiles.ColourKeysMode());
    test::WriteFileBytes(settings, "[keycolor]\ndengcheck=1\n");
    ASSERT_EQ(withFiles.ReadLighting(0), 0);
    EXPECT_TRUE(withFiles.ColourKeysMode());
}

TEST_F(LightingWrites, EffectNamesComeFromTheSkin) {
    test::TempHome home;
    const auto skin = home.Path() / "Main.ini";
    test::WriteFileBytes(skin, "[Mode1]\n1=Rainbow wave\n20=Custom keys\n");
    LightingController withFiles{sim.Transport(), {skin, {}}};
    ASSERT_EQ(withFiles.ReadLighting(1), 0);
    EXPECT_EQ(withFiles.ComboItems().front().name, "Rainbow wave");
    EXPECT_EQ(withFiles.ComboItems().back().code, 20);
    EXPECT_EQ(withFiles.ComboItems().back().name, "Custom keys");
    EXPECT_EQ(withFiles.ComboItems()[1].name, "1");
}

}  // namespace
}  // namespace talvenix::lighting

namespace talvenix::lighting {
namespace {

// The simulated keyboard behind a library whose write entry point makes the keyboard refuse
// every lighting read of profile 0's record (status 0xFE) while gRefuse is set, and nothing else.
bool gRefuse = false;
int RefuseRecordZeroReads(const HidUnitFilter* filter, std::uint32_t a2, std::uint32_t a3,
                          const std::uint8_t* data, std::uint32_t length, std::uint32_t checksum,
                          std::uint32_t reserved) {
    // `data` is the 64-byte report: command at 3, address at 5..6.
    if (gRefuse && length >= 7 && data[3] == device::kCmdReadLighting && data[5] == 0 && data[6] == 0) {
        char reply[128];
        PelloranSimControl("fault status-fe 1", reply, sizeof reply);
    }
    return ::RequestWriteOne(filter, a2, a3, data, length, checksum, reserved);
}

TEST(LightingReadBack, AnUnreadableRecordKeepsItsPreviousContents) {
    device::ServiceLibraryLink link = test::SimulatorLink();
    link.RequestWriteOne = &RefuseRecordZeroReads;
    device::DeviceLink device(link, test::FastTiming());
    PelloranSimReset();
    char reply[128];
    ASSERT_EQ(PelloranSimControl("latency 0", reply, sizeof reply), 0);
    device.RegisterStandingReads();

    LightingController lighting{device.Transport()};
    ASSERT_TRUE(lighting.SetProfile(1));
    const std::uint8_t twelve = 12;
    ASSERT_EQ(PelloranSimWriteMemory(PELLORAN_SIM_LIGHTING, 42, &twelve, 1), 1);
    ASSERT_EQ(PelloranSimWriteMemory(PELLORAN_SIM_LIGHTING, 0, &twelve, 1), 1);

    gRefuse = false;
    ASSERT_EQ(lighting.ReadLighting(1), 0);
    ASSERT_EQ(lighting.Record(0).bytes[0], 12);

    const std::uint8_t seven = 7;
    ASSERT_EQ(PelloranSimWriteMemory(PELLORAN_SIM_LIGHTING, 0, &seven, 1), 1);
    ASSERT_EQ(PelloranSimWriteMemory(PELLORAN_SIM_LIGHTING, 84, &seven, 1), 1);
    gRefuse = true;
    EXPECT_EQ(lighting.ReadLighting(1), 0) << "the current profile's record was read";
    EXPECT_EQ(lighting.Mirror().effect, 12);
    EXPECT_EQ(lighting.Record(0).bytes[0], 12) << "unreadable: keeps what was read before";
    EXPECT_EQ(lighting.Record(2).bytes[0], 7);

    ASSERT_TRUE(lighting.SetProfile(0));
    ASSERT_EQ(lighting.SelectEffectCode(5), 1);
    EXPECT_EQ(lighting.ReadLighting(1), -1) << "the current profile's record could not be read";
    EXPECT_EQ(lighting.Mirror().effect, 5) << "the mirror keeps what it had";
    EXPECT_EQ(lighting.ComboMap().Size(), 19u) << "the combo is rebuilt all the same";
    gRefuse = false;
}

}  // namespace
}  // namespace talvenix::lighting
