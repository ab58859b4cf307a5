// Per-key colours against the simulated keyboard and real colour files.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "core/device/Commands.h"
#include "core/lighting/LightingActions.h"
#include "core/lighting/LightingResult.h"
#include "core/lighting/UserColours.h"
#include "core/text/IniFile.h"
#include "tests/support/SimKeyboard.h"
#include "tests/support/TempHome.h"

namespace talvenix::lighting {
namespace {

namespace fs = std::filesystem;
using device::kCmdWriteKeyColours;

constexpr PaintButton kButtonA = 0;     // slot 64
constexpr PaintButton kButtonEsc = 37;  // slot 0

class UserColoursTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = home.DocumentsFolder() / "Talvenix";
        fs::create_directories(folder);
        ASSERT_EQ(lighting.ReadLighting(1), 0);
        sim.ClearFrames();
    }

    fs::path File(int n) const { return UserColourFilePath(folder, n); }
    std::string Entry(int n, const std::string& section, const std::string& key) const {
        return text::IniFile(File(n)).Get(section, key, "<none>");
    }
    std::vector<std::uint8_t> Bank(int profile) const {
        return sim.Memory(PELLORAN_SIM_COLOURS, static_cast<std::uint32_t>(profile * 512), 512);
    }
    Colour BankColour(int profile, int slot) const {
        const auto bank = Bank(profile);
        const auto i = static_cast<std::size_t>(slot) * 3;
        return MakeColour(bank[i], bank[i + 1], bank[i + 2]);
    }
    void SelectPerKeyEffect() {
        ASSERT_EQ(lighting.SelectEffectCode(kEffectPerKeyColours), 1);
        sim.ClearFrames();
    }

    test::TempHome home;
    test::SimKeyboard sim;
    fs::path folder;
    LightingController lighting{sim.Transport()};
    UserColours colours{lighting, home.DocumentsFolder() / "Talvenix"};
};

TEST_F(UserColoursTest, SelectingSetThreeOfProfileOneSendsTheWholeTable) {
    test::WriteFileBytes(File(1), "[Mode3]\ntool=1\njcolor=1,2,3\ncolor=4,5,6\n64=0,0,255,0\n0=0,255,0,7\n");
    ASSERT_TRUE(lighting.SetProfile(1));

    ASSERT_EQ(colours.SelectSet(3), 1);
    EXPECT_EQ(Entry(1, "PRESENTMODE", "mode"), "3");
    EXPECT_EQ(colours.CurrentSet(), 3);
    EXPECT_EQ(colours.Tool(), 1);
    EXPECT_EQ(colours.BaseColour(), MakeColour(1, 2, 3));
    EXPECT_EQ(colours.PaintColour(), MakeColour(4, 5, 6));

    const auto writes = sim.FramesOf(kCmdWriteKeyColours);
    ASSERT_EQ(writes.size(), 8u);
    for (std::size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(device::FrameAddress(writes[i]), 512 + 54 * i);
        EXPECT_EQ(writes[i][device::kOffLength], 54);
    }
    EXPECT_EQ(sim.FramesOf(device::kCmdBeginUpdate).size(), 1u);
    EXPECT_EQ(sim.FramesOf(device::kCmdEndUpdate).size(), 1u);

    EXPECT_EQ(BankColour(1, 64), MakeColour(0, 0, 255));
    EXPECT_EQ(BankColour(1, 0), MakeColour(0, 255, 0));
    EXPECT_EQ(BankColour(1, 110), kRed) << "Fn reads its default entry";
    EXPECT_FALSE(colours.Table(1).baseFlag[kButtonA]);
    EXPECT_TRUE(colours.Table(1).baseFlag[kButtonEsc]);
    EXPECT_EQ(BankColour(0, 0), kBlack) << "profile 0's bank untouched";
    // Past slot 125 the last chunk carries zeros.
    const auto bank = Bank(1);
    for (std::size_t i = 378; i < 432; ++i) EXPECT_EQ(bank[i], 0) << i;
}

TEST_F(UserColoursTest, MissingFileGivesRedKeysWithTheirBaseFlag) {
    ASSERT_EQ(colours.ApplyUserColourSet(), 1);
    EXPECT_EQ(colours.CurrentSet(), 0);
    EXPECT_EQ(colours.Tool(), 0);
    EXPECT_EQ(colours.BaseColour(), kBlack);
    EXPECT_EQ(colours.PaintColour(), kBlack);
    for (PaintButton b = 0; b < kKeyButtonCount; ++b) {
        EXPECT_EQ(colours.ButtonColour(b), kRed) << b;
        EXPECT_TRUE(colours.Table(0).baseFlag[static_cast<std::size_t>(b)]) << b;
    }
    EXPECT_EQ(BankColour(0, 0), kRed);
    EXPECT_EQ(BankColour(0, 13), kBlack) << "row 0, column 13 has no key";
    EXPECT_EQ(colours.SetNames()[9], "0");
}

