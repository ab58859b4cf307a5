// The preview's tables and renderers. Expected colours are worked out by hand from the tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "core/keys/KeyButtons.h"
#include "core/lighting/EffectPreview.h"

namespace talvenix::lighting {
namespace {

using namespace preview;

PaintButton ButtonOf(keys::KeyCode code) {
    const auto b = keys::KeyButtonOfCode(code);
    EXPECT_TRUE(b.has_value()) << code;
    return b.value_or(-1);
}

// Key codes of a few keys.
constexpr keys::KeyCode kEsc = 0x001, kBackspace = 0x00E, kQ = 0x010, kO = 0x018, kW = 0x011, kPause = 0x045,
                        kF1 = 0x03B, kF4 = 0x03E, kF5 = 0x03F, kF3 = 0x03D, k2 = 0x003, k4 = 0x005,
                        k5 = 0x006, kR = 0x013, kUp = 0x148, kLCtrl = 0x01D, kKpEnter = 0x11C, kRWin = 0x15C,
                        kKpPlus = 0x04E;

std::optional<Colour> ColourOf(const PreviewFrame& f, PaintButton b) {
    return f.colours[static_cast<std::size_t>(b)];
}

EffectPreview::RandomSource Counter() {
    auto n = std::make_shared<std::uint32_t>(0);
    return [n] { return (*n)++ * 7u; };
}

PreviewInput Input(EffectCode effect, bool random, std::uint8_t direction = 0xFF, Colour colour = kWhite) {
    return {effect, colour, random, direction};
}

TEST(PreviewTables, WheelAndBrightnessTables) {
    EXPECT_EQ(kHueWheel[0], MakeColour(255, 1, 0));
    EXPECT_EQ(kHueWheel[31], MakeColour(255, 255, 0));
    EXPECT_EQ(kHueWheel[32], MakeColour(248, 255, 0));
    EXPECT_EQ(kHueWheel[95], MakeColour(0, 255, 255));
    EXPECT_EQ(kHueWheel[127], MakeColour(0, 0, 255));
    EXPECT_EQ(kHueWheel[191], MakeColour(255, 0, 0));
    EXPECT_EQ(kBrightnessWave[0], 22);
    EXPECT_EQ(kBrightnessWave[47], 255);
    EXPECT_EQ(kBrightnessWave[48], 255);
    EXPECT_EQ(kBrightnessWave[95], 22);
    EXPECT_EQ(kBreathing[0], 3);
    EXPECT_EQ(kBreathing[63], 255);
    EXPECT_EQ(kBreathing[127], 3);
    EXPECT_EQ(kPulse[16], 255);
    EXPECT_EQ(kPulse[79], 1);
    EXPECT_EQ(kPulse[80], 0);
    EXPECT_EQ(kPulse[127], 0);
}

TEST(PreviewTables, OrdersCoverTheHundredAndFourKeys) {
    const std::set<PaintButton> snake(kSnakeOrder.begin(), kSnakeOrder.end());
    EXPECT_EQ(snake.size(), 104u);
    EXPECT_TRUE(snake.count(kFnButton));
    EXPECT_FALSE(snake.count(ButtonOf(kRWin))) << "the keyboard has Fn where Windows keys have right Win";
    EXPECT_EQ(kSnakeOrder.front(), ButtonOf(kPause));
    EXPECT_EQ(kSnakeOrder.back(), ButtonOf(0x01C));  // Enter

    EXPECT_EQ(kSnakeOrder[16], ButtonOf(0x029));  // `~ right after Esc
    EXPECT_EQ(kSnakeOrder[25], kFnButton);
    EXPECT_EQ(kSnakeOrder[69], ButtonOf(0x04F));  // keypad 1 after Up
    EXPECT_EQ(kTwinkleOrder[0], 88);
    EXPECT_EQ(kTwinkleOrder[53], 1);
    EXPECT_EQ(kTwinkleOrder[103], 63);
    std::set<int> twinkle(kTwinkleOrder.begin(), kTwinkleOrder.end());
    EXPECT_EQ(twinkle.size(), 104u);
    EXPECT_EQ(*twinkle.rbegin(), 103);

    std::multiset<PaintButton> banded;
    for (int b = 0; b < kRingBands; ++b) banded.insert(RingBand(b).begin(), RingBand(b).end());
    EXPECT_EQ(banded.size(), 104u);
    EXPECT_EQ(std::set<PaintButton>(banded.begin(), banded.end()), snake);
    EXPECT_EQ(RingBand(0).front(), ButtonOf(kO));

    std::set<PaintButton> gridKeys;
    for (const auto& row : kGrid) {
        for (auto b : row) {
            if (b != kNoKey) gridKeys.insert(b);
        }
    }
    EXPECT_EQ(gridKeys, snake);
}

TEST(PreviewTables, GridRowsMatchTheLedRows) {
    EXPECT_EQ(kGrid[2][2], ButtonOf(kQ));
    EXPECT_EQ(kGrid[1][14], ButtonOf(kBackspace));
    EXPECT_EQ(kGrid[1][15], ButtonOf(kBackspace));
    EXPECT_EQ(kGrid[5][9], kFnButton);
    for (int r = 0; r < kGridRows; ++r) {
        for (auto b : kGrid[static_cast<std::size_t>(r)]) {
            if (b == kNoKey || b == ButtonOf(kKpPlus)) continue;  // keypad + is a row-2 LED on a two-row key
            EXPECT_EQ(*SlotOfButton(b) / kLedColumns, r) << "button " << b;
        }
    }
}

TEST(EffectPreview, EffectFourWithDirectionZeroStepsBackward) {
    EffectPreview p(Counter());
    const int expected[] = {190, 188, 186, 184};
    for (int want : expected) {
        const auto f = p.Tick(Input(4, false, 0x00));
        EXPECT_EQ(p.Phase(4), want);
        EXPECT_EQ(ColourOf(f, ButtonOf(kEsc)), kHueWheel[static_cast<std::size_t>(want)]);
        EXPECT_EQ(ColourOf(f, kFnButton), kHueWheel[static_cast<std::size_t>(want)]);
    }
}

TEST(EffectPreview, EffectTenLightsThreeKeysPerTickAndWrapsAfterThirtyFive) {
    EffectPreview p(Counter());
    p.Tick(Input(10, true));
    std::vector<int> lit;
    for (int i = 0; i < kPreviewKeys; ++i) {
        if (p.Brightness(i) == 255) lit.push_back(i);
    }
    std::vector<int> expected = {kTwinkleOrder[0], kTwinkleOrder[1], kTwinkleOrder[2]};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lit, expected);

