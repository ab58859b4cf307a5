// The effect list from the configuration block, the combo map, what each effect shows on the
// panel, and the effect names from the skin.
#include <gtest/gtest.h>

#include <set>

#include "core/lighting/EffectList.h"
#include "core/lighting/EffectNames.h"
#include "core/lighting/LightingPanelRules.h"
#include "core/text/IniFile.h"

namespace talvenix::lighting {
namespace {

device::ConfigBlock BlockWith(std::initializer_list<std::uint8_t> codes) {
    device::ConfigBlock b;
    std::size_t i = device::ConfigBlock::kEffectsOffset;
    for (auto c : codes) b.bytes[i++] = c;
    return b;
}

TEST(EffectComboMap, TwoOfferedCodesGiveTwoEntriesInListOrder) {
    const auto list = EffectList::FromConfigBlock(BlockWith({1, 0, 0, 20, 0}));
    const auto map = EffectComboMap::FromList(list);
    ASSERT_EQ(map.Size(), 2u);
    EXPECT_EQ(map.CodeAt(0), 1);
    EXPECT_EQ(map.CodeAt(1), 20);
    EXPECT_EQ(map.IndexOf(1), 0);
    EXPECT_EQ(map.IndexOf(20), 1);
    EXPECT_EQ(map.IndexOf(5), -1);
    EXPECT_EQ(map.IndexOf(0), -1) << "empty slots are not effects";
    EXPECT_FALSE(map.CodeAt(2).has_value());
    EXPECT_FALSE(map.CodeAt(-1).has_value());
}

TEST(EffectComboMap, AllThirtyTwoSlotsAreUsed) {
    device::ConfigBlock b;
    for (std::size_t i = 0; i < 32; ++i) b.bytes[12 + i] = static_cast<std::uint8_t>(i % 20 + 1);
    const auto map = EffectComboMap::FromList(EffectList::FromConfigBlock(b));
    EXPECT_EQ(map.Size(), 32u);
    EXPECT_EQ(map.CodeAt(31), 12);
    EXPECT_EQ(map.IndexOf(12), 11) << "the first entry with the code";
}

TEST(EffectList, OffersOnlyListedCodes) {
    const auto list = EffectList::FromConfigBlock(BlockWith({3, 20}));
    EXPECT_TRUE(list.Offers(20));
    EXPECT_FALSE(list.Offers(19));
    EXPECT_FALSE(list.Offers(0));
}

// Written from the effect table, independent of the implementation's switch.
TEST(EffectTraits, WhatSelectingEachCodeWrites) {
    const std::set<int> codeAndRandom = {1, 2, 3, 5, 7, 8, 9, 13, 14, 15};
    const std::set<int> codeOnly = {4, 6, 10, 11, 12, 16, 17, 18, 20};
    for (int code = -1; code <= 30; ++code) {
        const auto w = TraitsOf(code).selection;
        if (codeAndRandom.count(code))
            EXPECT_EQ(w, SelectionWrites::CodeAndRandomFlag) << code;
        else if (codeOnly.count(code))
            EXPECT_EQ(w, SelectionWrites::CodeOnly) << code;
        else
            EXPECT_EQ(w, SelectionWrites::Nothing) << code;
    }
}

TEST(PanelRules, VisibilityByEffect) {
    const std::set<int> speed = {1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const std::set<int> direction = {1, 2, 3, 12, 18};
    const std::set<int> hx = {1, 2, 3, 5, 7, 8, 9, 10, 13, 14, 15};
    const std::set<int> fy = {6, 16};
    for (int code = 0; code <= 21; ++code) {
        const auto c = VisibleControls(code);
        const bool known = (code >= 1 && code <= 18) || code == 20;
        EXPECT_EQ(c.effectCombo, known) << code;
        EXPECT_EQ(c.brightness, known) << code;
        EXPECT_EQ(c.speed, speed.count(code) == 1) << code;
        EXPECT_EQ(c.direction, direction.count(code) == 1) << code;
        EXPECT_EQ(c.hxGroup, hx.count(code) == 1) << code;
        EXPECT_EQ(c.fyGroup, fy.count(code) == 1) << code;
        EXPECT_EQ(c.presetColours, code == 17) << code;
        EXPECT_EQ(c.userGroup, code == 20) << code;
    }
}

TEST(PanelRules, DirectionPicturesAndTheirLayoutKeys) {
    EXPECT_EQ(VisibleControls(2).directionLayoutSuffix, "2");
    EXPECT_EQ(VisibleControls(2).directionPictures, DirectionPictures::LeftRight);
    EXPECT_EQ(VisibleControls(12).directionLayoutSuffix, "3");
    EXPECT_EQ(DirectionPicturesOf(12).firstNormal, "upup.bmp");
    EXPECT_EQ(VisibleControls(18).directionLayoutSuffix, "");
    EXPECT_EQ(DirectionPicturesOf(18).firstNormal, "kuosan.bmp");
    EXPECT_EQ(DirectionPicturesOf(18).secondPressed, "julongdown.bmp");
    EXPECT_EQ(SpeedFacePicture(0), 6);
    EXPECT_EQ(SpeedFacePicture(5), 11);
}

TEST(PanelRules, RgbBoxesAreCutAndRoutedByEffect) {
    EXPECT_EQ(ClampRgbComponent(300), 255);
    EXPECT_EQ(ClampRgbComponent(256), 255);
    EXPECT_EQ(ClampRgbComponent(255), 255);
    EXPECT_EQ(ClampRgbComponent(-4), 0);

    EXPECT_EQ(RouteRgbEdit(false, 1, 0), RgbTarget::None) << "mode off changes only the boxes";
    EXPECT_EQ(RouteRgbEdit(true, 4, 0), RgbTarget::None);
    EXPECT_EQ(RouteRgbEdit(true, 11, 0), RgbTarget::None);
    EXPECT_EQ(RouteRgbEdit(true, 17, 0), RgbTarget::None);
    EXPECT_EQ(RouteRgbEdit(true, 6, 0), RgbTarget::HxColour);
    EXPECT_EQ(RouteRgbEdit(true, 16, 0), RgbTarget::HxColour);
    EXPECT_EQ(RouteRgbEdit(true, 20, 1), RgbTarget::BaseColour);
    EXPECT_EQ(RouteRgbEdit(true, 20, 0), RgbTarget::PaintColour);
    EXPECT_EQ(RouteRgbEdit(true, 20, 3), RgbTarget::None);
}

TEST(PanelRules, ColourWheelTakesClicksWithinItsCircle) {
    EXPECT_TRUE(IsOnColourWheel(140, 144));
    EXPECT_TRUE(IsOnColourWheel(203, 144)) << "distance 63: squared 3969";
    EXPECT_TRUE(IsOnColourWheel(140, 81));
    EXPECT_FALSE(IsOnColourWheel(204, 144));
    EXPECT_FALSE(IsOnColourWheel(76, 144));
    EXPECT_TRUE(IsOnColourWheel(184, 189)) << "44 and 45: squared 3961";
    EXPECT_FALSE(IsOnColourWheel(185, 189)) << "45 and 45: squared 4050";
    EXPECT_FALSE(IsOnColourWheel(0, 0));
    EXPECT_FALSE(IsOnColourWheel(2147483647, -2147483647 - 1)) << "far clicks do not overflow";
}

TEST(EffectNames, ComeFromTheSkinSectionOfTheLanguage) {
    const auto skin = text::IniFile::FromString("[Mode]\n1=Wave-zh\n[Mode1]\n1=Wave\n20=Custom\n");
    EXPECT_EQ(EffectName(skin, 0, 1), "Wave-zh");
    EXPECT_EQ(EffectName(skin, 1, 1), "Wave");
    EXPECT_EQ(EffectName(skin, 1, 20), "Custom");
    EXPECT_EQ(EffectName(skin, 0, 20), "1") << "a missing name reads as 1";
}

}  // namespace
}  // namespace talvenix::lighting