TEST_F(UserColoursTest, PaintingAGKeyChangesTheSharedSlot) {
    ASSERT_EQ(colours.ApplyUserColourSet(), 1);
    SelectPerKeyEffect();
    ASSERT_EQ(colours.SetPaintColour(MakeColour(10, 20, 30)), 1);

    ASSERT_EQ(colours.PaintKey(GButton(4)), 1);
    const auto writes = sim.FramesOf(kCmdWriteKeyColours);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(device::FrameAddress(writes[0]), 125 * 3);
    EXPECT_EQ(writes[0][device::kOffLength], 3);
    EXPECT_EQ(BankColour(0, 125), MakeColour(10, 20, 30));
    EXPECT_EQ(colours.ButtonColour(GButton(0)), MakeColour(10, 20, 30)) << "all G keys show the shared slot";
    EXPECT_EQ(Entry(0, "Mode0", "125"), "10,20,30,0");
    EXPECT_FALSE(colours.Table(0).baseFlag[static_cast<std::size_t>(GButton(4))]);

    // The next start sends the painted G colour again instead of darkening the G keys.
    UserColours later{lighting, folder};
    sim.ClearFrames();
    ASSERT_EQ(later.ApplyUserColourSet(), 1);
    EXPECT_EQ(BankColour(0, 125), MakeColour(10, 20, 30));
}

TEST_F(UserColoursTest, ADragPaintsEveryKeyPassedOverInOneTransaction) {
    ASSERT_EQ(colours.ApplyUserColourSet(), 1);
    SelectPerKeyEffect();
    ASSERT_EQ(colours.SetPaintColour(MakeColour(1, 2, 3)), 1);
    sim.ClearFrames();

    // Q W E R T: slots 43..47, reached in drag order with T passed twice.
    const std::vector<PaintButton> drag = {16, 22, 4, 17, 19, 19};
    ASSERT_EQ(colours.PaintKeys(drag), 1);
    EXPECT_EQ(sim.FramesOf(device::kCmdBeginUpdate).size(), 1u);
    EXPECT_EQ(sim.FramesOf(device::kCmdEndUpdate).size(), 1u);
    const auto writes = sim.FramesOf(kCmdWriteKeyColours);
    ASSERT_EQ(writes.size(), 1u) << "consecutive slots travel in one write";
    EXPECT_EQ(device::FrameAddress(writes[0]), 43 * 3);
    EXPECT_EQ(writes[0][device::kOffLength], 15);
    for (int slot = 43; slot <= 47; ++slot) {
        EXPECT_EQ(BankColour(0, slot), MakeColour(1, 2, 3)) << slot;
        EXPECT_EQ(Entry(0, "Mode0", std::to_string(slot)), "1,2,3,0") << slot;
    }
    EXPECT_EQ(BankColour(0, 48), kRed) << "Y was not passed over";

    // Scattered keys, two G keys sharing slot 125 and the base-colour tool: one write per run.
    ASSERT_EQ(colours.SelectTool(1), 1);
    ASSERT_EQ(colours.SetBaseColour(MakeColour(7, 8, 9)), 1);
    sim.ClearFrames();
    const std::vector<PaintButton> scattered = {kButtonA, GButton(0), kButtonEsc, GButton(5), 16};
    ASSERT_EQ(colours.PaintKeys(scattered), 1);
    std::vector<std::uint32_t> addresses;
    for (const auto& f : sim.FramesOf(kCmdWriteKeyColours)) addresses.push_back(device::FrameAddress(f));
    EXPECT_EQ(addresses, (std::vector<std::uint32_t>{0, 43 * 3, 64 * 3, 125 * 3}));
    EXPECT_EQ(sim.FramesOf(device::kCmdBeginUpdate).size(), 1u);
    EXPECT_TRUE(colours.Table(0).baseFlag[static_cast<std::size_t>(GButton(0))]);
    EXPECT_TRUE(colours.Table(0).baseFlag[static_cast<std::size_t>(GButton(5))]);
    EXPECT_EQ(Entry(0, "Mode0", "125"), "7,8,9,1");

    // One bad button refuses the whole stroke before anything changes.
    sim.ClearFrames();
    const std::vector<PaintButton> bad = {kButtonA, kPaintButtonCount};
    EXPECT_EQ(colours.PaintKeys(bad), kLightingBadArgument);
    EXPECT_TRUE(sim.Frames().empty());
}