    p.Tick(Input(10, true));
    EXPECT_EQ(p.Brightness(kTwinkleOrder[0]), 235) << "255 decays by 20";
    EXPECT_EQ(p.Brightness(kTwinkleOrder[3]), 255);

    for (int t = 3; t <= 34; ++t) p.Tick(Input(10, true));
    EXPECT_EQ(p.Phase(10), 102);
    EXPECT_LT(p.Brightness(kTwinkleOrder[0]), 255);
    const auto f = p.Tick(Input(10, false, 0xFF, MakeColour(200, 0, 0)));  // tick 35: 102, 103, 0
    EXPECT_EQ(p.Phase(10), 1);
    EXPECT_EQ(p.Brightness(kTwinkleOrder[0]), 255);
    EXPECT_EQ(p.Brightness(kTwinkleOrder[103]), 255);
    // Random off: the colour scaled by each key's brightness.
    EXPECT_EQ(ColourOf(f, kSnakeOrder[kTwinkleOrder[0]]), MakeColour(200, 0, 0));
}

TEST(EffectPreview, EffectSixWithRandomOffIsSteady) {
    EffectPreview p(Counter());
    const Colour c = MakeColour(12, 34, 56);
    const auto first = p.Tick(Input(6, false, 0, c));
    for (auto b : kSnakeOrder) EXPECT_EQ(ColourOf(first, b), c);
    EXPECT_FALSE(ColourOf(first, ButtonOf(kRWin)).has_value());
    for (int t = 0; t < 50; ++t) {
        const auto f = p.Tick(Input(6, false, static_cast<std::uint8_t>(t % 2 ? 0xFF : 0), c));
        ASSERT_EQ(f.colours, first.colours) << "tick " << t;
    }
}

TEST(EffectPreview, EffectSixWithRandomOnIsAFixedRainbow) {
    EffectPreview p(Counter());
    const auto f = p.Tick(Input(6, true));
    EXPECT_EQ(ColourOf(f, ButtonOf(kEsc)), kHueWheel[18]);     // column 2
    EXPECT_EQ(ColourOf(f, ButtonOf(kKpEnter)), kHueWheel[0]);  // column 22
    EXPECT_EQ(p.Tick(Input(6, true)).colours, f.colours);
}

TEST(EffectPreview, GoldenFramesEffectOne) {
    EffectPreview on(Counter());
    auto f = on.Tick(Input(1, true, 0xFF));                                // phase 9
    EXPECT_EQ(ColourOf(f, ButtonOf(kEsc)), MakeColour(255, 200, 0));       // wheel[27]
    EXPECT_EQ(ColourOf(f, ButtonOf(kBackspace)), MakeColour(81, 0, 255));  // rightmost cell 15: wheel[144]
    f = on.Tick(Input(1, true, 0xFF));                                     // phase 18
    EXPECT_EQ(ColourOf(f, ButtonOf(kEsc)), MakeColour(194, 255, 0));       // wheel[36]

    EffectPreview off(Counter());
    f = off.Tick(Input(1, false, 0x00, MakeColour(200, 100, 50)));  // phase 89 on the wave
    EXPECT_EQ(off.Phase(1), 89);
    EXPECT_EQ(ColourOf(f, ButtonOf(kEsc)), MakeColour(32, 16, 8));  // wave[7] = 42
}

TEST(EffectPreview, GoldenFramesEffectTwo) {
    EffectPreview p(Counter());
    auto f = p.Tick(Input(2, false, 0xFF));                             // phase 4; column c: pulse[4 + 5c]
    EXPECT_EQ(ColourOf(f, ButtonOf(kEsc)), MakeColour(206, 206, 206));  // pulse[14]
    EXPECT_EQ(ColourOf(f, ButtonOf(kQ)), MakeColour(206, 206, 206));    // same column
    f = p.Tick(Input(2, false, 0x00));  // phase 8, minus: pulse[8 - 10] = pulse[126] = 0
    EXPECT_EQ(p.Phase(2), 8) << "moves forward whatever the direction";
    EXPECT_EQ(ColourOf(f, ButtonOf(kEsc)), kBlack);
    EXPECT_EQ(ColourOf(f, ButtonOf(kLCtrl)), MakeColour(77, 77, 77));  // column 0: pulse[8]

    EffectPreview r(Counter());
    f = r.Tick(Input(2, true, 0xFF));  // phase 4; column c: wheel[4 + 5c]
    EXPECT_EQ(ColourOf(f, ButtonOf(kEsc)), kHueWheel[14]);
}

TEST(EffectPreview, GoldenFramesEffectThree) {
    EffectPreview p(Counter());
    auto f = p.Tick(Input(3, true, 0xFF));                             // phase 4 along the snake
    EXPECT_EQ(ColourOf(f, ButtonOf(kPause)), MakeColour(255, 10, 0));  // wheel[4]
    EXPECT_EQ(ColourOf(f, ButtonOf(kF5)), MakeColour(29, 255, 0));     // snake 10: wheel[54]
    f = p.Tick(Input(3, false, 0x00, kWhite));                         // phase 0 on the wave
    EXPECT_EQ(ColourOf(f, ButtonOf(kPause)), MakeColour(22, 22, 22));  // wave[0]
}

TEST(EffectPreview, GoldenFramesEffectFive) {
    EffectPreview p(Counter());
    auto f = p.Tick(Input(5, true, 0x00));  // phase 2 forward: breathing[2] = 4
    EXPECT_EQ(p.Phase(5), 2);
    EXPECT_EQ(ColourOf(f, ButtonOf(kEsc)), MakeColour(4, 1, 0));  // wheel[14] x 4
    f = p.Tick(Input(5, false, 0x00, MakeColour(255, 128, 0)));   // phase 4: breathing[4] = 6
    EXPECT_EQ(ColourOf(f, ButtonOf(kEsc)), MakeColour(6, 3, 0));
    EXPECT_EQ(ColourOf(f, kFnButton), MakeColour(6, 3, 0));
}

TEST(EffectPreview, GoldenFramesEffectTwelve) {
    EffectPreview p(Counter());
    auto f = p.Tick(Input(12, false, 0xFF));  // phase 3; row r: wheel[3 + 32r]
    EXPECT_EQ(ColourOf(f, ButtonOf(kEsc)), MakeColour(255, 7, 0));
    EXPECT_EQ(ColourOf(f, ButtonOf(kLCtrl)), MakeColour(255, 0, 206));  // wheel[163]
    f = p.Tick(Input(12, false, 0x00));                                 // back to phase 0
    EXPECT_EQ(ColourOf(f, ButtonOf(kEsc)), kHueWheel[0]);
}

TEST(EffectPreview, GoldenFramesEffectEighteen) {
    EffectPreview p(Counter());
    auto f = p.Tick(Input(18, true, 0xFF));                         // phase 2; band b: wheel[2 + 21(b + 1)]
    EXPECT_EQ(ColourOf(f, ButtonOf(kO)), MakeColour(255, 152, 0));  // wheel[23]
    EXPECT_EQ(ColourOf(f, ButtonOf(kKpEnter)), MakeColour(2, 255, 0));  // wheel[254 - 192]
    EXPECT_EQ(ColourOf(f, kFnButton), kHueWheel[2 + 21 * 5]);           // band 4
}

TEST(EffectPreview, EffectElevenRunsARainbowAlongTheSnake) {
    EffectPreview p(Counter());
    const auto f = p.Tick(Input(11, false));
    EXPECT_EQ(ColourOf(f, kSnakeOrder[0]), kHueWheel[36]);
    EXPECT_EQ(ColourOf(f, kSnakeOrder[5]), kHueWheel[9]);      // 198 - 192 + 3
    EXPECT_EQ(ColourOf(f, kSnakeOrder[103]), kHueWheel[171]);  // 3432 mod 192 + 3
}

TEST(EffectPreview, StillAndClearedEffects) {
    EffectPreview p(Counter());
    EXPECT_TRUE(p.Tick(Input(20, true)).unchanged);
    for (EffectCode e : {7, 8, 9, 17, 19, 0, 25}) {
        const auto f = p.Tick(Input(e, true));
        EXPECT_FALSE(f.unchanged) << e;
        EXPECT_TRUE(std::none_of(f.colours.begin(), f.colours.end(), [](const auto& c) {
            return c.has_value();
        })) << e;
    }
}

TEST(EffectPreview, PhasesSurviveAnEffectChange) {
    EffectPreview p(Counter());
    p.Tick(Input(4, false, 0xFF));
    p.Tick(Input(12, false, 0xFF));
    p.Tick(Input(4, false, 0xFF));
    EXPECT_EQ(p.Phase(4), 4);
    EXPECT_EQ(p.Phase(12), 3);
}

TEST(EffectPreview, RippleStartsAtTwoCellsAndSpreads) {
    EffectPreview p(Counter());
    auto f = p.Tick(Input(13, false, 0xFF, MakeColour(0, 0, 255)));
    EXPECT_EQ(ColourOf(f, ButtonOf(k4)), MakeColour(0, 0, 255));
    EXPECT_EQ(ColourOf(f, ButtonOf(kUp)), MakeColour(0, 0, 255));
    EXPECT_EQ(ColourOf(f, ButtonOf(kEsc)), kBlack);

    f = p.Tick(Input(13, false, 0xFF, MakeColour(0, 0, 255)));
    EXPECT_EQ(p.Brightness(PreviewPosition(ButtonOf(k4))), 235);
    for (auto code : {k5, kF3, kR}) EXPECT_EQ(p.Brightness(PreviewPosition(ButtonOf(code))), 255) << code;
}

TEST(EffectPreview, ScriptedPressesDecayFaster) {
    EffectPreview p(Counter());
    p.Tick(Input(14, false));
    EXPECT_EQ(p.Brightness(PreviewPosition(ButtonOf(kW))), 255);
    p.Tick(Input(14, false));
    EXPECT_EQ(p.Brightness(PreviewPosition(ButtonOf(kW))), 225);
}

TEST(EffectPreview, RainFallsFromTheTopRow) {
    EffectPreview p(Counter());
    p.Tick(Input(15, false));
    EXPECT_EQ(p.Brightness(PreviewPosition(ButtonOf(kF1))), 255);  // column 3
    EXPECT_EQ(p.Brightness(PreviewPosition(ButtonOf(kF4))), 255);  // column 6
    p.Tick(Input(15, false));
    EXPECT_EQ(p.Brightness(PreviewPosition(ButtonOf(k2))), 255);  // the column-3 drop, one row down
    EXPECT_EQ(p.Brightness(PreviewPosition(ButtonOf(kF1))), 235);
}

TEST(EffectPreview, EffectChangeClearsTheDecayState) {
    EffectPreview p(Counter());
    p.Tick(Input(10, true));
    ASSERT_EQ(p.Brightness(kTwinkleOrder[0]), 255);
    p.Tick(Input(16, true));
    EXPECT_EQ(p.Brightness(kTwinkleOrder[0]), 0);
    EXPECT_EQ(p.Brightness(PreviewPosition(ButtonOf(0x00F))), 255);  // Tab: column 1 of the sweep
}

TEST(EffectPreview, InjectedRandomnessMakesRunsRepeatable) {
    EffectPreview a(Counter()), b(Counter());
    for (int t = 0; t < 20; ++t) {
        ASSERT_EQ(a.Tick(Input(10, true)).colours, b.Tick(Input(10, true)).colours);
        ASSERT_EQ(a.Tick(Input(13, true)).colours, b.Tick(Input(13, true)).colours);
    }
}

}  // namespace
}  // namespace talvenix::lighting
