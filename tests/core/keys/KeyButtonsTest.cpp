#include <gtest/gtest.h>

#include <set>

#include "core/keys/KeyButtons.h"

namespace talvenix::keys {
namespace {

TEST(KeyButtons, EachButtonIsConsistentWithTheKeyTable) {
    std::set<int> controlIds, slots, codes;
    for (const KeyButton& b : kKeyButtons) {
        SCOPED_TRACE(b.controlId);
        EXPECT_EQ(b.keyIndex, KeyIndexOf(b.code));
        ASSERT_TRUE(KeyEntryOf(b.code).nameId.has_value());
        EXPECT_EQ(*KeyEntryOf(b.code).nameId, b.nameId);
        EXPECT_TRUE(ListPositionOf(b.code).has_value());  // every button key can be a target
        EXPECT_GE(b.lightingSlot, 0);
        EXPECT_LT(b.lightingSlot, 126);
        controlIds.insert(b.controlId);
        slots.insert(b.lightingSlot);
        codes.insert(b.code);
    }
    EXPECT_EQ(controlIds.size(), 104u);
    EXPECT_EQ(slots.size(), 104u);
    EXPECT_EQ(codes.size(), 104u);
    EXPECT_FALSE(slots.count(kFnLightingSlot));
    EXPECT_FALSE(slots.count(kGButtonLightingSlot));
    EXPECT_FALSE(controlIds.count(kFnControlId));
}

TEST(KeyButtons, BindingOrderSpotChecks) {
    EXPECT_EQ(kKeyButtons[0].controlId, 1058);
    EXPECT_EQ(kKeyButtons[0].code, 0x01E);
    EXPECT_EQ(kKeyButtons[0].lightingSlot, 64);
    EXPECT_EQ(kKeyButtons[37].code, 0x001);
    EXPECT_EQ(kKeyButtons[37].lightingSlot, 0);
    EXPECT_EQ(kKeyButtons[64].code, 0x137);
    EXPECT_EQ(kKeyButtons[64].controlId, 1091);
    EXPECT_EQ(kKeyButtons[85].code, 0x15B);
    EXPECT_EQ(kKeyButtons[85].lightingSlot, 106);
    EXPECT_EQ(kKeyButtons[103].controlId, 1111);
    EXPECT_EQ(kKeyButtons[103].code, 0x04E);
    EXPECT_EQ(kKeyButtons[103].lightingSlot, 62);
}

TEST(KeyButtons, SkinKeys) {
    EXPECT_EQ(SkinKeyOf(kKeyButtons[85]), "KEY_0DB");
    EXPECT_EQ(SkinKeyOf(kKeyButtons[37]), "KEY_001");
    EXPECT_EQ(SkinKeyOf(kKeyButtons[98]), "KEY_09C");
    EXPECT_EQ(SkinKeyOf(kGButtons[0]), "FUNC_G1");
    EXPECT_EQ(SkinKeyOf(kGButtons[8]), "FUNC_G9");
}

TEST(KeyButtons, GButtons) {
    const int ids[] = {1000, 1001, 1002, 1003, 1004, 1140, 1141, 1142, 1143};
    for (int n = 0; n < kGButtonCount; ++n) {
        EXPECT_EQ(kGButtons[static_cast<std::size_t>(n)].controlId, ids[n]);
        EXPECT_EQ(kGButtons[static_cast<std::size_t>(n)].number, n + 1);
        EXPECT_EQ(kGButtons[static_cast<std::size_t>(n)].startsDisabled, n >= 5);
        EXPECT_EQ(GButtonSlot(n, false), 256 + n);
        EXPECT_EQ(GButtonSlot(n, true), 265 + n);
    }
}

TEST(KeyButtons, ButtonOfCodeGoesByKeyIndex) {
    EXPECT_EQ(KeyButtonOfCode(0x01E), 0);
    EXPECT_EQ(KeyButtonOfCode(0x04E), 103);
    EXPECT_EQ(KeyButtonOfCode(0x036), 82);
    EXPECT_EQ(KeyButtonOfCode(0x136), std::nullopt);  // a different index than 0x036
    EXPECT_EQ(KeyButtonOfCode(0x15B), 85);
    EXPECT_EQ(KeyButtonOfCode(0x25B), 85);            // same key index 0xDB
    EXPECT_EQ(KeyButtonOfCode(0x120), std::nullopt);  // media keys have no button
    EXPECT_EQ(KeyButtonOfCode(0x000), std::nullopt);
}

}  // namespace
}  // namespace talvenix::keys