TEST_F(UserColoursTest, ARunLongerThanAChunkIsSplit) {
    ASSERT_EQ(colours.ApplyUserColourSet(), 1);
    SelectPerKeyEffect();
    // Row 1, columns 0..20 (slots 21..41): every key of the number row and beyond.
    std::vector<PaintButton> row;
    for (PaintButton b = 0; b < kKeyButtonCount; ++b) {
        const int slot = *SlotOfButton(b);
        if (slot >= 21 && slot <= 41) row.push_back(b);
    }
    ASSERT_EQ(row.size(), 21u);
    sim.ClearFrames();
    ASSERT_EQ(colours.PaintKeys(row), 1);
    const auto writes = sim.FramesOf(kCmdWriteKeyColours);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0][device::kOffLength], 54);
    EXPECT_EQ(device::FrameAddress(writes[1]), 39 * 3);
    EXPECT_EQ(writes[1][device::kOffLength], 9);
}

TEST_F(UserColoursTest, PaintingNeedsThePerKeyEffectAndAKnownTool) {
    ASSERT_EQ(colours.ApplyUserColourSet(), 1);
    ASSERT_EQ(lighting.SelectEffectCode(4), 1);
    sim.ClearFrames();
    EXPECT_EQ(colours.PaintKey(kButtonA), 1);
    EXPECT_TRUE(sim.Frames().empty());
    EXPECT_FALSE(fs::exists(File(0)));

    SelectPerKeyEffect();
    EXPECT_EQ(colours.PaintKey(kPaintButtonCount), kLightingBadArgument);
    EXPECT_EQ(colours.SelectTool(2), kLightingBadArgument);
    EXPECT_TRUE(sim.Frames().empty());
}

TEST_F(UserColoursTest, BaseColourRepaintsOnlyKeysPaintedWithIt) {
    ASSERT_EQ(colours.ApplyUserColourSet(), 1);
    SelectPerKeyEffect();
    // Paint A with the colour (flag 0) and Esc with the base colour (flag 1).
    ASSERT_EQ(colours.SetPaintColour(MakeColour(0, 0, 200)), 1);
    ASSERT_EQ(colours.PaintKey(kButtonA), 1);
    ASSERT_EQ(colours.SelectTool(1), 1);
    ASSERT_EQ(colours.PaintKey(kButtonEsc), 1);
    sim.ClearFrames();

    ASSERT_EQ(colours.SetBaseColour(MakeColour(0, 255, 0)), 1);
    EXPECT_EQ(colours.ButtonColour(kButtonA), MakeColour(0, 0, 200));
    EXPECT_EQ(colours.ButtonColour(kButtonEsc), MakeColour(0, 255, 0));
    EXPECT_EQ(colours.ButtonColour(kFnButton), MakeColour(0, 255, 0));
    EXPECT_EQ(BankColour(0, 64), MakeColour(0, 0, 200));
    EXPECT_EQ(BankColour(0, 0), MakeColour(0, 255, 0));
    EXPECT_EQ(sim.FramesOf(kCmdWriteKeyColours).size(), 8u);

    EXPECT_EQ(Entry(0, "Mode0", "64"), "0,0,200,0");
    EXPECT_EQ(Entry(0, "Mode0", "0"), "0,255,0,1");
    EXPECT_EQ(Entry(0, "Mode0", "jcolor"), "0,255,0");
    EXPECT_EQ(Entry(0, "Mode0", "color"), "0,0,200");
    EXPECT_EQ(Entry(0, "Mode0", "tool"), "1");

    // The same base colour again changes nothing.
    sim.ClearFrames();
    EXPECT_EQ(colours.SetBaseColour(MakeColour(0, 255, 0)), 1);
    EXPECT_TRUE(sim.Frames().empty());

    // A fresh read of the file gives the same picture.
    UserColours again{lighting, folder};
    ASSERT_EQ(again.ApplyUserColourSet(), 1);
    EXPECT_EQ(again.ButtonColour(kButtonA), MakeColour(0, 0, 200));
    EXPECT_EQ(again.ButtonColour(kButtonEsc), MakeColour(0, 255, 0));
}

