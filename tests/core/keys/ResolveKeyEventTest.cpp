#include <gtest/gtest.h>

#include "core/keys/KeyTable.h"

namespace talvenix::keys {
namespace {

constexpr std::uint32_t Flags(std::uint32_t scan, bool extended) {
    return 1u | (scan << 16) | (extended ? 1u << 24 : 0u);
}

TEST(ResolveKeyEvent, RightShiftAlwaysGivesItsOwnCode) {
    for (std::uint32_t vk : {0xA1u, 0x10u, 0xA0u, 0x00u, 0xFFu, 0x41u}) {
        EXPECT_EQ(ResolveKeyEvent(vk, Flags(0x36, false)), 0x036) << vk;
    }
    // Key-up bits above the extended flag do not matter.
    EXPECT_EQ(ResolveKeyEvent(0x10, Flags(0x36, false) | 0xC0000000u), 0x036);
}

TEST(ResolveKeyEvent, ScanCodeZeroFallsBackToTheVirtualKey) {
    EXPECT_EQ(ResolveKeyEvent(0x41, Flags(0, false)), 0x01E);
    EXPECT_EQ(ResolveKeyEvent(0xA3, Flags(0, false)), 0x11D);
    EXPECT_EQ(ResolveKeyEvent(0x10, Flags(0, false)), 0x02A);
    EXPECT_EQ(ResolveKeyEvent(0x2C, Flags(0, false)), 0x137);
    EXPECT_EQ(ResolveKeyEvent(0x07, Flags(0, false)), 0);
    EXPECT_EQ(ResolveKeyEvent(0x41, Flags(0, true)), 0x01E);  // 0x100: low byte still 0
}

TEST(ResolveKeyEvent, ExtendedKeysKeepTheirExtendedCode) {
    EXPECT_EQ(ResolveKeyEvent(0x26, Flags(0x48, true)), 0x148);   // cursor up
    EXPECT_EQ(ResolveKeyEvent(0x0D, Flags(0x1C, true)), 0x11C);   // keypad Enter
    EXPECT_EQ(ResolveKeyEvent(0xA3, Flags(0x1D, true)), 0x11D);   // right Ctrl, side-specific VK
    EXPECT_EQ(ResolveKeyEvent(0x11, Flags(0x1D, true)), 0x11D);   // right Ctrl, generic VK
    EXPECT_EQ(ResolveKeyEvent(0x12, Flags(0x38, true)), 0x138);   // right Alt, generic VK
    EXPECT_EQ(ResolveKeyEvent(0x2D, Flags(0x52, true)), 0x152);   // Insert
    EXPECT_EQ(ResolveKeyEvent(0x6F, Flags(0x35, true)), 0x135);   // keypad /
    EXPECT_EQ(ResolveKeyEvent(0x5B, Flags(0x5B, true)), 0x15B);   // left Windows
    EXPECT_EQ(ResolveKeyEvent(0x90, Flags(0x45, true)), 0x145);   // Num Lock
    EXPECT_EQ(ResolveKeyEvent(0x13, Flags(0x45, false)), 0x045);  // Pause
    EXPECT_EQ(ResolveKeyEvent(0x03, Flags(0x46, true)), 0x146);   // Break
}

TEST(ResolveKeyEvent, NumericPadWithNumLockOnAndOff) {
    EXPECT_EQ(ResolveKeyEvent(0x68, Flags(0x48, false)), 0x048);  // 8
    EXPECT_EQ(ResolveKeyEvent(0x26, Flags(0x48, false)), 0x048);  // Up with Num Lock off
    EXPECT_EQ(ResolveKeyEvent(0x0C, Flags(0x4C, false)), 0x04C);  // Clear
    EXPECT_EQ(ResolveKeyEvent(0x2E, Flags(0x53, false)), 0x053);  // Delete with Num Lock off
    EXPECT_EQ(ResolveKeyEvent(0x6E, Flags(0x53, false)), 0x053);
}

TEST(ResolveKeyEvent, DisagreeingScanCodeFallsBackToTheVirtualKey) {
    EXPECT_EQ(ResolveKeyEvent(0x41, Flags(0x30, false)), 0x01E);
    EXPECT_EQ(ResolveKeyEvent(0x07, Flags(0x30, false)), 0);
}

TEST(ResolveKeyEvent, NoVirtualKeyTakesTheScanCode) {
    EXPECT_EQ(ResolveKeyEvent(0xFF, Flags(0x5E, true)), 0x15E);  // Power
    EXPECT_EQ(ResolveKeyEvent(0xFF, Flags(0x70, false)), 0x070);
    EXPECT_EQ(ResolveKeyEvent(0xFF, Flags(0x00, false)), 0);
}

}  // namespace
}  // namespace talvenix::keys
