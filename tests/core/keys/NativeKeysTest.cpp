#include <gtest/gtest.h>

#include <map>

#include "core/keys/KeyButtons.h"
#include "core/keys/KeyTable.h"
#include "core/keys/NativeKeys.h"

namespace talvenix::keys {
namespace {

// Keysyms as X11 and Wayland deliver them.
constexpr std::uint32_t XK_KP_Home = 0xFF95, XK_KP_Left = 0xFF96, XK_KP_Up = 0xFF97, XK_KP_Right = 0xFF98,
                        XK_KP_Down = 0xFF99, XK_KP_Prior = 0xFF9A, XK_KP_Next = 0xFF9B, XK_KP_End = 0xFF9C,
                        XK_KP_Begin = 0xFF9D, XK_KP_Insert = 0xFF9E, XK_KP_Delete = 0xFF9F,
                        XK_KP_Decimal = 0xFFAE, XK_KP_0 = 0xFFB0, XK_Print = 0xFF61, XK_Sys_Req = 0xFF15,
                        XK_Pause = 0xFF13, XK_Break = 0xFF6B;

KeyCode Resolve(std::uint32_t evdev, std::uint32_t keysym = 0) {
    const auto k = TranslateEvdevKey(evdev, keysym);
    return k ? ResolveKeyEvent(k->vk, k->flags) : KeyCode{0xFFFF};
}

// evdev codes (linux/input-event-codes.h) of a 105-key keyboard and the code each key has.
const std::map<std::uint32_t, KeyCode>& FullKeyboard() {
    static const std::map<std::uint32_t, KeyCode> keys = [] {
        std::map<std::uint32_t, KeyCode> m;
        // KEY_ESC (1) .. KEY_KPDOT (83): the evdev code is the scan code, except Num Lock.
        for (std::uint32_t c = 1; c <= 83; ++c) m[c] = static_cast<KeyCode>(c);
        m[69] = 0x145;   // KEY_NUMLOCK
        m[86] = 0x056;   // KEY_102ND
        m[87] = 0x057;   // KEY_F11
        m[88] = 0x058;   // KEY_F12
        m[96] = 0x11C;   // KEY_KPENTER
        m[97] = 0x11D;   // KEY_RIGHTCTRL
        m[98] = 0x135;   // KEY_KPSLASH
        m[99] = 0x137;   // KEY_SYSRQ (Print Screen)
        m[100] = 0x138;  // KEY_RIGHTALT
        m[102] = 0x147;  // KEY_HOME
        m[103] = 0x148;  // KEY_UP
        m[104] = 0x149;  // KEY_PAGEUP
        m[105] = 0x14B;  // KEY_LEFT
        m[106] = 0x14D;  // KEY_RIGHT
        m[107] = 0x14F;  // KEY_END
        m[108] = 0x150;  // KEY_DOWN
        m[109] = 0x151;  // KEY_PAGEDOWN
        m[110] = 0x152;  // KEY_INSERT
        m[111] = 0x153;  // KEY_DELETE
        m[119] = 0x045;  // KEY_PAUSE
        m[125] = 0x15B;  // KEY_LEFTMETA
        m[126] = 0x15C;  // KEY_RIGHTMETA
        m[127] = 0x15D;  // KEY_COMPOSE (Menu)
        return m;
    }();
    return keys;
}

TEST(NativeKeys, EveryKeyOfAFullKeyboardResolvesToItsCode) {
    for (const auto& [evdev, code] : FullKeyboard()) {
        EXPECT_EQ(Resolve(evdev), code) << "evdev " << evdev;
    }
}

TEST(NativeKeys, EveryOnScreenKeyButtonCanBeTyped) {
    for (const KeyButton& b : kKeyButtons) {
        bool found = false;
        for (const auto& [evdev, code] : FullKeyboard()) found = found || Resolve(evdev) == b.code;
        EXPECT_TRUE(found) << "button " << b.controlId;
    }
}

TEST(NativeKeys, BothShiftsCtrlsAltsAndWindowsKeysAreTold) {
    EXPECT_EQ(Resolve(42), 0x02A);
    EXPECT_EQ(Resolve(54), 0x036);
    EXPECT_EQ(Resolve(29), 0x01D);
    EXPECT_EQ(Resolve(97), 0x11D);
    EXPECT_EQ(Resolve(56), 0x038);
    EXPECT_EQ(Resolve(100), 0x138);
    EXPECT_EQ(Resolve(125), 0x15B);
    EXPECT_EQ(Resolve(126), 0x15C);
    const auto rshift = TranslateEvdevKey(54, 0);
    ASSERT_TRUE(rshift);
    EXPECT_FALSE(rshift->extended());
    EXPECT_EQ(rshift->scanCode(), 0x36);
}

TEST(NativeKeys, NumericPadFollowsNumLock) {
    // Num Lock on: digits; the virtual key is the keypad one.
    EXPECT_EQ(TranslateEvdevKey(71, 0xFFB7)->vk, 0x67);
    EXPECT_EQ(TranslateEvdevKey(82, XK_KP_0)->vk, 0x60);
    EXPECT_EQ(TranslateEvdevKey(83, XK_KP_Decimal)->vk, 0x6E);
    // Num Lock off: the navigation keys, still on the keypad's own (non-extended) scan codes.
    const std::pair<std::uint32_t, std::uint32_t> off[] = {
        {71, XK_KP_Home},  {72, XK_KP_Up},     {73, XK_KP_Prior}, {75, XK_KP_Left},
        {76, XK_KP_Begin}, {77, XK_KP_Right},  {79, XK_KP_End},   {80, XK_KP_Down},
        {81, XK_KP_Next},  {82, XK_KP_Insert}, {83, XK_KP_Delete}};
    const std::uint8_t offVk[] = {0x24, 0x26, 0x21, 0x25, 0x0C, 0x27, 0x23, 0x28, 0x22, 0x2D, 0x2E};
    for (std::size_t i = 0; i < std::size(off); ++i) {
        const auto k = TranslateEvdevKey(off[i].first, off[i].second);
        ASSERT_TRUE(k);
        EXPECT_EQ(k->vk, offVk[i]) << off[i].first;
        EXPECT_FALSE(k->extended());
        EXPECT_EQ(ResolveKeyEvent(k->vk, k->flags), off[i].first) << off[i].first;
    }
    // The cursor block stays distinct from the keypad.
    EXPECT_EQ(Resolve(102), 0x147);
    EXPECT_EQ(Resolve(71, XK_KP_Home), 0x047);
}

TEST(NativeKeys, PrintScreenAndPauseVariants) {
    EXPECT_EQ(Resolve(99, XK_Print), 0x137);
    EXPECT_EQ(Resolve(99, XK_Sys_Req), 0x054);
    EXPECT_EQ(Resolve(119, XK_Pause), 0x045);
    EXPECT_EQ(Resolve(119, XK_Break), 0x146);
}

TEST(NativeKeys, MultimediaAndSystemKeys) {
    const std::pair<std::uint32_t, KeyCode> media[] = {
        {113, 0x120}, {114, 0x12E}, {115, 0x130}, {163, 0x119}, {164, 0x122}, {165, 0x110},
        {166, 0x124}, {140, 0x121}, {155, 0x16C}, {172, 0x132}, {217, 0x165}, {156, 0x166},
        {173, 0x167}, {128, 0x168}, {159, 0x169}, {158, 0x16A}, {157, 0x16B}, {226, 0x16D},
        {142, 0x15F}, {116, 0x15E}, {143, 0x163}, {183, 0x064}};
    for (const auto& [evdev, code] : media) EXPECT_EQ(Resolve(evdev), code) << "evdev " << evdev;
    // The 18 media keys of the catalogue are all reachable, so capture can recognise and skip them.
    int excluded = 0;
    for (const auto& [evdev, code] : media) excluded += IsMediaCaptureExcluded(Resolve(evdev)) ? 1 : 0;
    EXPECT_EQ(excluded, 18);
}

TEST(NativeKeys, InternationalKeysReachTheirKeyTableEntries) {
    // evdev code -> the key whose device byte is the HID usage that evdev code stands for.
    const std::pair<std::uint32_t, KeyCode> keys[] = {
        {89, 0x073},   // KEY_RO, usage 0x87
        {93, 0x070},   // KEY_KATAKANAHIRAGANA, usage 0x88
        {124, 0x07D},  // KEY_YEN, usage 0x89
        {92, 0x079},   // KEY_HENKAN, usage 0x8A
        {94, 0x07B},   // KEY_MUHENKAN, usage 0x8B
        {121, 0x07E},  // KEY_KPCOMMA, usage 0x85
        {122, 0x072},  // KEY_HANGEUL, usage 0x90
        {123, 0x071},  // KEY_HANJA, usage 0x91
        {86, 0x056},   // KEY_102ND, usage 0x64
    };
    for (const auto& [evdev, code] : keys) EXPECT_EQ(Resolve(evdev), code) << "evdev " << evdev;
    // KEY_KPJPCOMMA is usage 0x8C, which no key-table entry carries.
    EXPECT_FALSE(TranslateEvdevKey(95, 0));
}

TEST(NativeKeys, UnknownKeysMapToNothing) {
    EXPECT_FALSE(TranslateEvdevKey(0, 0));
    EXPECT_FALSE(TranslateEvdevKey(84, 0));
    EXPECT_FALSE(TranslateEvdevKey(255, 0));
    EXPECT_FALSE(TranslateEvdevKey(0x110, 0));  // BTN_LEFT
    EXPECT_FALSE(TranslateEvdevKey(100000, 0));
}

TEST(NativeKeys, NativeScanCodesAreEvdevPlusEight) {
    const auto a = TranslateNativeKey(38, 0x61);  // X11 keycode 38 is the A key
    ASSERT_TRUE(a);
    EXPECT_EQ(ResolveKeyEvent(a->vk, a->flags), 0x01E);
    EXPECT_FALSE(TranslateNativeKey(7, 0));
    EXPECT_FALSE(TranslateNativeKey(0, 0));
}

TEST(NativeKeys, FlagsLookLikeAKeyMessage) {
    const auto down = TranslateEvdevKey(103, 0, false);
    const auto up = TranslateEvdevKey(103, 0, true);
    ASSERT_TRUE(down && up);
    EXPECT_EQ(down->flags, 0x01480001u);
    EXPECT_EQ(up->flags, 0xC1480001u);
    EXPECT_EQ(ResolveKeyEvent(up->vk, up->flags), 0x148);
}

}  // namespace
}  // namespace talvenix::keys