TEST_F(UserColoursTest, RenamingWritesTheNameOfTheCurrentSet) {
    test::WriteFileBytes(File(0), "[PRESENTMODE]\nmode=2\n[MODENAME]\n0=First\n");
    ASSERT_EQ(colours.ApplyUserColourSet(), 1);
    EXPECT_EQ(colours.SetNames()[0], "First");
    ASSERT_EQ(colours.RenameSet("Night shift"), 1);
    EXPECT_EQ(Entry(0, "MODENAME", "2"), "Night shift");
    EXPECT_EQ(colours.SetNames()[2], "Night shift");
    EXPECT_EQ(colours.RenameSet("two\nlines"), kLightingBadArgument);
    EXPECT_EQ(colours.RenameSet(std::string(300, 'x')), kLightingBadArgument);
    EXPECT_EQ(Entry(0, "MODENAME", "2"), "Night shift");
}

TEST_F(UserColoursTest, ResetCopiesTheFactoryFileAndAppliesIt) {
    test::WriteFileBytes(File(3), "[PRESENTMODE]\nmode=1\n[MODENAME]\n1=Factory\n[Mode1]\n0=1,2,3,1\n");
    test::WriteFileBytes(File(0), "[PRESENTMODE]\nmode=0\n[Mode0]\n0=9,9,9,0\n");
    ASSERT_EQ(colours.ResetUserColours(), 1);
    EXPECT_EQ(test::ReadFileBytes(File(0)), test::ReadFileBytes(File(3)));
    EXPECT_EQ(colours.CurrentSet(), 1);
    EXPECT_EQ(colours.SetNames()[1], "Factory");
    EXPECT_EQ(BankColour(0, 0), MakeColour(1, 2, 3));
}

TEST_F(UserColoursTest, RgbBoxesFollowTheEffectAndTool) {
    lighting.SetColourKeysMode(true);
    ASSERT_EQ(colours.ApplyUserColourSet(), 1);
    ASSERT_EQ(lighting.SelectEffectCode(4), 1);
    sim.ClearFrames();
    auto out = ApplyRgbBoxes(lighting, colours, 300, 0, 0);
    EXPECT_EQ(out.shown, (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(out.target, RgbTarget::None);
    EXPECT_TRUE(sim.Frames().empty()) << "effect 4 takes no colour";

    ASSERT_EQ(lighting.SelectEffectCode(1), 1);
    out = ApplyRgbBoxes(lighting, colours, 300, 1, 2);
    EXPECT_EQ(out.target, RgbTarget::HxColour);
    EXPECT_EQ(lighting.Mirror().colour, MakeColour(255, 1, 2));
    EXPECT_EQ(sim.Memory(PELLORAN_SIM_LIGHTING, 5, 3), (std::vector<std::uint8_t>{255, 1, 2}));

    ASSERT_EQ(lighting.SelectEffectCode(20), 1);
    out = ApplyRgbBoxes(lighting, colours, 7, 7, 7);
    EXPECT_EQ(out.target, RgbTarget::PaintColour);
    EXPECT_EQ(colours.PaintColour(), MakeColour(7, 7, 7));

    lighting.SetColourKeysMode(false);
    out = ApplyRgbBoxes(lighting, colours, 1, 1, 1);
    EXPECT_EQ(out.target, RgbTarget::None);
    EXPECT_EQ(colours.PaintColour(), MakeColour(7, 7, 7));
}

TEST_F(UserColoursTest, RestoreDefaultsResetsColoursThenLighting) {
    test::WriteFileBytes(File(3), "[Mode0]\n0=0,0,9,1\n");
    lighting.SetColourKeysMode(true);
    ASSERT_EQ(lighting.SelectEffectCode(12), 1);
    ASSERT_EQ(lighting.SetBrightness(1), 1);
    sim.ClearFrames();

    ASSERT_EQ(RestoreLightingDefaults(lighting, colours), 1);
    std::vector<int> commands;
    for (const auto& f : sim.Frames()) commands.push_back(f[device::kOffCommand]);
    // Effect 1 selected (two writes), the colour table (eight writes), the reset image.
    const std::vector<int> expected = {1, 6, 6, 2, 1, 17, 17, 17, 17, 17, 17, 17, 17, 2, 1, 6, 2};
    EXPECT_EQ(commands, expected);
    EXPECT_EQ(BankColour(0, 0), MakeColour(0, 0, 9));
    EXPECT_EQ(lighting.Mirror().effect, 1);
    EXPECT_EQ(lighting.Mirror().brightness, 4);
    const auto rec = sim.Memory(PELLORAN_SIM_LIGHTING, 0, 35);
    EXPECT_TRUE(std::equal(rec.begin(), rec.end(), kLightingResetImage.begin()));

    // With the mode off, nothing happens.
    lighting.SetColourKeysMode(false);
    sim.ClearFrames();
    EXPECT_EQ(RestoreLightingDefaults(lighting, colours), 1);
    EXPECT_TRUE(sim.Frames().empty());
}

}  // namespace
}  // namespace talvenix::lighting
